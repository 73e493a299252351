// Files dropped on a window from the system's file manager.
#pragma once

#include <optional>
#include <string>

#include "win32_api.h"

namespace kestrum::win32 {

/** The first file of a drop, in UTF-8; the drop is finished either way (its memory freed). */
std::optional<std::string> TakeFirstDroppedFile(HDROP drop);

}  // namespace kestrum::win32
