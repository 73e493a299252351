// Bytes too many to hold in memory, kept in a file nobody else sees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_source.h"
#include "file.h"

namespace kestrum {

/**
 * A file without a name in the system's folder for temporary files, written once from
 * start to end and then read at any offset. It vanishes when closed, and with the process
 * however that ends. Failures throw CFileException naming the bytes it holds.
 */
class CScratchFile final : public IByteSource {
 public:
  /** @param name how messages name what the file holds (a member of an archive). */
  explicit CScratchFile(std::string name);
  ~CScratchFile() override;
  CScratchFile(const CScratchFile&) = delete;
  CScratchFile& operator=(const CScratchFile&) = delete;

  /** Adds bytes at the end. */
  void Append(const char* data, std::size_t count);
  /** Writes out what is pending; after it, the bytes may be read. */
  void FinishWriting();

  const std::string& Name() const override { return m_name; }
  std::int64_t Size() const override { return m_size; }
  std::size_t ReadAt(std::int64_t offset, char* out, std::size_t count) const override;

 private:
  // The system's part, in scratch_file_posix.cpp or scratch_file_win32.cpp.
  void CreateInTemporaryFolder();
  void WriteAt(std::int64_t offset, const char* data, std::size_t count);
  std::size_t ReadFromSystem(std::int64_t offset, char* out, std::size_t count) const;
  void CloseSystemFile();

  static constexpr std::size_t kWriteBlock = std::size_t{1} << 20;

  const std::string m_name;
  NativeFile m_file = kNoFile;
  std::int64_t m_size = 0;      ///< bytes written out
  std::vector<char> m_pending;  ///< bytes not written out yet
};

}  // namespace kestrum
