// The part of CFile that is the same on every system: files held in memory, the read
// and write buffers. file_posix.cpp and file_win32.cpp hold the calls to the system.
#include "file.h"

#include <algorithm>
#include <cstring>

#include "map_bytes.h"

namespace kestrum {

CFileException::CFileException(const std::string& path, const std::string& reason)
    : std::runtime_error("\"" + path + "\": " + reason) {}

CFileException CFileException::NotARegularFile(const std::string& path) {
  return {WholeMessage{}, "\"" + path + "\" is not a regular file", 0};
}

CFileException CFileException::WithMessage(const std::string& message, int error) {
  return {WholeMessage{}, message, error};
}

CFile::~CFile() {
  Abort();
}

void CFile::Adopt(int descriptor, const std::string& name, bool writing) {
  m_descriptor = descriptor;
  m_path = name;
  m_position = 0;
  m_bufferOffset = 0;
  m_bufferLength = 0;
  m_writing = writing;
  m_buffer.resize(kBufferSize);
}

void CFile::OpenHeld(const std::string& name, std::shared_ptr<const CMapBytes> bytes) {
  Abort();
  m_memory = std::move(bytes);
  m_path = name;
  m_position = 0;
  m_bufferOffset = 0;
  m_bufferLength = 0;
  m_writing = false;
}

std::int64_t CFile::GetLength() const {
  if (m_memory) return m_memory->Size();
  return LengthFromSystem();
}

std::size_t CFile::ReadAt(std::int64_t offset, char* buffer, std::size_t count) {
  if (m_memory) return m_memory->ReadAt(offset, buffer, count);
  return ReadFromSystem(offset, buffer, count);
}

std::size_t CFile::ReadUnbuffered(std::int64_t offset, void* buffer, std::size_t count) {
  char* const out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const std::size_t got = ReadAt(offset + static_cast<std::int64_t>(done), out + done, count - done);
    if (got == 0) break;  // end of file
    done += got;
  }
  return done;
}

std::size_t CFile::Read(void* buffer, std::size_t count) {
  char* out = static_cast<char*>(buffer);
  if (m_memory) {  // no buffer to fill: the bytes are at hand
    const std::size_t got = ReadAt(m_position, out, count);
    m_position += static_cast<std::int64_t>(got);
    return got;
  }
  std::size_t done = 0;
  while (done < count) {
    const std::int64_t bufferEnd = m_bufferOffset + static_cast<std::int64_t>(m_bufferLength);
    if (m_position >= m_bufferOffset && m_position < bufferEnd) {
      const auto available = static_cast<std::size_t>(bufferEnd - m_position);
      const std::size_t take = std::min(available, count - done);
      std::memcpy(out + done, m_buffer.data() + (m_position - m_bufferOffset), take);
      done += take;
      m_position += static_cast<std::int64_t>(take);
      continue;
    }
    std::size_t got = 0;
    if (count - done >= kBufferSize) {
      // Large reads bypass the buffer.
      got = ReadAt(m_position, out + done, count - done);
      done += got;
      m_position += static_cast<std::int64_t>(got);
    } else {
      got = ReadAt(m_position, m_buffer.data(), kBufferSize);
      m_bufferOffset = m_position;
      m_bufferLength = got;
    }
    if (got == 0) break;  // end of file
  }
  return done;
}

void CFile::Write(const void* data, std::size_t count) {
  const char* in = static_cast<const char*>(data);
  while (count > 0) {
    const std::size_t take = std::min(count, kBufferSize - m_bufferLength);
    std::memcpy(m_buffer.data() + m_bufferLength, in, take);
    m_bufferLength += take;
    m_position += static_cast<std::int64_t>(take);
    in += take;
    count -= take;
    if (m_bufferLength == kBufferSize) Flush();
  }
}

void CFile::Flush() {
  for (std::size_t written = 0; written < m_bufferLength;) {
    written += WriteToSystem(m_buffer.data() + written, m_bufferLength - written);
  }
  m_bufferLength = 0;
}

void CFile::Close() {
  m_memory.reset();
  if (m_descriptor < 0) return;
  if (m_writing) {
    try {
      Flush();
    } catch (...) {
      Abort();
      throw;
    }
  }
  const int descriptor = m_descriptor;
  m_descriptor = -1;
  m_bufferLength = 0;
  // A write error of the last blocks may only show when the file is closed.
  const int error = CloseSystemFile(descriptor);
  if (error != 0 && m_writing) throw CFileException("write", m_path, error);
}

void CFile::Abort() {
  m_memory.reset();
  if (m_descriptor < 0) return;
  CloseSystemFile(m_descriptor);
  m_descriptor = -1;
  m_bufferLength = 0;
}

}  // namespace kestrum
