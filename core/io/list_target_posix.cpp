#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string_view>

#include "list_target.h"
#include "system_calls.h"

namespace kestrum {
namespace {

bool IsSameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

/**
 * The descriptor a path names when it is one of the process's own open files
 * (/dev/stdout, /dev/fd/1, ...), or -1. Opening such a path anew would reopen the file
 * behind it, where a shell's ">>" appends, and replace it whole.
 */
int OwnDescriptor(const std::string& path) {
  if (path == "/dev/stdout") return STDOUT_FILENO;
  if (path == "/dev/stderr") return STDERR_FILENO;
  for (const std::string_view folder : {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/")}) {
    if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) continue;
    int descriptor = 0;
    for (std::size_t at = folder.size(); at < path.size(); ++at) {
      if (path[at] < '0' || path[at] > '9' || descriptor > 100'000) return -1;
      descriptor = descriptor * 10 + (path[at] - '0');
    }
    return descriptor;
  }
  return -1;
}

/** The path a link finally points to, dangling or not; the path itself when it is no link. */
std::string FollowLinks(std::string path) {
  constexpr int kMaxLinks = 40;  // as the system gives up on a loop
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) break;
    std::array<char, PATH_MAX> target{};
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) break;
    std::string next(target.data(), static_cast<std::size_t>(length));
    if (next.front() != '/') {
      const std::size_t slash = path.rfind('/');
      if (slash != std::string::npos) next = path.substr(0, slash + 1) + next;
    }
    path = std::move(next);
  }
  return path;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

/** Short whatever the list's name, so that a list with a name of 255 bytes still works. */
std::string TemporaryNameIn(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  return folder + "/.kestrum-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

CFileException CannotCreateIn(const std::string& folder, const std::string& listPath, int error) {
  return CFileException::WithMessage("Cannot create a file in the folder \"" + folder + "\" to write the list \"" +
                                         listPath + "\": " + std::strerror(error),
                                     error);
}

/** Where the system (or the file system) has no unnamed files. */
bool UnnamedFilesUnsupported(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

constexpr unsigned kMaxNameAttempts = 100;

}  // namespace

CListTarget::CListTarget(CFile& file, const std::string& listPath, const std::string& bspPath)
    : m_file(file), m_listPath(FollowLinks(listPath)) {
  if (const int descriptor = OwnDescriptor(listPath); descriptor >= 0) {
    m_file.OpenDescriptor(descriptor, listPath);
    return;
  }
  struct stat list {};
  const bool exists = ::stat(m_listPath.c_str(), &list) == 0;
  struct stat bsp {};
  if (exists && ::stat(bspPath.c_str(), &bsp) == 0 && IsSameFile(list, bsp)) {
    throw CFileException(listPath, "this is the map being read; choose another name for the list");
  }
  if (exists && !S_ISREG(list.st_mode)) {  // a FIFO or a device: nothing to replace
    m_file.Open(m_listPath, CFile::Mode::CreateWrite, 0666, listPath);
    return;
  }
  // Replacing a file needs only its folder to be writable; the list itself must be too,
  // or a write-protected list would be overwritten where a shell's ">" refuses.
  if (exists && ActiveSystemCalls().access(m_listPath.c_str(), W_OK) != 0) {
    throw CFileException("write", listPath, errno);
  }
  m_replacing = true;
  m_folder = FolderOf(m_listPath);
  OpenReplacement(listPath);
  if (exists) m_file.SetPermissions(list.st_mode & 07777);
}

void CListTarget::OpenReplacement(const std::string& listPath) {
  try {
    m_file.Open(m_folder, CFile::Mode::CreateUnnamed, 0666, listPath);
    m_unnamed = true;
  } catch (const CFileException& error) {
    if (!UnnamedFilesUnsupported(error.Error())) throw CannotCreateIn(m_folder, listPath, error.Error());
    OpenNamedReplacement(listPath);
  }
}

void CListTarget::OpenNamedReplacement(const std::string& listPath) {
  for (unsigned attempt = 0;; ++attempt) {
    m_temporaryPath = TemporaryNameIn(m_folder);
    try {
      m_file.Open(m_temporaryPath, CFile::Mode::CreateNew, 0666, listPath);
      m_removal = std::make_unique<CRemovalOnSignal>(m_temporaryPath);
      return;
    } catch (const CFileException& error) {
      if (error.Error() != EEXIST || attempt == kMaxNameAttempts) {
        m_temporaryPath.clear();
        throw CannotCreateIn(m_folder, listPath, error.Error());
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
  if (m_unnamed) {
    for (unsigned attempt = 0;; ++attempt) {
      const std::string name = TemporaryNameIn(m_folder);
      try {
        m_file.GiveName(name);
        m_temporaryPath = name;
        m_removal = std::make_unique<CRemovalOnSignal>(m_temporaryPath);
        break;
      } catch (const CFileException& error) {
        if (error.Error() != EEXIST || attempt == kMaxNameAttempts) {
          throw CannotCreateIn(m_folder, m_file.GetFilePath(), error.Error());
        }
      }
    }
  }
  m_file.Close();
  if (m_replacing && ActiveSystemCalls().rename(m_temporaryPath.c_str(), m_listPath.c_str()) != 0) {
    throw CFileException("replace", m_listPath, errno);
  }
  m_temporaryPath.clear();
  m_committed = true;
}

}  // namespace kestrum
