// kestrum-probe: reads and pokes the windows of a running Kestrum.exe from outside, for
// the smoke test that drives it under Xvfb. xdotool types and clicks as a user would;
// this tool tells where the controls are and reads back what they show.
//
//   kestrum-probe wait TITLE [owned]     wait up to 20 s for a dialog of that title
//   kestrum-probe gone TITLE [owned]     wait up to 20 s until it has closed
//   kestrum-probe client TITLE           the client area's size: WIDTHxHEIGHT
//   kestrum-probe window TITLE           the window's screen rectangle: X Y WIDTH HEIGHT
//   kestrum-probe centre TITLE ID        screen point at the centre of control ID: X Y
//   kestrum-probe text TITLE ID [owned]  the control's text, as bytes of the ANSI code page
//   kestrum-probe syscommand TITLE N     posts WM_SYSCOMMAND N to the dialog
//
// "owned" picks a dialog that has an owner (a message box titled like the main dialog).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32_api.h"

namespace {

struct Search {
  std::wstring title;
  bool owned = false;
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* const search = reinterpret_cast<Search*>(parameter);
  wchar_t className[64] = {};
  wchar_t title[256] = {};
  ::GetClassNameW(window, className, 64);
  ::GetWindowTextW(window, title, 256);
  const bool owned = ::GetWindow(window, GW_OWNER) != nullptr;
  if (std::wstring(className) == L"#32770" && search->title == title && owned == search->owned &&
      ::IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindDialog(const std::wstring& title, bool owned) {
  Search search{title, owned};
  ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WideArgument(const char* text) {
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
  wide.resize(wide.size() - 1);
  return wide;
}

HWND WaitFor(const std::wstring& title, bool owned, bool present) {
  for (int tries = 0; tries < 200; ++tries) {
    const HWND window = FindDialog(title, owned);
    if ((window != nullptr) == present) return window;
    ::Sleep(100);
  }
  std::fprintf(stderr, "kestrum-probe: timed out waiting\n");
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: kestrum-probe COMMAND TITLE [ARGS]\n");
    return 2;
  }
  const std::string command = argv[1];
  const std::wstring title = WideArgument(argv[2]);
  const bool owned = std::string(argv[argc - 1]) == "owned";
  if (command == "wait" || command == "gone") {
    WaitFor(title, owned, command == "wait");
    return 0;
  }
  const HWND dialog = WaitFor(title, owned, true);
  if (command == "client") {
    RECT client{};
    ::GetClientRect(dialog, &client);
    std::printf("%ldx%ld\n", client.right, client.bottom);
  } else if (command == "window") {
    RECT window{};
    ::GetWindowRect(dialog, &window);
    std::printf("%ld %ld %ld %ld\n", window.left, window.top, window.right - window.left, window.bottom - window.top);
  } else if (command == "centre" && argc >= 4) {
    RECT control{};
    ::GetWindowRect(::GetDlgItem(dialog, std::atoi(argv[3])), &control);
    std::printf("%ld %ld\n", (control.left + control.right) / 2, (control.top + control.bottom) / 2);
  } else if (command == "text" && argc >= 4) {
    char text[4096] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutA(::GetDlgItem(dialog, std::atoi(argv[3])), WM_GETTEXT, sizeof text,
                          reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
    std::fwrite(text, 1, copied, stdout);
    std::printf("\n");
  } else if (command == "syscommand" && argc >= 4) {
    ::PostMessageW(dialog, WM_SYSCOMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
  } else {
    std::fprintf(stderr, "kestrum-probe: unknown command %s\n", argv[1]);
    return 2;
  }
  return 0;
}
