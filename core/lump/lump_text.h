// The text of the entity lump, as the engines take it.
#pragma once

#include <cstdint>
#include <string>

#include "byte_source.h"

namespace kestrum {

/**
 * The bytes from the first entity's offset up to the first NUL or the end of the map,
 * read in blocks: a map whose lump is followed by a long run of zero bytes costs the
 * lump's length in memory, not the map's. Throws CInputError when the map cannot be read.
 */
std::string ReadLumpText(const IByteSource& map, std::int32_t lumpOffset);

}  // namespace kestrum
