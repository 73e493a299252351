#include "test_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#include "system_path.h"

namespace kestrum::test {

TempDir::TempDir() {
  // create_directory says whether it made the folder, so two tests never share one.
  std::random_device seed;
  std::mt19937 random(seed());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / ("kestrum-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      m_path = Utf8Path(candidate);
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(SystemPath(m_path), ignored);
}

std::string NativePath(std::string path) {
  std::replace(path.begin(), path.end(), '/', kPathSeparator);
  return path;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(SystemPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(SystemPath(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  // One copy of the stream's buffer, not a character at a time: tests read maps of tens of megabytes.
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool FileExists(const std::string& path) {
  return std::filesystem::exists(SystemPath(path));
}

}  // namespace kestrum::test
