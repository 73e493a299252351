// The part of CScratchFile that is the same on every system.
#include "scratch_file.h"

#include <algorithm>

namespace kestrum {

CScratchFile::CScratchFile(std::string name) : m_name(std::move(name)) {
  CreateInTemporaryFolder();
  m_pending.reserve(kWriteBlock);
}

CScratchFile::~CScratchFile() {
  CloseSystemFile();
}

void CScratchFile::Append(const char* data, std::size_t count) {
  while (count > 0) {
    const std::size_t take = std::min(count, kWriteBlock - m_pending.size());
    m_pending.insert(m_pending.end(), data, data + take);
    data += take;
    count -= take;
    if (m_pending.size() == kWriteBlock) FinishWriting();
  }
}

void CScratchFile::FinishWriting() {
  if (m_pending.empty()) return;
  WriteAt(m_size, m_pending.data(), m_pending.size());
  m_size += static_cast<std::int64_t>(m_pending.size());
  m_pending.clear();
}

std::size_t CScratchFile::ReadAt(std::int64_t offset, char* out, std::size_t count) const {
  if (offset < 0 || offset >= m_size) return 0;
  const std::size_t wanted =
      static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), m_size - offset));
  std::size_t done = 0;
  while (done < wanted) {
    const std::size_t got = ReadFromSystem(offset + static_cast<std::int64_t>(done), out + done, wanted - done);
    if (got == 0) throw CFileException(m_name, "the temporary copy ended early");
    done += got;
  }
  return done;
}

}  // namespace kestrum
