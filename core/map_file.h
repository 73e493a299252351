// Opening a BSP file for one command. Offsets into a map are 32-bit signed throughout,
// so a map must be shorter than 2 GiB.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "file.h"
#include "map_bytes.h"

namespace kestrum {

/**
 * A map whose bytes are held for the commands, known to them by path: a member of an
 * archive ("pak0.pk3:maps/q3dm1.bsp"), or a map file read once for many commands.
 */
struct HeldMap {
  std::string path;
  std::shared_ptr<const CMapBytes> bytes;
};

/**
 * Opens the map for reading and returns its length; refuses maps of 2 GiB and more.
 * A held map of the same path is read from its held bytes instead of from disk.
 */
std::int32_t OpenMapForReading(CFile& file, const std::string& path, const HeldMap* held = nullptr);

/** A map file held open for many commands, read in blocks as they are needed. */
HeldMap HoldMapFile(const std::string& path);

}  // namespace kestrum
