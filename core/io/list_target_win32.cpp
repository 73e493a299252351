// The Windows half of CListTarget: the same-file check by volume and file index (the C
// library's inode numbers are always 0 there), the read-only attribute as the list's
// write protection, and MoveFileExW to put the new list in place of the old one, which
// rename() refuses to do over an existing file. Windows has no unnamed files: the new
// list has a short hidden name from the start, removed on failure and on Ctrl+C.
#include <windows.h>

#include <atomic>
#include <optional>
#include <vector>

#include "list_target.h"
#include "system_calls.h"
#include "wide_text_win32.h"

namespace kestrum {
namespace {

struct PathFacts {
  FileInformation information;
  bool onDisk = false;  ///< a file on a disk, not a device such as NUL, CON or a pipe
};

/** What a path names, or nothing when it names nothing that can be opened. */
std::optional<PathFacts> Inspect(const std::string& path) {
  const SystemCalls& sys = ActiveSystemCalls();
  void* const handle = sys.createFile(Widen(path).c_str(), FileOpening::Inspect);
  if (!handle) return std::nullopt;
  PathFacts facts;
  facts.onDisk = sys.isDiskFile(handle);
  const bool known = sys.information(handle, &facts.information);
  sys.closeHandle(handle);
  if (facts.onDisk && !known) return std::nullopt;
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

std::string FolderOf(const std::string& fullPath) {
  const std::size_t slash = fullPath.find_last_of("\\/");
  return slash == std::string::npos ? "." : fullPath.substr(0, slash);
}

/** Short whatever the list's name, so that a list with a long name still works. */
std::string TemporaryNameIn(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  return folder + "\\.kestrum-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++);
}

CFileException CannotCreateIn(const std::string& folder, const std::string& listPath, int error) {
  return CFileException("create a file in the folder \"" + folder + "\" to write the list", listPath, error);
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

constexpr unsigned kMaxNameAttempts = 100;

}  // namespace

CListTarget::CListTarget(CFile& file, const std::string& listPath, const std::string& bspPath)
    : m_file(file), m_listPath(FullPath(listPath)) {
  if (const int descriptor = OwnDescriptor(listPath); descriptor >= 0) {
    m_file.OpenDescriptor(descriptor, listPath);
    return;
  }
  const std::optional<PathFacts> list = Inspect(m_listPath);
  if (list && list->onDisk) {
    const std::optional<PathFacts> bsp = Inspect(bspPath);
    if (bsp && bsp->onDisk && bsp->information.identity == list->information.identity) {
      throw CFileException(listPath, "this is the map being read; choose another name for the list");
    }
  }
  if (list && !list->onDisk) {  // a device or a pipe: nothing to replace
    m_file.Open(m_listPath, CFile::Mode::CreateWrite, 0666, listPath);
    return;
  }
  // Moving a file over a read-only one fails only at the end; say so before the work.
  if (list && list->information.readOnly) throw CFileException("write", listPath, ERROR_ACCESS_DENIED);
  m_replacing = true;
  m_folder = FolderOf(m_listPath);
  OpenReplacement(listPath);
}

void CListTarget::OpenReplacement(const std::string& listPath) {
  OpenNamedReplacement(listPath);
}

void CListTarget::OpenNamedReplacement(const std::string& listPath) {
  for (unsigned attempt = 0;; ++attempt) {
    m_temporaryPath = TemporaryNameIn(m_folder);
    try {
      m_file.Open(m_temporaryPath, CFile::Mode::CreateNew, 0666, listPath);
      m_removal = std::make_unique<CRemovalOnSignal>(m_temporaryPath);
      return;
    } catch (const CFileException& error) {
      const bool taken = error.Error() == ERROR_FILE_EXISTS || error.Error() == ERROR_ALREADY_EXISTS;
      if (!taken || attempt == kMaxNameAttempts) {
        m_temporaryPath.clear();
        throw CannotCreateIn(m_folder, listPath, error.Error());
      }
    }
  }
}

CListTarget::~CListTarget() {
  if (m_committed) return;
  m_file.Abort();
  if (!m_temporaryPath.empty()) ActiveSystemCalls().deleteFile(Widen(m_temporaryPath).c_str());
}

void CListTarget::Commit() {
  m_file.Close();
  if (m_replacing && !ActiveSystemCalls().replaceFile(Widen(m_temporaryPath).c_str(), Widen(m_listPath).c_str())) {
    throw CFileException("replace", m_listPath, static_cast<int>(::GetLastError()));
  }
  m_temporaryPath.clear();
  m_committed = true;
}

}  // namespace kestrum
