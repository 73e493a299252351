#pragma once

#include <string>

namespace kestrum {

/**
 * The list file name offered for a map: the map's file name with its last four
 * characters (".bsp") replaced by ".txt", without a folder. Both "\" and "/" end a
 * folder, so Windows-style and Linux paths give the same name.
 */
std::string DefaultListName(const std::string& bspPath);

}  // namespace kestrum
