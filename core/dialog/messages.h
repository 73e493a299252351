// The texts the dialog's commands show the user, each named once; what the lump's
// readers have to say is in lump_messages.h.
#pragma once

#include <string_view>

#include "lump_messages.h"

namespace kestrum::messages {

inline constexpr std::string_view kNoBspLoaded = "No bsp file has been loaded!!";
inline constexpr std::string_view kNoListPath = "You must define a path for the extract text file";

inline constexpr std::string_view kBspFilterDescription = "Compiled map BSP bsp(*.bsp)";
inline constexpr std::string_view kBspFilterPattern = "*.bsp";
inline constexpr std::string_view kBspExtension = "bsp";
inline constexpr std::string_view kBspInitialName = "*.bsp";
inline constexpr std::string_view kArchiveFilterDescription = "Map archives (*.pk3;*.pk4;*.zip;*.pak)";
inline constexpr std::string_view kArchiveFilterPattern = "*.pk3;*.pk4;*.zip;*.pak";

inline constexpr std::string_view kListFilterDescription = "Text file txt(*.txt)";
inline constexpr std::string_view kListFilterPattern = "*.txt";
inline constexpr std::string_view kListExtension = "txt";

}  // namespace kestrum::messages
