// The POSIX steps of the list export: stat and readlink, access for the write
// protection, O_TMPFILE where the file system has it, rename to put the list in place.
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>

#include "list_target_system.h"
#include "path_parts.h"
#include "system_calls.h"

namespace kestrum::list_system {
namespace {

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
    path = JoinPath(FolderOf(path), std::string(target.data(), static_cast<std::size_t>(length)));
  }
  return path;
}

}  // namespace

Destination Resolve(const std::string& listPath) {
  return {OwnDescriptor(listPath), FollowLinks(listPath)};
}

std::optional<FileFacts> Inspect(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  FileFacts facts;
  facts.identity = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
  facts.replaceable = S_ISREG(status.st_mode);
  facts.permissions = status.st_mode & 07777;
  return facts;
}

int WriteRefusal(const std::string& path) {
  return ActiveSystemCalls().access(path.c_str(), W_OK) == 0 ? 0 : errno;
}

void KeepAttributes(CFile& replacement, const FileFacts& replaced) {
  replacement.SetPermissions(replaced.permissions);
}

bool UnnamedFilesUnsupported(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

bool NameTaken(int error) {
  return error == EEXIST;
}

unsigned long ProcessId() {
  return static_cast<unsigned long>(::getpid());
}

int Replace(const std::string& from, const std::string& to) {
  return ActiveSystemCalls().rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void Remove(const std::string& path) {
  ::unlink(path.c_str());
}

}  // namespace kestrum::list_system
