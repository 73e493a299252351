#include <windows.h>

#include <atomic>
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
