// The Windows half of CScratchFile: a file in the user's temporary folder that the
// system deletes when its handle closes.
#include <windows.h>

#include <algorithm>
#include <limits>

#include "scratch_file.h"
#include "wide_text_win32.h"

namespace kestrum {

void CScratchFile::CreateInTemporaryFolder() {
  wchar_t folder[MAX_PATH + 1];
  wchar_t path[MAX_PATH + 1];
  if (::GetTempPathW(MAX_PATH + 1, folder) == 0 || ::GetTempFileNameW(folder, L"kes", 0, path) == 0) {
    throw CFileException("create a temporary copy of", m_name, static_cast<int>(::GetLastError()));
  }
  const HANDLE file = ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    ::DeleteFileW(path);
    throw CFileException("create a temporary copy of", m_name, static_cast<int>(error));
  }
  m_file = file;
}

void CScratchFile::WriteAt(std::int64_t offset, const char* data, std::size_t count) {
  while (count > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const auto asked = static_cast<DWORD>(std::min<std::size_t>(count, std::numeric_limits<DWORD>::max()));
    DWORD put = 0;
    if (!::WriteFile(m_file, data, asked, &put, &at) || put == 0) {
      const DWORD error = ::GetLastError();
      throw CFileException("write a temporary copy of", m_name, static_cast<int>(put == 0 ? ERROR_DISK_FULL : error));
    }
    data += put;
    count -= put;
    offset += put;
  }
}

std::size_t CScratchFile::ReadFromSystem(std::int64_t offset, char* out, std::size_t count) const {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  const auto asked = static_cast<DWORD>(std::min<std::size_t>(count, std::numeric_limits<DWORD>::max()));
  DWORD got = 0;
  if (!::ReadFile(m_file, out, asked, &got, &at) && ::GetLastError() != ERROR_HANDLE_EOF) {
    throw CFileException("read the temporary copy of", m_name, static_cast<int>(::GetLastError()));
  }
  return got;
}

void CScratchFile::CloseSystemFile() {
  if (m_file != kNoFile) ::CloseHandle(m_file);
  m_file = kNoFile;
}

}  // namespace kestrum
