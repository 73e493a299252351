#pragma once

#include <string>

namespace kestrum::win32 {

/**
 * The application's name as the user sees it in captions: the executable's file name
 * without its folder and extension ("Kestrum" for Kestrum.exe), in UTF-8.
 */
std::string ApplicationName();

/** The same rule on a given path, with either kind of slash. */
std::string ApplicationNameOf(const std::string& executablePath);

}  // namespace kestrum::win32
