// The string table.
#pragma once

#include <string>

namespace kestrum::res {

/** The text of string id, or an empty string when the table has none. */
std::string LoadString(int id);

}  // namespace kestrum::res
