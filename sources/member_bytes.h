// A member's bytes, collected as its archive hands them out, whatever its directory claims.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "byte_source.h"

namespace kestrum::sources {

/**
 * Collects a member's bytes block by block: in memory while they are few and memory is
 * to be had, in a scratch file past that. Nothing is reserved for the size an archive's
 * directory claims, so a member that claims or unpacks to gigabytes costs the process a
 * bounded amount of memory, whatever the number of workers unpacking at once.
 */
class CMemberBytes {
 public:
  /** @param name how messages name the member: ARCHIVE:MEMBER. */
  explicit CMemberBytes(std::string name);
  ~CMemberBytes();
  CMemberBytes(const CMemberBytes&) = delete;
  CMemberBytes& operator=(const CMemberBytes&) = delete;

  void Append(const char* data, std::size_t count);
  std::uint64_t Size() const { return m_size; }
  /** The bytes collected, as a map to read. */
  std::shared_ptr<const IByteSource> Finish();

  /** The most one member keeps in memory, and all members at once. */
  static constexpr std::size_t kMemberInMemory = std::size_t{16} << 20;
  static constexpr std::size_t kAllInMemory = std::size_t{96} << 20;

 private:
  class CScratch;

  std::string m_name;
  std::uint64_t m_size = 0;
  std::string m_memory;                 ///< the bytes, while they are in memory
  std::size_t m_granted = 0;            ///< of the memory shared by all members, what m_memory may use
  std::unique_ptr<CScratch> m_scratch;  ///< the bytes, once they went to a file
};

}  // namespace kestrum::sources
