#include "entity_app.h"

#include "entity_dialog.h"

namespace kestrum::shell {

bool CEntityApp::InitInstance() {
  CEntityDialog dialog;
  m_pMainWnd = &dialog;
  dialog.exec();
  m_pMainWnd = nullptr;
  return false;
}

}  // namespace kestrum::shell
