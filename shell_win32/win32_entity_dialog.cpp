#include "win32_entity_dialog.h"

#include "about_box.h"
#include "app_name.h"
#include "code_page_edit.h"
#include "dialog_templates.h"
#include "dropped_files.h"
#include "file_chooser.h"
#include "map_picker.h"
#include "resource.h"
#include "string_table.h"
#include "wide_text_win32.h"
#include "window_exchange.h"
#include "window_geometry.h"

namespace kestrum::win32 {
namespace {

/** The low four bits of a system command are the system's own. */
constexpr UINT kSystemCommandMask = 0xFFF0;

/** Posted by OnInitDialog: the map to open waits until the dialog is up to own its messages. */
constexpr UINT kOpenMapToOpen = WM_APP + 1;

}  // namespace

CWin32EntityDialog::CWin32EntityDialog()
    : CModalDialog(IDD_MAIN), m_dlg(*this), m_hIcon(::LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDI_MAIN))) {}

BOOL CWin32EntityDialog::OnInitDialog() {
  CModalDialog::OnInitDialog();
  for (const res::ControlTemplate& control : res::MainDialogTemplate().controls) {
    if (control.kind == res::ControlKind::EditBox) KeepToCodePage(::GetDlgItem(m_hWnd, control.id));
  }
  UpdateData(false);  // every box comes up empty

  if (const HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
    const std::string aboutText = res::LoadString(IDS_ABOUT_MENU);
    if (!aboutText.empty()) {
      ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUT, Widen(aboutText).c_str());
    }
  }
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  m_dlg.SetStartValues();
  ::DragAcceptFiles(m_hWnd, TRUE);
  if (!m_mapToOpen.empty()) ::PostMessageW(m_hWnd, kOpenMapToOpen, 0, 0);
  return TRUE;  // the focus goes to the first control in the tab order, OK
}

INT_PTR CWin32EntityDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND: return OnSysCommand(static_cast<UINT>(wParam), lParam);
    case WM_PAINT: return OnPaint();
    case WM_QUERYDRAGICON: return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return TRUE;
    case kOpenMapToOpen: m_dlg.OpenBspNamed(m_mapToOpen); return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && m_dlg.OnCommand(LOWORD(wParam))) return TRUE;
      break;
    default: break;
  }
  return CModalDialog::OnMessage(message, wParam, lParam);
}

bool CWin32EntityDialog::OnSysCommand(UINT command, LPARAM /*lParam*/) {
  if ((command & kSystemCommandMask) != IDM_ABOUT) return false;
  CAboutBox about;
  about.DoModal(m_hWnd);
  return true;
}

bool CWin32EntityDialog::OnPaint() {
  if (!::IsIconic(m_hWnd)) return false;
  PAINTSTRUCT paint{};
  const HDC context = ::BeginPaint(m_hWnd, &paint);
  ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
  const int iconWidth = ::GetSystemMetrics(SM_CXICON);
  const int iconHeight = ::GetSystemMetrics(SM_CYICON);
  RECT client{};
  ::GetClientRect(m_hWnd, &client);
  const shell_common::PixelPoint origin =
      shell_common::CentredIconOrigin(client.right - client.left, client.bottom - client.top, iconWidth, iconHeight);
  ::DrawIcon(context, origin.x, origin.y, m_hIcon);
  ::EndPaint(m_hWnd, &paint);
  return true;
}

void CWin32EntityDialog::OnDropFiles(HDROP drop) {
  if (const std::optional<std::string> file = TakeFirstDroppedFile(drop)) m_dlg.OpenBspNamed(*file);
}

void CWin32EntityDialog::OnOK() {
  UpdateData(true);
  CModalDialog::OnOK();
}

std::optional<std::string> CWin32EntityDialog::ChooseFileToOpen(const FileChooserOptions& options) {
  return RunFileChooser(m_hWnd, options, ChooserKind::Open);
}

std::optional<std::string> CWin32EntityDialog::ChooseFileToSave(const FileChooserOptions& options) {
  return RunFileChooser(m_hWnd, options, ChooserKind::Save);
}

std::optional<std::string> CWin32EntityDialog::ChooseMapInArchive(const std::string& /*archivePath*/,
                                                                  const std::vector<std::string>& mapNames) {
  CMapPicker picker(mapNames);
  return picker.Choose(m_hWnd);
}

void CWin32EntityDialog::MessageBox(const std::string& text) {
  ::MessageBoxW(m_hWnd, Widen(text).c_str(), Widen(ApplicationName()).c_str(), MB_OK);
}

void CWin32EntityDialog::UpdateData(bool saveAndValidate) {
  CWindowExchange exchange(saveAndValidate, m_hWnd);
  m_dlg.DoDataExchange(exchange);
}

}  // namespace kestrum::win32
