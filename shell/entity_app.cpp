#include "entity_app.h"

#include "qt_entity_dialog.h"

namespace kestrum::shell {

bool CEntityApp::InitInstance() {
  CQtEntityDialog dialog;
  if (!m_mapToOpen.empty()) dialog.OpenBspSoon(m_mapToOpen);
  dialog.exec();
  return false;
}

}  // namespace kestrum::shell
