#include "modal_dialog.h"

namespace kestrum::win32 {

HINSTANCE ResourceModule() {
  return ::GetModuleHandleW(nullptr);
}

INT_PTR CModalDialog::DoModal(HWND owner) {
  const INT_PTR result = ::DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(m_templateId), owner, &DialogProc,
                                           reinterpret_cast<LPARAM>(this));
  m_hWnd = nullptr;
  return result;
}

INT_PTR CALLBACK CModalDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* const dialog = reinterpret_cast<CModalDialog*>(lParam);
    ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    dialog->m_hWnd = window;
    return dialog->OnInitDialog();
  }
  auto* const dialog = reinterpret_cast<CModalDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
  // Messages that come before WM_INITDIALOG (WM_SETFONT) find no object yet.
  return dialog ? dialog->OnMessage(message, wParam, lParam) : FALSE;
}

BOOL CModalDialog::OnInitDialog() {
  CentreOverOwner();
  return TRUE;  // the dialog manager puts the focus on the first tab stop
}

INT_PTR CModalDialog::OnMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
  }
}

void CModalDialog::CentreOverOwner() const {
  // The templates give position (0, 0) and no centring style: placing the window is the
  // framework's part, as it is for MFC's dialogs.
  RECT area{};
  const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  if (owner && ::IsWindowVisible(owner)) {
    ::GetWindowRect(owner, &area);
  } else {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT window{};
  ::GetWindowRect(m_hWnd, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int x = area.left + (area.right - area.left - width) / 2;
  const int y = area.top + (area.bottom - area.top - height) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kestrum::win32
