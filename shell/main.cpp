// kestrum: the dialog.
#include <QApplication>

#include "entity_app.h"

namespace {
kestrum::shell::CEntityApp theApp;
}

int main(int argc, char** argv) {
  const QApplication application(argc, argv);
  theApp.InitInstance();
  return 0;
}
