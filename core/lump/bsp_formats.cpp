#include "bsp_formats.h"

#include <algorithm>

#include "input_error.h"

namespace kestrum {
namespace {

// Where each layout comes from, in the engines' published sources:
// - Quake, version 29: id Software's Quake, WinQuake/bspfile.h (BSPVERSION 29,
//   HEADER_LUMPS 15, lump_t of fileofs and filelen, LUMP_ENTITIES 0).
// - BSP2 and 2PSB: the same 15-entry directory after the four-byte magic in place of the
//   version, as QuakeSpasm's bspfile.h and Mod_LoadBrushModel read them (BSP2VERSION_BSP2,
//   BSP2VERSION_2PSB).
// - Half-Life, version 30: Valve's Half-Life SDK, utils/common/bspfile.h (BSPVERSION 30,
//   HEADER_LUMPS 15, LUMP_ENTITIES 0).
// - Quake 2, IBSP 38: id Software's Quake 2, qcommon/qfiles.h (IDBSPHEADER "IBSP",
//   BSPVERSION 38, HEADER_LUMPS 19, LUMP_ENTITIES 0).
// - Quake 3, IBSP 46: id Software's Quake III Arena and ioquake3, code/qcommon/qfiles.h
//   (BSP_IDENT "IBSP", BSP_VERSION 46, HEADER_LUMPS 17, LUMP_ENTITIES 0).
// - IBSP 47: Return to Castle Wolfenstein and Enemy Territory, src/qcommon/qfiles.h of
//   their published sources (BSP_VERSION 47, the same 17 lumps); Quake Live's maps use it too.
// - UFO:AI, IBSP 78: UFO: Alien Invasion, src/shared/defines.h and src/common/qfiles.h
//   (BSPVERSION 78, HEADER_LUMPS 16, lump_t of fileofs and filelen, LUMP_ENTITIES 0).
// - Source, VBSP 19 to 21: Valve's Source SDK 2013, public/bspfile.h (IDBSPHEADER "VBSP",
//   HEADER_LUMPS 64, lump_t of fileofs, filelen, version and fourCC, then mapRevision).
//   Later branches of the engine name the fourth field uncompressedSize: a non-zero value
//   marks a lump compressed with LZMA, which an edit of its text would break.
constexpr std::size_t kVersionOnly = 4;
constexpr std::size_t kMagicAndVersion = 8;
constexpr std::size_t kPlainEntry = 8;

constexpr BspFormat kQuake{"Quake (version 29)", kVersionOnly, 15, kPlainEntry, kVersionOnly + 15 * kPlainEntry, false};
constexpr BspFormat kHalfLife{"Half-Life (version 30)",        kVersionOnly, 15, kPlainEntry,
                              kVersionOnly + 15 * kPlainEntry, false};
constexpr BspFormat kBsp2{"Quake BSP2", kVersionOnly, 15, kPlainEntry, kVersionOnly + 15 * kPlainEntry, false};
constexpr BspFormat k2psb{"Quake 2PSB", kVersionOnly, 15, kPlainEntry, kVersionOnly + 15 * kPlainEntry, false};
constexpr BspFormat kQuake2{
    "Quake 2 (IBSP 38)", kMagicAndVersion, 19, kPlainEntry, kMagicAndVersion + 19 * kPlainEntry, false};
constexpr BspFormat kQuake3{
    "Quake 3 (IBSP 46)", kMagicAndVersion, 17, kPlainEntry, kMagicAndVersion + 17 * kPlainEntry, false};
constexpr BspFormat kQuake3Family{
    "Quake 3 family (IBSP 47)", kMagicAndVersion, 17, kPlainEntry, kMagicAndVersion + 17 * kPlainEntry, false};
constexpr BspFormat kUfoAi{
    "UFO:AI (IBSP 78)", kMagicAndVersion, 16, kPlainEntry, kMagicAndVersion + 16 * kPlainEntry, false};
constexpr std::size_t kSourceEntry = 16;
constexpr std::size_t kSourceHeader = kMagicAndVersion + 64 * kSourceEntry + 4;  // mapRevision follows the lumps
constexpr BspFormat kSource19{"Source (VBSP 19)", kMagicAndVersion, 64, kSourceEntry, kSourceHeader, true};
constexpr BspFormat kSource20{"Source (VBSP 20)", kMagicAndVersion, 64, kSourceEntry, kSourceHeader, true};
constexpr BspFormat kSource21{"Source (VBSP 21)", kMagicAndVersion, 64, kSourceEntry, kSourceHeader, true};

std::int32_t Int32At(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int n = 3; n >= 0; --n)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(n)]);
  return static_cast<std::int32_t>(value);
}

const BspFormat* FormatOf(const std::string& head) {
  const std::string magic = head.substr(0, 4);
  const std::int32_t version = Int32At(head, 4);
  if (magic == "IBSP") {
    switch (version) {
      case 38: return &kQuake2;
      case 46: return &kQuake3;
      case 47: return &kQuake3Family;
      case 78: return &kUfoAi;
      default: return nullptr;
    }
  }
  if (magic == "VBSP") {
    switch (version) {
      case 19: return &kSource19;
      case 20: return &kSource20;
      case 21: return &kSource21;
      default: return nullptr;
    }
  }
  if (magic == "BSP2") return &kBsp2;
  if (magic == "2PSB") return &k2psb;
  switch (Int32At(head, 0)) {
    case 29: return &kQuake;
    case 30: return &kHalfLife;
    default: return nullptr;
  }
}

std::string PrintableMagic(const std::string& magic) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : magic) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      shown.push_back(c);
    } else {
      shown += "\\x";
      shown.push_back(kHex[byte >> 4]);
      shown.push_back(kHex[byte & 0xF]);
    }
  }
  return shown;
}

std::string ReadExactly(const IByteSource& map, std::int64_t offset, std::size_t count, const char* what) {
  std::string bytes(count, '\0');
  if (map.ReadAt(offset, bytes.data(), count) != count)
    throw CInputError(map.Name(), std::string("the file ends ") + what);
  return bytes;
}

std::string LumpName(std::size_t index) {
  return "lump " + std::to_string(index);
}

void CheckPlaces(const IByteSource& map, const BspLayout& layout) {
  const std::int64_t size = map.Size();
  std::vector<std::size_t> occupied;
  for (std::size_t index = 0; index < layout.lumps.size(); ++index) {
    const LumpPlace& place = layout.lumps[index];
    if (place.offset < 0 || place.length < 0) {
      throw CInputError(map.Name(), "damaged header: " + LumpName(index) + " has a negative " +
                                        (place.length < 0 ? "length" : "offset") + " (" +
                                        std::to_string(place.length < 0 ? place.length : place.offset) + ")");
    }
    if (place.length == 0) continue;
    if (place.End() > size) {
      throw CInputError(map.Name(), "damaged header: " + LumpName(index) +
                                        " reaches past the end of the file (to byte " + std::to_string(place.End()) +
                                        " of " + std::to_string(size) + ")");
    }
    if (place.offset < static_cast<std::int64_t>(layout.format->headerSize)) {
      throw CInputError(map.Name(), "damaged header: " + LumpName(index) + " overlaps the header");
    }
    occupied.push_back(index);
  }
  std::sort(occupied.begin(), occupied.end(),
            [&](std::size_t a, std::size_t b) { return layout.lumps[a].offset < layout.lumps[b].offset; });
  for (std::size_t n = 1; n < occupied.size(); ++n) {
    const std::size_t before = occupied[n - 1];
    const std::size_t after = occupied[n];
    if (layout.lumps[before].End() > layout.lumps[after].offset) {
      throw CInputError(map.Name(), "damaged header: " + LumpName(std::min(before, after)) + " and " +
                                        LumpName(std::max(before, after)) + " overlap");
    }
  }
}

}  // namespace

BspLayout ReadBspLayout(const IByteSource& map) {
  if (map.Size() < static_cast<std::int64_t>(kMagicAndVersion)) {
    throw CInputError(map.Name(), "too short to be a compiled map (" + std::to_string(map.Size()) + " bytes)");
  }
  const std::string head = ReadExactly(map, 0, kMagicAndVersion, "inside its header");
  BspLayout layout;
  layout.format = FormatOf(head);
  if (!layout.format) {
    throw CInputError(map.Name(), "unknown map format: magic \"" + PrintableMagic(head.substr(0, 4)) + "\", version " +
                                      std::to_string(Int32At(head, 4)));
  }
  const BspFormat& format = *layout.format;
  if (map.Size() < static_cast<std::int64_t>(format.headerSize)) {
    throw CInputError(map.Name(), std::string("too short for the header of ") + format.name);
  }
  const std::string directory =
      ReadExactly(map, static_cast<std::int64_t>(format.directoryOffset),
                  static_cast<std::size_t>(format.lumpCount) * format.entrySize, "inside its header");
  for (int index = 0; index < format.lumpCount; ++index) {
    const std::size_t entry = static_cast<std::size_t>(index) * format.entrySize;
    layout.lumps.push_back(LumpPlace{Int32At(directory, entry), Int32At(directory, entry + 4)});
  }
  if (format.entityLumpMayBeCompressed && Int32At(directory, 12) != 0) {
    throw CInputError(map.Name(), std::string("the entity lump of this ") + format.name +
                                      " map is compressed; decompress the map first");
  }
  CheckPlaces(map, layout);
  return layout;
}

std::string ReadLump(const IByteSource& map, const LumpPlace& place) {
  return ReadExactly(map, place.offset, static_cast<std::size_t>(place.length), "inside a lump");
}

}  // namespace kestrum
