#include "format_map_builder.h"

#include <random>

namespace kestrum::mapgen {
namespace {

void PutInt32(std::string& bytes, std::size_t at, std::int64_t value) {
  for (std::size_t n = 0; n < 4; ++n) bytes[at + n] = static_cast<char>((value >> (8 * n)) & 0xFF);
}

std::string BinaryLump(std::size_t length, std::mt19937& random) {
  std::uniform_int_distribution<int> byte(1, 255);
  std::bernoulli_distribution zero(0.6);
  std::string lump;
  for (std::size_t n = 0; n < length; ++n) {
    int value = zero(random) ? 0 : byte(random);
    if (value == '{' || value == '}') value = 0;
    lump.push_back(static_cast<char>(value));
  }
  return lump;
}

}  // namespace

std::vector<HeaderKind> SupportedHeaders() {
  return {
      {"Quake", "", 29, false, 15, 8, 0},
      {"Quake BSP2", "BSP2", 0, false, 15, 8, 0},
      {"Quake 2PSB", "2PSB", 0, false, 15, 8, 0},
      {"Half-Life", "", 30, false, 15, 8, 0},
      {"Quake 2", "IBSP", 38, true, 19, 8, 0},
      {"Quake 3", "IBSP", 46, true, 17, 8, 0},
      {"Quake 3 family", "IBSP", 47, true, 17, 8, 0},
      {"UFO:AI", "IBSP", 78, true, 16, 8, 0},
      {"Source 19", "VBSP", 19, true, 64, 16, 4},
      {"Source 20", "VBSP", 20, true, 64, 16, 4},
      {"Source 21", "VBSP", 21, true, 64, 16, 4},
  };
}

FormatMap BuildFormatMap(const HeaderKind& kind, const std::string& lump, LumpPosition position,
                         std::size_t binaryLength, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string head;
  if (kind.magic.empty()) {
    head.resize(4);
    PutInt32(head, 0, kind.version);
  } else {
    head = kind.magic;
    if (kind.versionFollowsMagic) {
      head.resize(8);
      PutInt32(head, 4, kind.version);
    }
  }
  const std::size_t directory = head.size();
  FormatMap map;
  map.bytes = head + std::string(static_cast<std::size_t>(kind.lumpCount) * kind.entrySize + kind.trailer, '\0');
  for (std::size_t n = 0; n < kind.trailer; ++n) map.bytes[map.bytes.size() - 1 - n] = static_cast<char>(0x11 + n);
  const int entityTurn = position == LumpPosition::First  ? 0
                         : position == LumpPosition::Last ? kind.lumpCount - 1
                                                          : kind.lumpCount / 2;
  // The lumps go into the file in directory order, except the entity lump, which takes its turn.
  for (int turn = 0, binary = 1; turn < kind.lumpCount; ++turn) {
    while (map.bytes.size() % 4 != 0) map.bytes.push_back('\0');
    const bool entities = turn == entityTurn;
    const int index = entities ? 0 : binary++;
    const std::string bytes = entities ? lump : BinaryLump(binaryLength + static_cast<std::size_t>(index), random);
    const std::size_t entry = directory + static_cast<std::size_t>(index) * kind.entrySize;
    PutInt32(map.bytes, entry, static_cast<std::int64_t>(map.bytes.size()));
    PutInt32(map.bytes, entry + 4, static_cast<std::int64_t>(bytes.size()));
    if (kind.entrySize == 16) PutInt32(map.bytes, entry + 8, index % 3);  // a lump version, left as it is
    if (entities) map.entityOffset = static_cast<std::int64_t>(map.bytes.size());
    map.bytes += bytes;
  }
  return map;
}

}  // namespace kestrum::mapgen
