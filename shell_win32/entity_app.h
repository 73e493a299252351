// The application object: runs the main dialog and ends the program when it closes.
#pragma once

namespace kestrum::win32 {

class CWin32EntityDialog;

class CEntityApp {
 public:
  /** Runs the main dialog to its end; false tells the caller to end the program. */
  bool InitInstance();

  CWin32EntityDialog* m_pMainWnd = nullptr;  ///< the main dialog while it runs
};

}  // namespace kestrum::win32
