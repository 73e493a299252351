// Opening a BSP file for one command. Offsets into a map are 32-bit signed throughout,
// so a map must be shorter than 2 GiB.
#pragma once

#include "file.h"

#include <cstdint>
#include <string>

namespace kestrum {

/** Opens the map for reading and returns its length; refuses maps of 2 GiB and more. */
std::int32_t OpenMapForReading(CFile& file, const std::string& path);

}  // namespace kestrum
