#include "code_page_edit.h"

#include <string>

#include "windows_1252.h"

namespace kestrum::win32 {
namespace {

/** Any number, the same for every box: it tells this subclass from others on a window. */
constexpr UINT_PTR kSubclassId = 1252;

/** The text on the clipboard, or nothing when it holds none. */
std::u16string ClipboardText(HWND owner) {
  std::u16string text;
  if (!::OpenClipboard(owner)) return text;
  if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* characters = static_cast<const char16_t*>(::GlobalLock(data))) {
      text = characters;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

bool IsRefused(std::u16string_view inserted) {
  if (windows_1252::IsWritable(inserted)) return false;
  ::MessageBeep(MB_OK);  // as an edit box answers a key it cannot take
  return true;
}

LRESULT CALLBACK CodePageEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                  DWORD_PTR /*data*/) {
  switch (message) {
    // A character outside the first plane comes as two surrogates, neither writable.
    case WM_CHAR:
    case WM_IME_CHAR:
      if (IsRefused(std::u16string(1, static_cast<char16_t>(wParam)))) return 0;
      break;
    case WM_PASTE:
      if (IsRefused(ClipboardText(edit))) return 0;
      break;
    case WM_NCDESTROY: ::RemoveWindowSubclass(edit, &CodePageEditProc, kSubclassId); break;
    default: break;
  }
  return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

void KeepToCodePage(HWND edit) {
  ::SetWindowSubclass(edit, &CodePageEditProc, kSubclassId, 0);
}

}  // namespace kestrum::win32
