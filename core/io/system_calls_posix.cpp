#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "system_calls.h"

namespace kestrum {
namespace {

int OpenFile(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}

const SystemCalls kRealCalls{&OpenFile, &::pread,  &::write,  &::fstat, &::close,
                             &::rename, &::access, &::linkat, &::fchown};

}  // namespace

const SystemCalls& RealSystemCalls() {
  return kRealCalls;
}

}  // namespace kestrum
