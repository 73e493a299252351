#include <unistd.h>

#include <array>
#include <climits>
#include <csignal>
#include <mutex>

#include "armed_paths.h"
#include "removal_on_signal.h"

namespace kestrum {
namespace {

CArmedPaths<char, PATH_MAX> g_armed;
constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};
std::array<struct sigaction, kSignals.size()> g_previous{};

void RemoveArmedFiles(int signal) {
  g_armed.ForEachArmed([](const char* path) { ::unlink(path); });
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
  InstallHandlers();
  m_slot = g_armed.Arm(path);
}

CRemovalOnSignal::~CRemovalOnSignal() {
  g_armed.Disarm(m_slot);
}

}  // namespace kestrum
