// The POSIX half of CScratchFile: an O_TMPFILE file where the file system has them, else
// a file unlinked as soon as it is made.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "scratch_file.h"

namespace kestrum {
namespace {

std::string TemporaryFolder() {
  const char* const folder = std::getenv("TMPDIR");
  return folder && *folder ? folder : "/tmp";
}

}  // namespace

void CScratchFile::CreateInTemporaryFolder() {
  const std::string folder = TemporaryFolder();
  m_file = ::open(folder.c_str(), O_RDWR | O_TMPFILE | O_CLOEXEC, 0600);
  if (m_file >= 0) return;
  std::string pattern = folder + "/.kestrum-XXXXXX";
  m_file = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (m_file < 0) throw CFileException("create a temporary copy of", m_name, errno);
  ::unlink(pattern.c_str());
}

void CScratchFile::WriteAt(std::int64_t offset, const char* data, std::size_t count) {
  while (count > 0) {
    const ssize_t put = ::pwrite(m_file, data, count, offset);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw CFileException("write a temporary copy of", m_name, put == 0 ? ENOSPC : errno);
    data += put;
    count -= static_cast<std::size_t>(put);
    offset += put;
  }
}

std::size_t CScratchFile::ReadFromSystem(std::int64_t offset, char* out, std::size_t count) const {
  for (;;) {
    const ssize_t got = ::pread(m_file, out, count, offset);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw CFileException("read the temporary copy of", m_name, errno);
  }
}

void CScratchFile::CloseSystemFile() {
  if (m_file != kNoFile) ::close(m_file);
  m_file = kNoFile;
}

}  // namespace kestrum
