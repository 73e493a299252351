#include "system_calls.h"

namespace kestrum {
namespace {

const SystemCalls* g_activeCalls = nullptr;  ///< nothing: the real calls

}  // namespace

const SystemCalls& ActiveSystemCalls() {
  return g_activeCalls ? *g_activeCalls : RealSystemCalls();
}

ScopedSystemCalls::ScopedSystemCalls(const SystemCalls& calls) : m_previous(g_activeCalls) {
  g_activeCalls = &calls;
}

ScopedSystemCalls::~ScopedSystemCalls() {
  g_activeCalls = m_previous;
}

}  // namespace kestrum
