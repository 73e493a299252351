// The folder --output-dir names, made before any list is written into it.
#pragma once

#include <optional>
#include <string>

namespace kestrum::cli {

/**
 * Creates folder and the folders above it where they are missing; nothing when it then
 * exists, else why it cannot be, worded for the user.
 */
std::optional<std::string> CreateOutputFolder(const std::string& folder);

}  // namespace kestrum::cli
