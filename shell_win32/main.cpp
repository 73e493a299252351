// Kestrum.exe [MAP]: the dialog, with MAP (a map file, an archive or ARCHIVE:MEMBER)
// opened as Open BSP opens what its chooser returns.
#include "entity_app.h"
#include "wide_text_win32.h"
#include "win32_api.h"

namespace {
kestrum::win32::CEntityApp theApp;
}

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
  // The wide command line: a map's name may hold characters the ANSI one would lose.
  int argumentCount = 0;
  if (LPWSTR* const arguments = ::CommandLineToArgvW(::GetCommandLineW(), &argumentCount)) {
    if (argumentCount > 1) theApp.m_mapToOpen = kestrum::Narrow(arguments[1]);
    ::LocalFree(arguments);
  }
  theApp.InitInstance();
  return 0;
}
