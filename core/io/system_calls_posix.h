// The POSIX calls behind CFile and the list export (the table of system_calls.h).
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
  int (*fchown)(int fd, uid_t user, gid_t group);
};

}  // namespace kestrum
