#include "window_exchange.h"

namespace kestrum::win32 {

void CWindowExchange::Text(int controlId, std::string& field) {
  const HWND box = ::GetDlgItem(m_dialog, controlId);
  if (m_bSaveAndValidate) {
    // The length may overstate the text (a multibyte estimate); the copy says how much came.
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(box)) + 1, '\0');
    const int copied = ::GetWindowTextA(box, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied));
    field = std::move(text);
  } else {
    ::SetWindowTextA(box, field.c_str());
  }
}

}  // namespace kestrum::win32
