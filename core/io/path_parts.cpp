#include "path_parts.h"

namespace kestrum {

std::string FolderOf(const std::string& path) {
  const std::size_t separator = path.find_last_of(kPathSeparators);
  if (separator == std::string::npos) return ".";
  return separator == 0 ? path.substr(0, 1) : path.substr(0, separator);
}

std::string NameOf(const std::string& path) {
  const std::size_t separator = path.find_last_of(kPathSeparators);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!name.empty() && kPathSeparators.find(name.front()) != std::string_view::npos) return name;
  return folder + kPathSeparators.front() + name;
}

}  // namespace kestrum
