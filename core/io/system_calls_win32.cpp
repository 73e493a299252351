#include <windows.h>

#include "system_calls.h"

namespace kestrum {
namespace {

void* CreateFileCall(const wchar_t* path, FileOpening opening) {
  // Readers share everything, so that a map open in an editor can still be read.
  DWORD access = GENERIC_READ;
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  DWORD disposition = OPEN_EXISTING;
  switch (opening) {
    case FileOpening::Read: break;
    case FileOpening::CreateAlways:
      access = GENERIC_WRITE;
      share = FILE_SHARE_READ;
      disposition = CREATE_ALWAYS;
      break;
    case FileOpening::CreateNew:
      access = GENERIC_READ | GENERIC_WRITE;  // a new file may be read back
      share = FILE_SHARE_READ | FILE_SHARE_DELETE;
      disposition = CREATE_NEW;
      break;
    case FileOpening::Inspect: access = 0; break;
  }
  const HANDLE file = ::CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool ReadAtCall(void* file, void* buffer, std::uint32_t count, std::int64_t offset, std::uint32_t* got) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  DWORD read = 0;
  if (::ReadFile(file, buffer, count, &read, &at)) {
    *got = read;
    return true;
  }
  // A read that starts at or past the end reports the end as an error.
  if (::GetLastError() == ERROR_HANDLE_EOF) {
    *got = 0;
    return true;
  }
  return false;
}

bool WriteCall(void* file, const void* data, std::uint32_t count, std::uint32_t* put) {
  DWORD written = 0;
  const bool done = ::WriteFile(file, data, count, &written, nullptr) != 0;
  *put = written;
  return done;
}

bool FileSizeCall(void* file, std::int64_t* size) {
  LARGE_INTEGER value{};
  if (!::GetFileSizeEx(file, &value)) return false;
  *size = value.QuadPart;
  return true;
}

bool InformationCall(void* file, FileInformation* information) {
  BY_HANDLE_FILE_INFORMATION system{};
  if (!::GetFileInformationByHandle(file, &system)) return false;
  information->identity.device = system.dwVolumeSerialNumber;
  information->identity.index = (std::uint64_t{system.nFileIndexHigh} << 32) | system.nFileIndexLow;
  information->readOnly = (system.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  information->lastWrite =
      (std::uint64_t{system.ftLastWriteTime.dwHighDateTime} << 32) | system.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool IsDiskFileCall(void* file) {
  return ::GetFileType(file) == FILE_TYPE_DISK;
}

bool CloseHandleCall(void* file) {
  return ::CloseHandle(file) != 0;
}

bool ReplaceFileCall(const wchar_t* from, const wchar_t* to) {
  return ::MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

bool DeleteFileCall(const wchar_t* path) {
  return ::DeleteFileW(path) != 0;
}

const SystemCalls kRealCalls{&CreateFileCall, &ReadAtCall,      &WriteCall,       &FileSizeCall,  &InformationCall,
                             &IsDiskFileCall, &CloseHandleCall, &ReplaceFileCall, &DeleteFileCall};

}  // namespace

const SystemCalls& RealSystemCalls() {
  return kRealCalls;
}

}  // namespace kestrum
