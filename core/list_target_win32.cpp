// The Windows half of CListTarget: the same-file check by volume and file index (the C
// library's inode numbers are always 0 there), and MoveFileExW to put the new list in
// place of the old one, which rename() refuses to do over an existing file.
#include "list_target.h"

#include "system_calls_win32.h"
#include "wide_text_win32.h"

#include <windows.h>

#include <atomic>
#include <optional>
#include <vector>

namespace kestrum {
namespace {

struct PathFacts {
  FileIdentity identity;
  bool onDisk = false;  ///< a file on a disk, not a device such as NUL or a pipe
};

/** What a path names, or nothing when it names nothing that can be opened. */
std::optional<PathFacts> Inspect(const std::string& path) {
  const SystemCalls& sys = ActiveSystemCalls();
  void* const handle = sys.createFile(Widen(path).c_str(), FileOpening::Inspect);
  if (!handle) return std::nullopt;
  PathFacts facts;
  facts.onDisk = sys.isDiskFile(handle);
  const bool known = sys.identity(handle, &facts.identity);
  sys.closeHandle(handle);
  if (facts.onDisk && !known) return std::nullopt;
  return facts;
}

/** The full path, so that the temporary file lands beside the list whatever the current folder. */
std::string FullPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD length = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return path;
  std::vector<wchar_t> full(length, L'\0');
  const DWORD written = ::GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  return written == 0 || written >= length ? path : Narrow(std::wstring_view(full.data(), written));
}

std::string TemporaryNameBeside(const std::string& path, unsigned attempt) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + "." + name + ".kestrum-" + std::to_string(::GetCurrentProcessId()) + "-" +
         std::to_string(counter++) + "-" + std::to_string(attempt);
}

}  // namespace

CListTarget::CListTarget(CFile& file, const std::string& listPath, const std::string& bspPath)
    : m_file(file), m_listPath(FullPath(listPath)) {
  const std::optional<PathFacts> list = Inspect(m_listPath);
  if (list && list->onDisk) {
    const std::optional<PathFacts> bsp = Inspect(bspPath);
    if (bsp && bsp->onDisk && bsp->identity == list->identity) {
      throw CFileException(listPath, "this is the map being read; choose another name for the list");
    }
  }
  if (list && !list->onDisk) {
    m_file.Open(m_listPath, CFile::Mode::CreateWrite);
    return;
  }
  constexpr unsigned kMaxAttempts = 100;
  for (unsigned attempt = 0;; ++attempt) {
    m_temporaryPath = TemporaryNameBeside(m_listPath, attempt);
    try {
      m_file.Open(m_temporaryPath, CFile::Mode::CreateNew, 0666, listPath);
      return;
    } catch (const CFileException& error) {
      const bool taken = error.Error() == ERROR_FILE_EXISTS || error.Error() == ERROR_ALREADY_EXISTS;
      if (!taken || attempt == kMaxAttempts) throw CFileException("create", listPath, error.Error());
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
  if (!m_temporaryPath.empty() &&
      !ActiveSystemCalls().replaceFile(Widen(m_temporaryPath).c_str(), Widen(m_listPath).c_str())) {
    throw CFileException("replace", m_listPath, static_cast<int>(::GetLastError()));
  }
  m_committed = true;
}

}  // namespace kestrum
