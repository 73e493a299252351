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
//   kestrum-probe layout TITLE [owned]   the display's DPI and the client size, and every
//                                        control where its template puts it (exit 1 if not)
//
// "owned" picks a dialog that has an owner (a message box titled like the main dialog).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dialog_templates.h"
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

/**
 * The dialog base units the dialog manager takes from a template's font: the font at its
 * point size on this display's DPI, the average width of the Latin letters and the height.
 */
SIZE BaseUnits(const kestrum::res::DialogTemplate& dialogTemplate, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -::MulDiv(dialogTemplate.pointSize, dpi, 72);
  font.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = WideArgument(std::string(dialogTemplate.fontName).c_str());
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  const HDC screen = ::GetDC(nullptr);
  const HGDIOBJ previous = ::SelectObject(screen, ::CreateFontIndirectW(&font));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(screen, &metrics);
  SIZE letters{};
  ::GetTextExtentPoint32W(screen, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
  ::DeleteObject(::SelectObject(screen, previous));
  ::ReleaseDC(nullptr, screen);
  return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

/** As the dialog manager places a control: its position and its size each converted. */
RECT DialogPixels(SIZE base, int x, int y, int width, int height) {
  const int left = ::MulDiv(x, base.cx, 4);
  const int top = ::MulDiv(y, base.cy, 8);
  return {left, top, left + ::MulDiv(width, base.cx, 4), top + ::MulDiv(height, base.cy, 8)};
}

std::string Text(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
         "x" + std::to_string(rect.bottom - rect.top);
}

/**
 * Compares the client area and each child window, in creation order, with the template
 * in the base units of its font at this display's DPI: what a DPI the program ignored,
 * the system's stretching or a later move would change. An icon control takes the icon's
 * own size, so only its position counts.
 */
int CheckLayout(HWND dialog, const std::wstring& title) {
  const auto& main = kestrum::res::MainDialogTemplate();
  const auto& about = kestrum::res::AboutDialogTemplate();
  const auto& dialogTemplate = WideArgument(std::string(main.title).c_str()) == title ? main : about;
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  const SIZE base = BaseUnits(dialogTemplate, dpi);
  RECT client{};
  ::GetClientRect(dialog, &client);
  const RECT expectedClient = DialogPixels(base, 0, 0, dialogTemplate.width, dialogTemplate.height);
  std::printf("dpi %d base units %ldx%ld client %ldx%ld\n", dpi, base.cx, base.cy, client.right, client.bottom);
  int wrong = 0;
  if (client.right != expectedClient.right || client.bottom != expectedClient.bottom) {
    std::printf("the client area is not the template's %ldx%ld\n", expectedClient.right, expectedClient.bottom);
    ++wrong;
  }
  HWND child = ::GetWindow(dialog, GW_CHILD);
  for (const auto& control : dialogTemplate.controls) {
    if (child == nullptr) {
      std::printf("missing: %.*s\n", static_cast<int>(control.name.size()), control.name.data());
      ++wrong;
      continue;
    }
    RECT actual{};
    ::GetWindowRect(child, &actual);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    RECT expected = DialogPixels(base, control.x, control.y, control.width, control.height);
    if (control.kind == kestrum::res::ControlKind::Icon) {
      expected.right = expected.left + (actual.right - actual.left);
      expected.bottom = expected.top + (actual.bottom - actual.top);
    }
    if (!::EqualRect(&actual, &expected)) {
      std::printf("%.*s is at %s, its template says %s\n", static_cast<int>(control.name.size()), control.name.data(),
                  Text(actual).c_str(), Text(expected).c_str());
      ++wrong;
    }
    child = ::GetWindow(child, GW_HWNDNEXT);
  }
  std::printf("%zu controls, %d not where the template puts them\n", dialogTemplate.controls.size(), wrong);
  return wrong == 0 ? 0 : 1;
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
  } else if (command == "layout") {
    return CheckLayout(dialog, title);
  } else if (command == "syscommand" && argc >= 4) {
    ::PostMessageW(dialog, WM_SYSCOMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
  } else {
    std::fprintf(stderr, "kestrum-probe: unknown command %s\n", argv[1]);
    return 2;
  }
  return 0;
}
