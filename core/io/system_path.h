// Paths travel through the program as UTF-8, whatever the system. std::filesystem reads a
// narrow string in the system's own narrow encoding, which on Windows is the ANSI code
// page: "été" would name "Ã©tÃ©". Every path goes to and comes from std::filesystem
// through these two, so that the system sees the name the user gave.
#pragma once

#include <filesystem>
#include <string>

namespace kestrum {

/** The path that a UTF-8 name stands for. */
inline std::filesystem::path SystemPath(const std::string& utf8) {
  return std::filesystem::u8path(utf8);
}

/** A path's name in UTF-8. */
inline std::string Utf8Path(const std::filesystem::path& path) {
  return path.u8string();
}

}  // namespace kestrum
