// What tells one file from another, whatever names lead to it.
#pragma once

#include <cstdint>

namespace kestrum {

/**
 * A file's device and its number there: the device and inode on POSIX, the volume's
 * serial number and the file index on Windows. Two names of one file have the same.
 */
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  bool operator==(const FileIdentity& other) const { return device == other.device && index == other.index; }
};

}  // namespace kestrum
