// Finding the entity lump: the scan for "worldspawn" and the look-back to the brace
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
 * The offset at which the probe scan finds "worldspawn", or nothing.
 *
 * The scan is defined as passes of 64-byte probes, 54 bytes apart, each pass starting
 * 2 bytes after the one before; a NUL byte ends a probe's text, so a key can stay hidden
 * from some passes and which occurrence is found depends on the pass that first sees
 * one. Done literally, a file without the key costs quadratic time. This computes the
 * same answer in one sequential read: every probe offset X of the scan start's parity is
 * first read in a known pass, and finds the first key at or after X exactly when that key
 * ends within the probe, within the file and before the first NUL at or after X. The
 * answer is the key seen by the probe with the smallest (pass, offset).
 *
 * When a large file's last tenth yields no key, the same scan runs once more over the
 * whole file, from offset 0, and its answer stands.
 */
std::optional<std::int32_t> ScanForKey(const IByteSource& map);

/**
 * The offset of the brace that opens the entity holding the key found at keyOffset:
 * the first "{" among the 128 bytes in front of the key (fewer near the file's start);
 * failing that, the nearest "{" up to 1 MiB further back. Nothing when there is none.
 */
std::optional<std::int32_t> LookBackForBrace(const IByteSource& map, std::int32_t keyOffset, LookBackWindow& window);

/** The offset of the first entity's brace, or nothing when the file has no entities. */
std::optional<std::int32_t> LocateEntityLump(const IByteSource& map, LookBackWindow& window);

}  // namespace kestrum
