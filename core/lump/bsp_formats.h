// The headers of compiled maps: which engine's layout a map has, and where each of its
// lumps lies. The round trip of the entity lump rewrites one directory entry and must
// leave every other lump where the engine will look for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_source.h"

namespace kestrum {

/** One engine's header: a magic (or a bare version), then a directory of lumps. */
struct BspFormat {
  const char* name;                ///< as messages name it: "Quake 3 (IBSP 46)"
  std::size_t directoryOffset;     ///< where the first directory entry begins
  int lumpCount;                   ///< entries in the directory; the entity lump is entry 0 in every layout
  std::size_t entrySize;           ///< 8 (offset, length), or 16 where an entry also holds a version and more
  std::size_t headerSize;          ///< the bytes no lump may overlap
  bool entityLumpMayBeCompressed;  ///< Source: a non-zero fourth field means an LZMA lump
};

/** Where one lump lies, as its directory entry says. */
struct LumpPlace {
  std::int64_t offset = 0;
  std::int64_t length = 0;
  std::int64_t End() const { return offset + length; }
};

/** A map's header read and checked: every lump lies inside the file, after the header, on its own. */
struct BspLayout {
  const BspFormat* format = nullptr;
  std::vector<LumpPlace> lumps;  ///< in directory order; the entity lump is lumps[0]

  const LumpPlace& EntityLump() const { return lumps[0]; }
  /** Where the directory entry of lump index begins in the file. */
  std::size_t EntryOffset(int index) const {
    return format->directoryOffset + static_cast<std::size_t>(index) * format->entrySize;
  }
};

/**
 * Reads and checks the header of a map. Throws CInputError naming the map and the reason
 * for an unknown magic or version (both named), a file too short for its header, a lump
 * with a negative offset or length, one that reaches past the end of the file or into
 * the header, two lumps that overlap (lumps of length 0 are never in the way), and a
 * Source map whose entity lump is compressed.
 */
BspLayout ReadBspLayout(const IByteSource& map);

/** The bytes of a lump, read whole. */
std::string ReadLump(const IByteSource& map, const LumpPlace& place);

}  // namespace kestrum
