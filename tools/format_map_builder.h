// Builds maps with the headers of real engines around a given entity lump, for the tests
// and the benchmark of the entity round trip: the lump first, in the middle or last
// among binary lumps, each lump listed in the engine's directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrum::mapgen {

/** An engine's header as test data: its magic (or none), version and directory. */
struct HeaderKind {
  std::string name;
  std::string magic;  ///< empty: the version alone opens the file
  std::int32_t version = 0;
  bool versionFollowsMagic = true;  ///< false for BSP2 and 2PSB, whose magic stands in place of the version
  int lumpCount = 0;
  std::size_t entrySize = 8;
  std::size_t trailer = 0;  ///< bytes after the directory (Source's map revision)
};

/** Every header the round trip supports: Quake to Source. */
std::vector<HeaderKind> SupportedHeaders();

enum class LumpPosition { First, Middle, Last };

struct FormatMap {
  std::string bytes;
  std::int64_t entityOffset = 0;  ///< where the entity lump begins
};

/**
 * A map of the kind whose entity lump (directory entry 0) holds lump and stands first,
 * in the middle or last among lumpCount - 1 binary lumps of binaryLength bytes each
 * (mostly NUL, never a brace), each lump aligned to 4 bytes. The same seed gives the
 * same bytes.
 */
FormatMap BuildFormatMap(const HeaderKind& kind, const std::string& lump, LumpPosition position,
                         std::size_t binaryLength = 64, std::uint32_t seed = 1);

}  // namespace kestrum::mapgen
