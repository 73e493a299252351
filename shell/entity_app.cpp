#include "entity_app.h"

#include "qt_entity_dialog.h"

namespace kestrum::shell {

bool CEntityApp::InitInstance() {
  CQtEntityDialog dialog;
  m_pMainWnd = &dialog;
  dialog.exec();
  m_pMainWnd = nullptr;
  return false;
}

}  // namespace kestrum::shell
