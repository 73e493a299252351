// kestrum [MAP]: the dialog, with MAP (a map file, an archive or ARCHIVE:MEMBER) opened
// as Open BSP opens what its chooser returns.
#include <QApplication>

#include "entity_app.h"

namespace {
kestrum::shell::CEntityApp theApp;
}

int main(int argc, char** argv) {
  const QApplication application(argc, argv);
  // Qt has taken its own options out of argv; the name goes on as the system gave its bytes.
  if (argc > 1) theApp.m_mapToOpen = argv[1];
  theApp.InitInstance();
  return 0;
}
