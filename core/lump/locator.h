// Finding the entity lump: the search for "worldspawn" and the look-back to the brace
// that opens the first entity.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "byte_source.h"

namespace kestrum {

using LookBackWindow = std::array<char, 128>;

/** Files longer than this are scanned only in their last tenth. */
inline constexpr std::int32_t kLargeFileThreshold = 1'000'000;

/** Where the scan begins: 0, or nine tenths of the length (rounded down) for large files. */
std::int32_t ScanStart(std::int32_t length);

/**
 * The offset of the "worldspawn" that names the first entity, or nothing.
 *
 * In the scanned range (from ScanStart to the end), the first "worldspawn" that stands
 * between two double quotes, as a classname value does, is taken; only where the range
 * holds none, the first bare "worldspawn". A bare one is mostly a comment ("// worldspawn"
 * opens the lumps of some compilers) or a texture or model name, so it must not win over
 * the real classname further on. Every byte counts, NUL bytes too: maps put NUL padding
 * right in front of their lump. Files of ten bytes or fewer hold no key to find.
 *
 * When a large file's last tenth yields no key, the same search runs once more over the
 * whole file, from offset 0, and its answer stands. One sequential read of the range.
 */
std::optional<std::int32_t> ScanForKey(const IByteSource& map);

/**
 * The offset of the brace that opens the entity holding the key found at keyOffset:
 * the "{" nearest to the key among the 128 bytes in front of it (fewer near the file's
 * start); failing that, the nearest "{" up to 1 MiB further back. Nothing when there is
 * none.
 */
std::optional<std::int32_t> LookBackForBrace(const IByteSource& map, std::int32_t keyOffset, LookBackWindow& window);

/** The offset of the first entity's brace, or nothing when the file has no entities. */
std::optional<std::int32_t> LocateEntityLump(const IByteSource& map, LookBackWindow& window);

}  // namespace kestrum
