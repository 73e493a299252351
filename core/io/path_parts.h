// A path's folder, split off the same way wherever the list export needs it.
#pragma once

#include <string>
#include <string_view>

namespace kestrum {

/** The characters that end a folder's name in a path; the first is the one to write. */
#ifdef _WIN32
inline constexpr std::string_view kPathSeparators = "\\/";
#else
inline constexpr std::string_view kPathSeparators = "/";
#endif

/** The folder that holds path: "." for a bare name, the root for a file in the root. */
std::string FolderOf(const std::string& path);

/** path's last part, after its folder. */
std::string NameOf(const std::string& path);

/** name in folder; a name that is already a path from the root stays as it is. */
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace kestrum
