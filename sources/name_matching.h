// Matching file names as game file systems do: extensions in any letter case.
#pragma once

#include <string_view>

namespace kestrum::sources {

/** True when name ends with suffix, ASCII letters compared without regard to case. */
bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix);

/** True for "*.bsp" in any letter case: the names of maps in folders and archives. */
inline bool IsMapName(std::string_view name) {
  return EndsWithIgnoringCase(name, ".bsp");
}

}  // namespace kestrum::sources
