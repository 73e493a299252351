// The texts the entity commands show or look for, each named once.
#pragma once

#include <string_view>

namespace kestrum::texts {

inline constexpr std::string_view kWorldspawn = "worldspawn";
inline constexpr std::string_view kSpawnflags = "spawnflags";

inline constexpr std::string_view kNoEntities = "There is no entities available in this file";
inline constexpr std::string_view kNoBspLoaded = "No bsp file has been loaded!!";
inline constexpr std::string_view kNoListPath = "You must define a path for the extract text file";

inline constexpr std::string_view kBspFilterDescription = "Compiled map BSP bsp(*.bsp)";
inline constexpr std::string_view kBspFilterPattern = "*.bsp";
inline constexpr std::string_view kBspExtension = "bsp";
inline constexpr std::string_view kBspInitialName = "*.bsp";

inline constexpr std::string_view kListFilterDescription = "Text file txt(*.txt)";
inline constexpr std::string_view kListFilterPattern = "*.txt";
inline constexpr std::string_view kListExtension = "txt";

}  // namespace kestrum::texts
