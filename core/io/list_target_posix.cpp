// The POSIX steps of the list export: links followed one by one into /proc's entries of
// the process's own descriptors, stat and fstat, access for the write protection, the
// owner and permission bits carried over, O_TMPFILE where the file system has it, rename
// to put the list in place.
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "list_target_system.h"
#include "path_parts.h"
#include "system_calls.h"

namespace kestrum::list_system {
namespace {

/** Whether folder, once resolved, is where /proc lists this process's open files by number (its own or a thread's). */
bool IsOwnDescriptorFolder(const std::string& folder) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(folder.c_str(), nullptr), &std::free);
  if (!resolved) return false;
  const std::string real(resolved.get());
  const std::string self = "/proc/" + std::to_string(::getpid());
  if (real == self + "/fd") return true;
  const std::string tasks = self + "/task/";
  const std::string_view suffix = "/fd";
  if (real.size() <= tasks.size() + suffix.size() || real.compare(0, tasks.size(), tasks) != 0 ||
      real.compare(real.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return false;
  }
  const std::string_view thread(real.data() + tasks.size(), real.size() - tasks.size() - suffix.size());
  return thread.find_first_not_of("0123456789") == std::string_view::npos;
}

/**
 * The descriptor a path names when it is an entry of the process's own open files in
 * /proc (/dev/stdout and /dev/fd/N lead there), or -1. Such an entry is a link to the
 * file behind the descriptor; following it would reopen that file, where a shell's ">>"
 * appends, and replace it whole.
 */
int OwnDescriptor(const std::string& path) {
  const std::string name = NameOf(path);
  constexpr std::size_t kMaxDigits = 9;
  if (name.empty() || name.size() > kMaxDigits || name.find_first_not_of("0123456789") != std::string::npos) return -1;
  return IsOwnDescriptorFolder(FolderOf(path)) ? std::stoi(name) : -1;
}

/** Where the link path points, or nothing when path is no link. */
std::optional<std::string> LinkTarget(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return std::nullopt;
  std::array<char, PATH_MAX> target{};
  const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return std::nullopt;
  return JoinPath(FolderOf(path), std::string(target.data(), static_cast<std::size_t>(length)));
}

FileFacts FactsOf(const struct stat& status) {
  FileFacts facts;
  facts.identity = FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
  facts.replaceable = S_ISREG(status.st_mode);
  facts.permissions = status.st_mode & 07777;
  facts.owner = {static_cast<std::uint32_t>(status.st_uid), static_cast<std::uint32_t>(status.st_gid)};
  return facts;
}

}  // namespace

Destination Resolve(const std::string& listPath) {
  // Link by link, so that every spelling of a standard stream (//dev/stdout,
  // /dev/./stdout, /proc/thread-self/fd/1, a link to any of them) ends at its descriptor.
  constexpr int kMaxLinks = 40;  // as the system gives up on a loop
  std::string path = listPath;
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    if (const int descriptor = OwnDescriptor(path); descriptor >= 0) return {descriptor, path};
    std::optional<std::string> next = LinkTarget(path);
    if (!next) break;
    path = std::move(*next);
  }
  return {-1, path};
}

std::optional<FileFacts> Inspect(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return FactsOf(status);
}

std::optional<FileFacts> InspectDescriptor(int descriptor) {
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) return std::nullopt;
  return FactsOf(status);
}

int WriteRefusal(const std::string& path) {
  return ActiveSystemCalls().access(path.c_str(), W_OK) == 0 ? 0 : errno;
}

void KeepAttributes(CFile& replacement, const FileFacts& replaced) {
  // The list stays its owner's: root replacing another user's list must not take it
  // away from them. Anyone else may give a file only to a group of their own, and keeps
  // the old group where they can.
  if (!replacement.TrySetOwner(replaced.owner)) {
    replacement.TrySetOwner({FileOwner::kUnchanged, replaced.owner.group});
  }
  // A set-user or set-group bit would make whatever the list becomes run as its owner;
  // the bits are set after the owner, whose change may clear them.
  replacement.SetPermissions(replaced.permissions & ~static_cast<Permissions>(S_ISUID | S_ISGID));
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
