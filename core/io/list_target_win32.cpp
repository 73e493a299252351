// The Windows steps of the list export: the same-file check by volume and file index (the
// C library's inode numbers are always 0 there), the read-only attribute as the list's
// write protection, and MoveFileExW to put the new list in place of the old one, which
// rename() refuses to do over an existing file. Windows has no unnamed files: the new
// list has a short hidden name from the start, removed on failure and on Ctrl+C.
#include <io.h>
#include <windows.h>

#include <vector>

#include "list_target_system.h"
#include "system_calls.h"
#include "wide_text_win32.h"

namespace kestrum::list_system {
namespace {

struct PathFacts {
  FileInformation information;
  bool onDisk = false;  ///< a file on a disk, not a device such as NUL, CON or a pipe
};

/** What an open file is, or nothing when it is a file on a disk that cannot be examined. */
std::optional<PathFacts> DescribeOpen(void* handle) {
  const SystemCalls& sys = ActiveSystemCalls();
  PathFacts facts;
  facts.onDisk = sys.isDiskFile(handle);
  const bool known = sys.information(handle, &facts.information);
  if (facts.onDisk && !known) return std::nullopt;
  return facts;
}

/** What a path names, or nothing when it names nothing that can be opened. */
std::optional<PathFacts> Describe(const std::string& path) {
  const SystemCalls& sys = ActiveSystemCalls();
  void* const handle = sys.createFile(Widen(path).c_str(), FileOpening::Inspect);
  if (!handle) return std::nullopt;
  std::optional<PathFacts> facts = DescribeOpen(handle);
  sys.closeHandle(handle);
  return facts;
}

std::optional<FileFacts> FactsOf(const std::optional<PathFacts>& described) {
  if (!described) return std::nullopt;
  FileFacts facts;
  // Only a file on a disk has a volume and an index; pipes and devices all report none.
  if (described->onDisk) facts.identity = described->information.identity;
  facts.replaceable = described->onDisk;
  return facts;
}

/** The full path, so that the new list is made beside the list whatever the current folder. */
std::string FullPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD length = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return path;
  std::vector<wchar_t> full(length, L'\0');
  const DWORD written = ::GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  return written == 0 || written >= length ? path : Narrow(std::wstring_view(full.data(), written));
}

/**
 * The descriptor of the process's own stream that a path names (/dev/stdout, the name
 * kestrum-cli gives its standard output), or -1. Such a list is written to the stream.
 */
int OwnDescriptor(const std::string& path) {
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  return -1;
}

}  // namespace

Destination Resolve(const std::string& listPath) {
  return {OwnDescriptor(listPath), FullPath(listPath)};
}

std::optional<FileFacts> Inspect(const std::string& path) {
  return FactsOf(Describe(path));
}

std::optional<FileFacts> InspectDescriptor(int descriptor) {
  // The C runtime's descriptor stands for a handle of the system's.
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return std::nullopt;
  return FactsOf(DescribeOpen(handle));
}

int WriteRefusal(const std::string& path) {
  // Moving a file over a read-only one fails only at the end; say so before the work.
  const std::optional<PathFacts> described = Describe(path);
  return described && described->information.readOnly ? ERROR_ACCESS_DENIED : 0;
}

void KeepAttributes(CFile& /*replacement*/, const FileFacts& /*replaced*/) {
  // Nothing to carry over: a new file takes its folder's permissions, as the old one did,
  // and Windows files have no mode bits.
}

bool UnnamedFilesUnsupported(int error) {
  return error == ERROR_NOT_SUPPORTED;
}

bool NameTaken(int error) {
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

unsigned long ProcessId() {
  return ::GetCurrentProcessId();
}

int Replace(const std::string& from, const std::string& to) {
  return ActiveSystemCalls().replaceFile(Widen(from).c_str(), Widen(to).c_str()) ? 0
                                                                                 : static_cast<int>(::GetLastError());
}

void Remove(const std::string& path) {
  ActiveSystemCalls().deleteFile(Widen(path).c_str());
}

}  // namespace kestrum::list_system
