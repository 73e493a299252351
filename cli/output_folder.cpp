#include "output_folder.h"

#include <filesystem>

#include "output.h"
#include "system_path.h"

namespace kestrum::cli {

std::optional<std::string> CreateOutputFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  const fs::path path = SystemPath(folder);
  const std::string cannot = "cannot create the folder \"" + EscapeName(folder) + "\": ";
  std::error_code error;
  // The system's word for both is "File exists", which says nothing of what is in the way.
  const fs::file_status status = fs::symlink_status(path, error);
  if (fs::is_symlink(status) && !fs::exists(path, error)) {
    const fs::path target = fs::read_symlink(path, error);
    return cannot + "it is a link to \"" + EscapeName(Utf8Path(target)) + "\", which does not exist";
  }
  if (fs::exists(path, error) && !fs::is_directory(path, error)) return cannot + "it is a file, not a folder";
  fs::create_directories(path, error);
  if (error) return cannot + error.message();
  return std::nullopt;
}

}  // namespace kestrum::cli
