// The texts the entity commands show or look for, each named once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrum::texts {

inline constexpr std::string_view kWorldspawn = "worldspawn";
inline constexpr std::string_view kSpawnflags = "spawnflags";

inline constexpr std::string_view kNoEntities = "There is no entities available in this file";
inline constexpr std::string_view kNoBspLoaded = "No bsp file has been loaded!!";
inline constexpr std::string_view kNoListPath = "You must define a path for the extract text file";

/** After an export that stopped at an entity with no closing brace. */
inline std::string CutEntityMessage(std::int32_t offset, int entitiesListed) {
  return "The entity at offset " + std::to_string(offset) +
         " ends before its closing brace, so the entities of this map end there. The list holds the " +
         std::to_string(entitiesListed) + (entitiesListed == 1 ? " entity" : " entities") + " before it.";
}

inline constexpr std::string_view kBspFilterDescription = "Compiled map BSP bsp(*.bsp)";
inline constexpr std::string_view kBspFilterPattern = "*.bsp";
inline constexpr std::string_view kBspExtension = "bsp";
inline constexpr std::string_view kBspInitialName = "*.bsp";

inline constexpr std::string_view kListFilterDescription = "Text file txt(*.txt)";
inline constexpr std::string_view kListFilterPattern = "*.txt";
inline constexpr std::string_view kListExtension = "txt";

}  // namespace kestrum::texts
