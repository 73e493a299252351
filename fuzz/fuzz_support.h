// What the fuzz targets share: the fuzzer's bytes as a map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrum::fuzz {

inline std::string BytesOf(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace kestrum::fuzz
