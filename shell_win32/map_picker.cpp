#include "map_picker.h"

#include "wide_text_win32.h"

namespace kestrum::win32 {

std::optional<std::string> CMapPicker::Choose(HWND owner) {
  m_chosen.reset();
  return DoModal(owner) == IDOK ? m_chosen : std::nullopt;
}

BOOL CMapPicker::OnInitDialog() {
  CModalDialog::OnInitDialog();
  const HWND list = ::GetDlgItem(m_hWnd, IDC_MAP_LIST);
  for (const std::string& name : m_mapNames) {
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
  }
  ::SendMessageW(list, LB_SETCURSEL, 0, 0);
  ::SetFocus(list);
  return FALSE;  // the focus is set: on the list
}

INT_PTR CMapPicker::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDC_MAP_LIST && HIWORD(wParam) == LBN_DBLCLK) {
    OnOK();
    return TRUE;
  }
  return CModalDialog::OnMessage(message, wParam, lParam);
}

void CMapPicker::OnOK() {
  // The list adds no sorting of its own, so its rows are the names in the order given;
  // the names go back as the archive holds them, whatever the list made of their bytes.
  const LRESULT row = ::SendDlgItemMessageW(m_hWnd, IDC_MAP_LIST, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR || static_cast<std::size_t>(row) >= m_mapNames.size()) return;  // nothing chosen yet
  m_chosen = m_mapNames[static_cast<std::size_t>(row)];
  CModalDialog::OnOK();
}

}  // namespace kestrum::win32
