// Reading the entity lump one entity at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "byte_source.h"

namespace kestrum {

using EntityWindow = std::array<char, 512>;

/** Where the entity just read begins, and where the next one is to be read. */
struct EntityStep {
  std::int32_t recordOffset;
  std::int32_t nextOffset;
};

/**
 * What one step read: an entity, or the end of the entities. The end normally comes
 * where the lump's text ends before any further "{"; when a "{" stands in the text
 * that ends (at a NUL or the end of the file) without its "}", the last entity has been
 * cut short, and the offset of its "{" is given.
 */
struct StepResult {
  std::optional<EntityStep> entity;
  std::optional<std::int32_t> cutEntityOffset;
};

/** An entity with no closing brace within this many bytes ends the stepping with an error. */
inline constexpr std::size_t kMaxEntityLength = 1 << 20;

/**
 * Reads the entity at offset into record and returns the offset of the next entity; no
 * entity at the end of the entities.
 *
 * The window's text (the bytes read, up to the first NUL) is searched for its first "}"
 * at index j. The record runs from the first "{" to that "}", or from the window's start
 * when no "{" comes before it, and the next entity is read at offset + j + 2: compiled
 * maps put exactly one line feed between entities, and a window that begins at a line
 * break in front of an entity still yields that whole entity.
 *
 * The text ends the entities when it holds no "}" and is cut short by a NUL or by the end
 * of the file. An entity longer than the window reads on to its first "}". Throws
 * CInputError when a read fails or an entity exceeds kMaxEntityLength.
 */
StepResult ReadEntityWindow(const IByteSource& map, std::int32_t offset, EntityWindow& window, std::string& record);

}  // namespace kestrum
