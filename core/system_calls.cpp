#include "system_calls.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kestrum {
namespace {

int OpenFile(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

const SystemCalls kRealCalls{&OpenFile, &::pread, &::write, &::fstat, &::close, &::rename, &::access, &::linkat};

const SystemCalls* g_activeCalls = &kRealCalls;

}  // namespace

const SystemCalls& RealSystemCalls() { return kRealCalls; }

const SystemCalls& ActiveSystemCalls() { return *g_activeCalls; }

ScopedSystemCalls::ScopedSystemCalls(const SystemCalls& calls) : m_previous(g_activeCalls) {
  g_activeCalls = &calls;
}

ScopedSystemCalls::~ScopedSystemCalls() { g_activeCalls = m_previous; }

}  // namespace kestrum
