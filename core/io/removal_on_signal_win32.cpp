// The Windows half of CRemovalOnSignal: Ctrl+C, Ctrl+Break and closing the console
// window are the interruptions a console program gets; the handler runs on a thread of
// its own, removes the armed files and lets the system end the process.
#include <windows.h>

#include <mutex>

#include "armed_paths.h"
#include "removal_on_signal.h"
#include "wide_text_win32.h"

namespace kestrum {
namespace {

constexpr std::size_t kMaxPath = 32768;

CArmedPaths<wchar_t, kMaxPath> g_armed;

BOOL WINAPI RemoveArmedFiles(DWORD /*event*/) {
  g_armed.ForEachArmed([](const wchar_t* path) { ::DeleteFileW(path); });
  return FALSE;  // the next handler, in the end the system's, ends the process
}

void InstallHandler() {
  static std::once_flag installed;
  std::call_once(installed, [] { ::SetConsoleCtrlHandler(&RemoveArmedFiles, TRUE); });
}

}  // namespace

CRemovalOnSignal::CRemovalOnSignal(const std::string& path) : m_slot(-1) {
  InstallHandler();
  m_slot = g_armed.Arm(Widen(path));
}

CRemovalOnSignal::~CRemovalOnSignal() {
  g_armed.Disarm(m_slot);
}

}  // namespace kestrum
