#include "entity_app.h"

#include "win32_entity_dialog.h"

namespace kestrum::win32 {

bool CEntityApp::InitInstance() {
  CWin32EntityDialog dialog;
  dialog.m_mapToOpen = m_mapToOpen;
  m_pMainWnd = &dialog;
  dialog.DoModal(nullptr);
  m_pMainWnd = nullptr;
  return false;
}

}  // namespace kestrum::win32
