// The few calls to the system behind CFile and the list export, reached through one
// replaceable table so that tests can make any of them fail (a full disk, a short read,
// a vanished file) without touching the real file system.
#pragma once

#ifdef _WIN32
#include "system_calls_win32.h"
#else
#include "system_calls_posix.h"
#endif

namespace kestrum {

/** The calls of the system itself. */
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
