#include "map_builder.h"

#include <array>
#include <random>

namespace kestrum::mapgen {
namespace {

constexpr std::int32_t kVersion = 30;
constexpr int kLumpCount = 15;
constexpr std::size_t kHeaderSize = 4 + kLumpCount * 8;

void AppendInt32(std::string& out, std::int32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void AppendBinary(std::string& out, std::size_t count, std::mt19937& random) {
  std::uniform_int_distribution<int> byte(1, 255);
  std::bernoulli_distribution zero(0.6);
  for (std::size_t i = 0; i < count; ++i) {
    int value = zero(random) ? 0 : byte(random);
    if (value == '{' || value == '}') value = 0;
    out.push_back(static_cast<char>(value));
  }
}

Entity Make(std::initializer_list<std::pair<std::string, std::string>> pairs) {
  return Entity{pairs};
}

}  // namespace

std::string EntityText(const Entity& entity) {
  std::string text = "{\n";
  for (const auto& [key, value] : entity.pairs) text += "\"" + key + "\" \"" + value + "\"\n";
  return text + "}";
}

std::string EntityLump(const std::vector<Entity>& entities) {
  std::string lump;
  for (const Entity& entity : entities) lump += EntityText(entity) + "\n";
  lump.push_back('\0');
  return lump;
}

BuiltMap BuildMap(const std::string& lump, std::size_t binaryBefore, std::size_t binaryAfter, std::uint32_t seed) {
  std::mt19937 random(seed);
  BuiltMap map;
  const auto lumpOffset = static_cast<std::int32_t>(kHeaderSize + binaryBefore);
  AppendInt32(map.bytes, kVersion);
  // Lump 0 is the entity lump; the binary lumps share the bytes before and after it.
  AppendInt32(map.bytes, lumpOffset);
  AppendInt32(map.bytes, static_cast<std::int32_t>(lump.size()));
  for (int lumpIndex = 1; lumpIndex < kLumpCount; ++lumpIndex) {
    const bool before = lumpIndex < kLumpCount - 1;
    const std::size_t share = before ? binaryBefore / (kLumpCount - 2) : binaryAfter;
    const std::size_t offset = before ? kHeaderSize + (lumpIndex - 1) * share : lumpOffset + lump.size();
    AppendInt32(map.bytes, static_cast<std::int32_t>(offset));
    AppendInt32(map.bytes, static_cast<std::int32_t>(share));
  }
  AppendBinary(map.bytes, binaryBefore, random);
  map.bytes += lump;
  AppendBinary(map.bytes, binaryAfter, random);
  map.lumpOffset = lumpOffset;
  return map;
}

std::vector<Entity> DemoEntities() {
  std::vector<Entity> entities{
      Make({{"classname", "worldspawn"},
            {"message", "Kestrum demo keep"},
            {"wad",
             "gfx/base.wad;gfx/tech.wad;gfx/medieval.wad;gfx/metal.wad;gfx/runes.wad;gfx/"
             "liquids.wad;gfx/sky.wad;gfx/doors.wad;gfx/trims.wad"},
            {"sounds", "6"},
            {"worldtype", "2"}}),
      Make({{"classname", "info_player_start"}, {"origin", "-480 352 88"}, {"angle", "90"}}),
      Make({{"classname", "info_player_deathmatch"}, {"origin", "512 -128 24"}, {"angle", "180"}}),
      Make({{"classname", "info_player_deathmatch"}, {"origin", "-96 -640 216"}, {"angle", "0"}}),
  };
  const std::array<const char*, 4> lightStyles{"0", "1", "5", "10"};
  for (int i = 0; i < 12; ++i) {
    Entity light = Make({{"classname", i % 3 == 0 ? "light_fluoro" : "light"},
                         {"origin", std::to_string(-512 + 96 * i) + " " + std::to_string(64 * (i % 5)) + " 160"},
                         {"light", std::to_string(150 + 25 * (i % 4))}});
    if (i % 4 == 1) light.pairs.emplace_back("spawnflags", "1");
    if (i % 5 == 2) light.pairs.emplace_back("style", lightStyles[i % lightStyles.size()]);
    entities.push_back(light);
  }
  entities.push_back(
      Make({{"classname", "func_door"}, {"angle", "-1"}, {"spawnflags", "32"}, {"targetname", "t1"}, {"model", "*1"}}));
  entities.push_back(Make({{"classname", "func_door"}, {"angle", "90"}, {"speed", "200"}, {"model", "*2"}}));
  entities.push_back(Make({{"classname", "func_button"}, {"target", "t1"}, {"angle", "270"}, {"model", "*3"}}));
  entities.push_back(Make({{"classname", "trigger_once"}, {"target", "t2"}, {"spawnflags", "1"}, {"model", "*4"}}));
  entities.push_back(Make({{"classname", "func_plat"}, {"height", "128"}, {"model", "*5"}}));
  entities.push_back(Make({{"classname", "trigger_teleport"}, {"target", "dest1"}, {"model", "*6"}}));
  entities.push_back(Make({{"classname", "info_teleport_destination"},
                           {"targetname", "dest1"},
                           {"origin", "640 640 40"},
                           {"angle", "270"}}));
  entities.push_back(
      Make({{"classname", "monster_army"}, {"origin", "128 448 24"}, {"angle", "180"}, {"spawnflags", "256"}}));
  entities.push_back(
      Make({{"classname", "monster_dog"}, {"origin", "192 512 24"}, {"spawnflags", "768"}, {"targetname", "t2"}}));
  entities.push_back(
      Make({{"classname", "monster_knight"}, {"origin", "-256 -512 88"}, {"angle", "45"}, {"spawnflags", "1537"}}));
  entities.push_back(Make({{"classname", "monster_ogre"}, {"origin", "384 -256 152"}, {"spawnflags", "2048"}}));
  entities.push_back(Make({{"classname", "item_health"}, {"origin", "0 0 24"}, {"spawnflags", "2"}}));
  entities.push_back(Make({{"classname", "item_armor1"}, {"origin", "96 -32 24"}}));
  entities.push_back(Make({{"classname", "item_shells"}, {"origin", "-64 128 24"}, {"spawnflags", "1792"}}));
  entities.push_back(Make({{"classname", "weapon_supershotgun"}, {"origin", "256 256 24"}}));
  entities.push_back(Make({{"classname", "weapon_nailgun"}, {"origin", "-320 96 88"}, {"spawnflags", "512"}}));
  entities.push_back(Make({{"classname", "ambient_drip"}, {"origin", "-128 -384 120"}}));
  entities.push_back(Make({{"classname", "ambient_comp_hum"}, {"origin", "448 64 120"}}));
  entities.push_back(Make({{"classname", "trigger_changelevel"}, {"map", "e1m2"}, {"model", "*7"}}));
  entities.push_back(Make({{"classname", "trigger_secret"}, {"message", "You found a secret area!"}, {"model", "*8"}}));
  entities.push_back(
      Make({{"classname", "path_corner"}, {"targetname", "p1"}, {"target", "p2"}, {"origin", "0 512 24"}}));
  entities.push_back(
      Make({{"classname", "path_corner"}, {"targetname", "p2"}, {"target", "p1"}, {"origin", "512 512 24"}}));
  return entities;
}

BuiltMap DemoMap() {
  return BuildMap(EntityLump(DemoEntities()), 24 * 1024, 2 * 1024, 2026);
}

}  // namespace kestrum::mapgen
