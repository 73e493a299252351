// What the fuzz targets share: a file made from the fuzzer's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "test_files.h"

namespace kestrum::fuzz {

/** Writes the bytes to the one file every run of this process reuses; returns its path. */
inline const std::string& FileOf(const std::string& bytes) {
  static const test::TempDir folder;
  static const std::string path = folder.File("input.bsp");
  test::WriteFile(path, bytes);
  return path;
}

inline std::string BytesOf(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace kestrum::fuzz
