// The application object: runs the main dialog and ends the program when it closes.
#pragma once

class QWidget;

namespace kestrum::shell {

class CEntityApp {
 public:
  /** Runs the main dialog to its end; false tells the caller to end the program. */
  bool InitInstance();

  QWidget* m_pMainWnd = nullptr;  ///< the main dialog while it runs
};

}  // namespace kestrum::shell
