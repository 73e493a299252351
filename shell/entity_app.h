// The application object: runs the main dialog and ends the program when it closes.
#pragma once

namespace kestrum::shell {

class CEntityApp {
 public:
  /** Runs the main dialog to its end; false tells the caller to end the program. */
  bool InitInstance();
};

}  // namespace kestrum::shell
