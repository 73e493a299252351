#include "entity_app.h"

#include "qt_entity_dialog.h"

namespace kestrum::shell {

bool CEntityApp::InitInstance() {
  CQtEntityDialog dialog;
  dialog.exec();
  return false;
}

}  // namespace kestrum::shell
