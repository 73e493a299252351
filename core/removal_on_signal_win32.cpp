// The Windows half of CRemovalOnSignal: Ctrl+C, Ctrl+Break and closing the console
// window are the interruptions a console program gets; the handler runs on a thread of
// its own, removes the armed files and lets the system end the process.
#include "removal_on_signal.h"

#include "wide_text_win32.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <cwchar>
#include <mutex>

namespace kestrum {
namespace {

enum SlotState : int { kFree, kChanging, kArmed };

constexpr std::size_t kMaxPath = 32768;

/** Plain storage the handler can read without allocating or locking. */
struct Slot {
  std::atomic<int> state{kFree};
  wchar_t path[kMaxPath]{};
};

std::array<Slot, 16> g_slots;

BOOL WINAPI RemoveArmedFiles(DWORD /*event*/) {
  for (Slot& slot : g_slots) {
    if (slot.state.load() == kArmed) ::DeleteFileW(slot.path);
  }
  return FALSE;  // the next handler, in the end the system's, ends the process
}

void InstallHandler() {
  static std::once_flag installed;
  std::call_once(installed, [] { ::SetConsoleCtrlHandler(&RemoveArmedFiles, TRUE); });
}

}  // namespace

CRemovalOnSignal::CRemovalOnSignal(const std::string& path) : m_slot(-1) {
  const std::wstring wide = Widen(path);
  if (wide.size() >= kMaxPath) return;
  InstallHandler();
  for (std::size_t n = 0; n < g_slots.size(); ++n) {
    int expected = kFree;
    if (g_slots[n].state.compare_exchange_strong(expected, kChanging)) {
      std::wmemcpy(g_slots[n].path, wide.c_str(), wide.size() + 1);
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
