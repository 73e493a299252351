// kestrum: the dialog.
#include "entity_app.h"

#include <QApplication>

namespace {
kestrum::shell::CEntityApp theApp;
}

int main(int argc, char** argv) {
  const QApplication application(argc, argv);
  theApp.InitInstance();
  return 0;
}
