// Kestrum.exe: the dialog.
#include "entity_app.h"
#include "win32_api.h"

namespace {
kestrum::win32::CEntityApp theApp;
}

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
  theApp.InitInstance();
  return 0;
}
