#include "removal_on_signal.h"

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace kestrum {
namespace {

enum SlotState : int { kFree, kChanging, kArmed };

/** Plain storage the signal handler can read without allocating or locking. */
struct Slot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX]{};
};

std::array<Slot, 16> g_slots;
constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};
std::array<struct sigaction, kSignals.size()> g_previous{};

void RemoveArmedFiles(int signal) {
  for (Slot& slot : g_slots) {
    if (slot.state.load() == kArmed) ::unlink(slot.path);
  }
  for (std::size_t n = 0; n < kSignals.size(); ++n) {
    if (kSignals[n] == signal) ::sigaction(signal, &g_previous[n], nullptr);
  }
  ::raise(signal);
}

void InstallHandlers() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    struct sigaction action {};
    action.sa_handler = &RemoveArmedFiles;
    ::sigemptyset(&action.sa_mask);
    for (std::size_t n = 0; n < kSignals.size(); ++n) {
      ::sigaction(kSignals[n], nullptr, &g_previous[n]);
      // A signal the process ignores (nohup) stays ignored.
      if (g_previous[n].sa_handler != SIG_IGN) ::sigaction(kSignals[n], &action, nullptr);
    }
  });
}

}  // namespace

CRemovalOnSignal::CRemovalOnSignal(const std::string& path) : m_slot(-1) {
  if (path.size() >= PATH_MAX) return;
  InstallHandlers();
  for (std::size_t n = 0; n < g_slots.size(); ++n) {
    int expected = kFree;
    if (g_slots[n].state.compare_exchange_strong(expected, kChanging)) {
      std::memcpy(g_slots[n].path, path.c_str(), path.size() + 1);
      g_slots[n].state.store(kArmed);
      m_slot = static_cast<int>(n);
      return;
    }
  }
}

CRemovalOnSignal::~CRemovalOnSignal() {
  if (m_slot >= 0) g_slots[static_cast<std::size_t>(m_slot)].state.store(kFree);
}

}  // namespace kestrum
