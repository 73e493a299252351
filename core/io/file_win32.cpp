// The Windows half of CFile: W calls on UTF-8 paths widened at the call, binary and
// unbuffered by the C library, 64-bit sizes, reads at an offset.
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <limits>

#include "file.h"
#include "system_calls.h"
#include "wide_text_win32.h"

namespace kestrum {
namespace {

// ERROR_DIRECTORY_NOT_SUPPORTED, which mingw's headers lack.
constexpr DWORD kErrorDirectoryNotSupported = 336;

/** A folder cannot be opened as a file; the system says only "access denied". */
DWORD OpenError(const std::wstring& path) {
  const DWORD error = ::GetLastError();
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return kErrorDirectoryNotSupported;
  }
  return error;
}

FileOpening OpeningFor(CFile::Mode mode) {
  switch (mode) {
    case CFile::Mode::Read: return FileOpening::Read;
    case CFile::Mode::CreateWrite: return FileOpening::CreateAlways;
    case CFile::Mode::CreateNew: return FileOpening::CreateNew;
    case CFile::Mode::CreateUnnamed: break;
  }
  return FileOpening::Read;
}

}  // namespace

void CFile::Open(const std::string& path, Mode mode, Permissions /*permissions*/, const std::string& nameInMessages) {
  // Windows has no mode bits to give a new file: it inherits its folder's permissions.
  Abort();
  // A file without a name is a Linux file system's; the Windows list is written under a
  // temporary name and moved into place instead.
  if (mode == Mode::CreateUnnamed) throw CFileException("create", path, ERROR_NOT_SUPPORTED);
  const SystemCalls& sys = ActiveSystemCalls();
  const std::wstring widePath = Widen(path);
  void* const handle = sys.createFile(widePath.c_str(), OpeningFor(mode));
  if (!handle) throw CFileException("open", path, static_cast<int>(OpenError(widePath)));
  if (mode == Mode::Read && !sys.isDiskFile(handle)) {
    // A console, a pipe or a device may never end.
    sys.closeHandle(handle);
    throw CFileException::NotARegularFile(path);
  }
  Adopt(handle, nameInMessages.empty() ? path : nameInMessages, mode != Mode::Read);
}

void CFile::OpenDescriptor(int descriptor, const std::string& name) {
  Abort();
  // A copy of the handle behind the C runtime's descriptor, so that closing the list
  // does not close the process's own stream.
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
  HANDLE copy = nullptr;
  if (handle == INVALID_HANDLE_VALUE || !::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy,
                                                           0, FALSE, DUPLICATE_SAME_ACCESS)) {
    throw CFileException("open", name, static_cast<int>(::GetLastError()));
  }
  Adopt(copy, name, true);
}

void CFile::GiveName(const std::string& path) {
  // No file here is ever without a name (Open refuses CreateUnnamed), so none can be given one.
  throw CFileException("create", path, ERROR_NOT_SUPPORTED);
}

std::int64_t CFile::LengthFromSystem() const {
  std::int64_t size = 0;
  if (!ActiveSystemCalls().fileSize(m_file, &size)) {
    throw CFileException("get the length of", m_path, static_cast<int>(::GetLastError()));
  }
  return size;
}

FileStamp CFile::StampFromSystem() const {
  FileInformation information;
  if (!ActiveSystemCalls().information(m_file, &information)) {
    throw CFileException("get the length of", m_path, static_cast<int>(::GetLastError()));
  }
  return {LengthFromSystem(), static_cast<std::int64_t>(information.lastWrite)};
}

std::size_t CFile::ReadFromSystem(std::int64_t offset, char* buffer, std::size_t count) const {
  const auto asked = static_cast<std::uint32_t>(std::min<std::size_t>(count, std::numeric_limits<DWORD>::max()));
  std::uint32_t got = 0;
  if (!ActiveSystemCalls().readAt(m_file, buffer, asked, offset, &got)) {
    throw CFileException("read", m_path, static_cast<int>(::GetLastError()));
  }
  return got;
}

std::size_t CFile::WriteToSystem(const char* data, std::size_t count) {
  std::uint32_t put = 0;
  const auto asked = static_cast<std::uint32_t>(std::min<std::size_t>(count, std::numeric_limits<DWORD>::max()));
  if (!ActiveSystemCalls().write(m_file, data, asked, &put)) {
    throw CFileException("write", m_path, static_cast<int>(::GetLastError()));
  }
  if (put == 0) throw CFileException("write", m_path, ERROR_DISK_FULL);
  return put;
}

int CFile::CloseSystemFile(NativeFile file) {
  return ActiveSystemCalls().closeHandle(file) ? 0 : static_cast<int>(::GetLastError());
}

}  // namespace kestrum
