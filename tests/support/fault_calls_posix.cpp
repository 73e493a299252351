#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "fault_calls.h"
#include "system_calls.h"

namespace kestrum::test {
namespace {

FaultPlan g_plan;

int FaultyOpen(const char* path, int flags, mode_t mode) {
  if ((flags & O_TMPFILE) == O_TMPFILE && (g_plan.noUnnamedFiles || g_plan.failUnnamedWith != 0)) {
    errno = g_plan.noUnnamedFiles ? EOPNOTSUPP : g_plan.failUnnamedWith;
    return -1;
  }
  if (!g_plan.failOpenOf.empty() && std::strstr(path, g_plan.failOpenOf.c_str())) {
    errno = EACCES;
    return -1;
  }
  return RealSystemCalls().open(path, flags, mode);
}

ssize_t FaultyPread(int fd, void* buffer, std::size_t count, off_t offset) {
  if (g_plan.readChunk) count = std::min(count, g_plan.readChunk);
  if (g_plan.readBudget >= 0) {
    if (g_plan.readBudget == 0) {
      errno = EIO;
      return -1;
    }
    count = std::min<std::size_t>(count, static_cast<std::size_t>(g_plan.readBudget));
  }
  const ssize_t got = RealSystemCalls().pread(fd, buffer, count, offset);
  if (got > 0 && g_plan.readBudget >= 0) g_plan.readBudget -= got;
  return got;
}

ssize_t FaultyWrite(int fd, const void* data, std::size_t count) {
  g_plan.wrote = true;
  if (g_plan.writeBudget >= 0) {
    if (g_plan.writeBudget == 0) {
      errno = ENOSPC;
      return -1;
    }
    count = std::min<std::size_t>(count, static_cast<std::size_t>(g_plan.writeBudget));
    g_plan.writeBudget -= static_cast<long long>(count);
  }
  return RealSystemCalls().write(fd, data, count);
}

int FaultyFstat(int fd, struct stat* status) {
  if (g_plan.failLength) {
    errno = EIO;
    return -1;
  }
  return RealSystemCalls().fstat(fd, status);
}

int FaultyClose(int fd) {
  const int result = RealSystemCalls().close(fd);
  if (g_plan.failCloseAfterWrite && g_plan.wrote) {
    errno = EIO;
    return -1;
  }
  return result;
}

int FaultyRename(const char* from, const char* to) {
  if (g_plan.failReplace) {
    errno = EXDEV;
    return -1;
  }
  return RealSystemCalls().rename(from, to);
}

int FaultyAccess(const char* path, int mode) {
  if (g_plan.listWriteProtected) {
    errno = EACCES;
    return -1;
  }
  return RealSystemCalls().access(path, mode);
}

int FaultyLinkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
  if (g_plan.failLinkWith != 0) {
    errno = g_plan.failLinkWith;
    return -1;
  }
  return RealSystemCalls().linkat(fromFolder, from, toFolder, to, flags);
}

int FaultyFchown(int fd, uid_t user, gid_t group) {
  if (g_plan.ownerChangeRefused && user != static_cast<uid_t>(-1)) {
    errno = EPERM;
    return -1;
  }
  return RealSystemCalls().fchown(fd, user, group);
}

const SystemCalls kFaultyCalls{&FaultyOpen,   &FaultyPread,  &FaultyWrite,  &FaultyFstat, &FaultyClose,
                               &FaultyRename, &FaultyAccess, &FaultyLinkat, &FaultyFchown};

}  // namespace

FaultPlan& Plan() {
  return g_plan;
}

struct CInjectedFaults::Scope {
  ScopedSystemCalls calls{kFaultyCalls};
};

CInjectedFaults::CInjectedFaults() : m_scope(std::make_unique<Scope>()) {}

CInjectedFaults::~CInjectedFaults() = default;

}  // namespace kestrum::test
