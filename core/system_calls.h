// The few POSIX calls behind CFile, reached through one replaceable table so that
// tests can make any of them fail (a full disk, a short read, a vanished file)
// without touching the real file system.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace kestrum {

struct SystemCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*pread)(int fd, void* buffer, size_t count, off_t offset);
  ssize_t (*write)(int fd, const void* data, size_t count);
  int (*fstat)(int fd, struct stat* status);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*access)(const char* path, int mode);
  int (*linkat)(int fromFolder, const char* from, int toFolder, const char* to, int flags);
};

/** The calls of the C library itself. */
const SystemCalls& RealSystemCalls();

/** The table CFile uses now; the real calls unless a test installed others. */
const SystemCalls& ActiveSystemCalls();

/**
 * Installs another table for the lifetime of this object and restores the previous
 * one afterwards. Only tests do this.
 */
class ScopedSystemCalls {
 public:
  explicit ScopedSystemCalls(const SystemCalls& calls);
  ~ScopedSystemCalls();
  ScopedSystemCalls(const ScopedSystemCalls&) = delete;
  ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

 private:
  const SystemCalls* m_previous;
};

}  // namespace kestrum
