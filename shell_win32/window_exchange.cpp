#include "window_exchange.h"

#include "windows_1252.h"

namespace kestrum::win32 {

void CWindowExchange::Text(int controlId, std::string& field) {
  const HWND box = ::GetDlgItem(m_dialog, controlId);
  if (m_bSaveAndValidate) {
    std::u16string text(static_cast<std::size_t>(::GetWindowTextLengthW(box)) + 1, u'\0');
    const int copied = ::GetWindowTextW(box, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied));
    // The boxes refuse what the code page cannot write; anything else (set by a program,
    // not typed) is dropped rather than changed into another byte.
    field = windows_1252::BytesOfText(text);
  } else {
    ::SetWindowTextW(box, reinterpret_cast<const wchar_t*>(windows_1252::TextOfBytes(field).c_str()));
  }
}

}  // namespace kestrum::win32
