#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>

#include "file_error.h"
#include "system_facts.h"
#include "wide_text_win32.h"

namespace kestrum::test {
namespace {

// ERROR_DIRECTORY_NOT_SUPPORTED, which mingw's headers lack.
constexpr DWORD kErrorDirectoryNotSupported = 336;

}  // namespace

const SystemReasons& Reasons() {
  static const SystemReasons kReasons{SystemErrorText(ERROR_FILE_NOT_FOUND),
                                      SystemErrorText(ERROR_PATH_NOT_FOUND),
                                      SystemErrorText(kErrorDirectoryNotSupported),
                                      SystemErrorText(ERROR_ACCESS_DENIED),
                                      SystemErrorText(ERROR_IO_DEVICE),
                                      SystemErrorText(ERROR_DISK_FULL),
                                      SystemErrorText(ERROR_NOT_SAME_DEVICE)};
  return kReasons;
}

std::string FullDevice() {
  return {};
}

std::string NullDevice() {
  return "NUL";
}

void LinkTo(const std::string& target, const std::string& link) {
  if (!::CreateHardLinkW(Widen(link).c_str(), Widen(target).c_str(), nullptr)) {
    throw std::runtime_error("cannot link " + link);
  }
}

// Windows has no mode bits to take reading away; a deny entry in the file's access list
// would, but the tests' own clean-up could then not remove it either.
bool MakeUnreadable(const std::string& /*path*/) {
  return false;
}

bool HasPermissionBits() {
  return false;
}

CStandardOutputTo::CStandardOutputTo(const std::string& path, Opening opening) : m_saved(::_dup(1)) {
  // The C runtime's own _O_APPEND is kept by the runtime, not by the handle that the list
  // writes through; the handle itself must append.
  const bool append = opening == Opening::Append;
  const HANDLE file =
      ::CreateFileW(Widen(path).c_str(), append ? FILE_APPEND_DATA : GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  const int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), append ? _O_WRONLY | _O_APPEND : _O_RDWR);
  std::fflush(stdout);
  ::_dup2(descriptor, 1);
  ::_close(descriptor);
}

CStandardOutputTo::~CStandardOutputTo() {
  std::fflush(stdout);
  ::_dup2(m_saved, 1);
  ::_close(m_saved);
}

CIdlePipe::CIdlePipe(const std::string& /*folder*/) {
  // Windows keeps pipes in a name space of their own, outside every folder.
  static std::atomic<unsigned> counter{0};
  m_path = "\\\\.\\pipe\\kestrum-test-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++);
  m_handle = ::CreateNamedPipeW(Widen(m_path).c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096,
                                0, nullptr);
  if (m_handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make " + m_path);
}

CIdlePipe::~CIdlePipe() {
  ::CloseHandle(m_handle);
}

}  // namespace kestrum::test
