// The POSIX half of CFile: descriptors, pread, fstat.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "file.h"
#include "system_calls.h"

namespace kestrum {

std::string SystemErrorText(int error) {
  return std::strerror(error);
}

void CFile::Open(const std::string& path, Mode mode, Permissions permissions, const std::string& nameInMessages) {
  Abort();
  int flags = O_CLOEXEC;
  switch (mode) {
    // Non-blocking, so that opening a FIFO nobody writes to returns at once; the type
    // check below then refuses it. Reads of a regular file ignore the flag.
    case Mode::Read: flags |= O_RDONLY | O_NONBLOCK; break;
    case Mode::CreateWrite: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    // A new file is a regular one: it may be read back. A replaced list may be a FIFO,
    // which must still be opened for writing only.
    case Mode::CreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; break;
    case Mode::CreateUnnamed: flags |= O_RDWR | O_TMPFILE; break;
  }
  const SystemCalls& sys = ActiveSystemCalls();
  const int descriptor = sys.open(path.c_str(), flags, static_cast<mode_t>(permissions));
  if (descriptor < 0) throw CFileException("open", path, errno);
  if (mode == Mode::Read) {
    // A folder opens for reading on Linux but cannot be read; a pipe or a device may
    // never end. Say so now.
    struct stat status {};
    const bool statusKnown = sys.fstat(descriptor, &status) == 0;
    const int error = errno;
    if (!statusKnown || !S_ISREG(status.st_mode)) {
      sys.close(descriptor);
      if (!statusKnown) throw CFileException("open", path, error);
      if (S_ISDIR(status.st_mode)) throw CFileException("open", path, EISDIR);
      throw CFileException::NotARegularFile(path);
    }
  }
  Adopt(descriptor, nameInMessages.empty() ? path : nameInMessages, mode != Mode::Read);
}

void CFile::OpenDescriptor(int descriptor, const std::string& name) {
  Abort();
  // A copy, so that closing the list does not close the process's own stream.
  const int copy = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) throw CFileException("open", name, errno);
  Adopt(copy, name, true);
}

void CFile::SetPermissions(Permissions permissions) {
  if (::fchmod(m_file, static_cast<mode_t>(permissions)) != 0)
    throw CFileException("set the permissions of", m_path, errno);
}

bool CFile::TrySetOwner(const FileOwner& owner) {
  return ActiveSystemCalls().fchown(m_file, static_cast<uid_t>(owner.user), static_cast<gid_t>(owner.group)) == 0;
}

void CFile::GiveName(const std::string& path) {
  Flush();
  // The way to name a file that has none: link its descriptor's entry in /proc.
  const std::string self = "/proc/self/fd/" + std::to_string(m_file);
  if (ActiveSystemCalls().linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    throw CFileException("create", path, errno);
  }
}

std::int64_t CFile::LengthFromSystem() const {
  struct stat status {};
  if (ActiveSystemCalls().fstat(m_file, &status) != 0) {
    throw CFileException("get the length of", m_path, errno);
  }
  return status.st_size;
}

FileStamp CFile::StampFromSystem() const {
  struct stat status {};
  if (ActiveSystemCalls().fstat(m_file, &status) != 0) {
    throw CFileException("get the length of", m_path, errno);
  }
  return {status.st_size, static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

std::size_t CFile::ReadFromSystem(std::int64_t offset, char* buffer, std::size_t count) const {
  for (;;) {
    const ssize_t got = ActiveSystemCalls().pread(m_file, buffer, count, offset);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw CFileException("read", m_path, errno);
  }
}

std::size_t CFile::WriteToSystem(const char* data, std::size_t count) {
  for (;;) {
    const ssize_t put = ActiveSystemCalls().write(m_file, data, count);
    if (put > 0) return static_cast<std::size_t>(put);
    if (put == 0) throw CFileException("write", m_path, ENOSPC);
    if (errno != EINTR) throw CFileException("write", m_path, errno);
  }
}

int CFile::CloseSystemFile(NativeFile file) {
  return ActiveSystemCalls().close(file) == 0 ? 0 : errno;
}

}  // namespace kestrum
