// The application object: runs the main dialog and ends the program when it closes.
#pragma once

#include <string>

namespace kestrum::win32 {

class CWin32EntityDialog;

class CEntityApp {
 public:
  /** Runs the main dialog to its end; false tells the caller to end the program. */
  bool InitInstance();

  CWin32EntityDialog* m_pMainWnd = nullptr;  ///< the main dialog while it runs
  std::string m_mapToOpen;  ///< the map named on the command line, opened once the dialog is up; empty: none
};

}  // namespace kestrum::win32
