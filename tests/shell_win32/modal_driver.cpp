#include "modal_driver.h"

#include <gtest/gtest.h>

#include <deque>

namespace kestrum::test {
namespace {

struct PendingAct {
  std::wstring title;
  bool owned;
  std::function<void(HWND)> act;
  int ticksLeft;
};

constexpr UINT kTickMs = 20;
constexpr int kTimeoutTicks = 5000 / kTickMs;

std::deque<PendingAct> g_pending;
UINT_PTR g_timer = 0;

struct DialogSearch {
  const PendingAct* wanted;
  HWND found = nullptr;
  HWND anyDialog = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
  auto* const search = reinterpret_cast<DialogSearch*>(parameter);
  wchar_t className[32] = {};
  ::GetClassNameW(window, className, 32);
  if (std::wstring(className) != L"#32770" || !::IsWindowVisible(window)) return TRUE;
  if (::IsWindowEnabled(window)) search->anyDialog = window;
  wchar_t title[256] = {};
  ::GetWindowTextW(window, title, 256);
  const bool owned = ::GetWindow(window, GW_OWNER) != nullptr;
  if (search->wanted->title == title && search->wanted->owned == owned) search->found = window;
  return TRUE;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
  if (g_pending.empty()) {
    ::KillTimer(nullptr, g_timer);
    g_timer = 0;
    return;
  }
  PendingAct& next = g_pending.front();
  DialogSearch search{&next};
  ::EnumThreadWindows(::GetCurrentThreadId(), &MatchDialog, reinterpret_cast<LPARAM>(&search));
  if (search.found) {
    const std::function<void(HWND)> act = std::move(next.act);
    g_pending.pop_front();
    act(search.found);  // may itself run a modal loop, in which this timer keeps firing
    return;
  }
  if (--next.ticksLeft <= 0) {
    ADD_FAILURE() << "no dialog titled as expected showed within 5 s";
    g_pending.clear();
    if (search.anyDialog) ::PostMessageW(search.anyDialog, WM_COMMAND, IDCANCEL, 0);
  }
}

}  // namespace

void WhenDialogShows(const std::wstring& title, bool owned, std::function<void(HWND)> act) {
  g_pending.push_back({title, owned, std::move(act), kTimeoutTicks});
  if (!g_timer) g_timer = ::SetTimer(nullptr, 0, kTickMs, &OnTick);
}

bool AllActsRan() {
  return g_pending.empty();
}

}  // namespace kestrum::test
