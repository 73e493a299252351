#include "list_target.h"

#include "system_calls.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrum {
namespace {

bool IsSameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

/** The file a path finally names, links followed; the path itself when it names nothing yet. */
std::string ResolvedPath(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string TemporaryNameBeside(const std::string& path, unsigned attempt) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + "." + name + ".kestrum-" + std::to_string(::getpid()) + "-" +
         std::to_string(counter++) + "-" + std::to_string(attempt);
}

}  // namespace

CListTarget::CListTarget(CFile& file, const std::string& listPath, const std::string& bspPath)
    : m_file(file), m_listPath(ResolvedPath(listPath)) {
  struct stat list {};
  const bool exists = ::stat(m_listPath.c_str(), &list) == 0;
  struct stat bsp {};
  if (exists && ::stat(bspPath.c_str(), &bsp) == 0 && IsSameFile(list, bsp)) {
    throw CFileException(listPath, "this is the map being read; choose another name for the list");
  }
  if (exists && !S_ISREG(list.st_mode)) {
    m_file.Open(m_listPath, CFile::Mode::CreateWrite);
    return;
  }
  const mode_t permissions = exists ? (list.st_mode & 07777) : 0666;
  constexpr unsigned kMaxAttempts = 100;
  for (unsigned attempt = 0;; ++attempt) {
    m_temporaryPath = TemporaryNameBeside(m_listPath, attempt);
    try {
      m_file.Open(m_temporaryPath, CFile::Mode::CreateNew, permissions, listPath);
      return;
    } catch (const CFileException& error) {
      if (error.Error() != EEXIST || attempt == kMaxAttempts) {
        throw CFileException("create", listPath, error.Error());
      }
    }
  }
}

CListTarget::~CListTarget() {
  if (m_committed) return;
  m_file.Abort();
  if (!m_temporaryPath.empty()) ::unlink(m_temporaryPath.c_str());
}

void CListTarget::Commit() {
  m_file.Close();
  if (!m_temporaryPath.empty() &&
      ActiveSystemCalls().rename(m_temporaryPath.c_str(), m_listPath.c_str()) != 0) {
    throw CFileException("replace", m_listPath, errno);
  }
  m_committed = true;
}

}  // namespace kestrum
