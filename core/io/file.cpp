// The part of CFile that is the same on every system: the write buffer and the whole
// reads. file_posix.cpp and file_win32.cpp hold the calls to the system.
#include "file.h"

#include <algorithm>
#include <cstring>

namespace kestrum {

CFileException::CFileException(const std::string& action, const std::string& path, int error)
    : CInputError("Cannot " + action + " \"" + path + "\": " + SystemErrorText(error)), m_error(error) {}

CFileException CFileException::NotARegularFile(const std::string& path) {
  return {WholeMessage{}, "\"" + path + "\" is not a regular file", 0};
}

CFileException CFileException::WithMessage(const std::string& message, int error) {
  return {WholeMessage{}, message, error};
}

CFile::~CFile() {
  Abort();
}

void CFile::Adopt(NativeFile file, const std::string& name, bool writing) {
  m_file = file;
  m_path = name;
  m_pending = 0;
  m_writing = writing;
  if (writing) m_writeBuffer.resize(kWriteBufferSize);
  if (!writing) m_openedStamp = StampFromSystem();
}

void CFile::ThrowIfChanged() const {
  if (StampFromSystem() != m_openedStamp) throw CInputError(m_path, "the file changed while it was read");
}

std::int64_t CFile::GetLength() const {
  return LengthFromSystem();
}

std::size_t CFile::ReadAt(std::int64_t offset, char* out, std::size_t count) const {
  std::size_t done = 0;
  while (done < count) {
    const std::size_t got = ReadFromSystem(offset + static_cast<std::int64_t>(done), out + done, count - done);
    if (got == 0) break;  // end of file
    done += got;
  }
  return done;
}

void CFile::Write(const void* data, std::size_t count) {
  const char* in = static_cast<const char*>(data);
  while (count > 0) {
    const std::size_t take = std::min(count, kWriteBufferSize - m_pending);
    std::memcpy(m_writeBuffer.data() + m_pending, in, take);
    m_pending += take;
    in += take;
    count -= take;
    if (m_pending == kWriteBufferSize) Flush();
  }
}

void CFile::Flush() {
  for (std::size_t written = 0; written < m_pending;) {
    written += WriteToSystem(m_writeBuffer.data() + written, m_pending - written);
  }
  m_pending = 0;
}

void CFile::Close() {
  if (m_file == kNoFile) return;
  if (m_writing) {
    try {
      Flush();
    } catch (...) {
      Abort();
      throw;
    }
  }
  const NativeFile file = m_file;
  m_file = kNoFile;
  m_pending = 0;
  // A write error of the last blocks may only show when the file is closed.
  const int error = CloseSystemFile(file);
  if (error != 0 && m_writing) throw CFileException("write", m_path, error);
}

void CFile::Abort() {
  if (m_file == kNoFile) return;
  CloseSystemFile(m_file);
  m_file = kNoFile;
  m_pending = 0;
}

}  // namespace kestrum
