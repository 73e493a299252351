// Builds files laid out like compiled maps, for the sample map, the tests and the
// benchmarks: a header with a lump directory, binary lumps full of NUL bytes, and the
// entity lump near the end with a NUL after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestrum::mapgen {

struct Entity {
  std::vector<std::pair<std::string, std::string>> pairs;
};

/** An entity as a map compiler writes it: "{", then one "key" "value" line per pair, "}". */
std::string EntityText(const Entity& entity);

/** Entities one after another, each followed by a line feed, then a NUL ending the lump. */
std::string EntityLump(const std::vector<Entity>& entities);

struct BuiltMap {
  std::string bytes;
  std::int32_t lumpOffset = 0;  ///< where the entity lump (its first "{") begins
};

/**
 * A map whose entity lump stands after binaryBefore bytes of binary lumps and before
 * binaryAfter more. The binary bytes are mostly NUL and never a brace, so that the brace
 * in front of "worldspawn" is the entity's own. The same seed gives the same bytes.
 */
BuiltMap BuildMap(const std::string& lump, std::size_t binaryBefore, std::size_t binaryAfter, std::uint32_t seed = 1);

/** A worldspawn and a few dozen entities of common classes, spawnflags among them. */
std::vector<Entity> DemoEntities();

/** The sample map shipped as samples/demo.bsp. */
BuiltMap DemoMap();

}  // namespace kestrum::mapgen
