// Temporary folders and whole-file reads and writes for tests.
#pragma once

#include <filesystem>
#include <string>

namespace kestrum::test {

/** The system's own separator of folders in a path: "/", or "\\" on Windows. */
inline constexpr char kPathSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

/** A fresh folder under the system's temporary folder, removed with everything in it. */
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return m_path; }
  /** The path of name inside the folder, with the system's own separator. */
  std::string File(const std::string& name) const { return m_path + kPathSeparator + name; }

 private:
  std::string m_path;
};

/** A relative path written with "/", in the system's own separators (as folder listings give them). */
std::string NativePath(std::string path);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace kestrum::test
