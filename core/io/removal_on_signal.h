// Temporary files that an interrupted process removes on its way out.
#pragma once

#include <string>

namespace kestrum {

/**
 * While it lives, the file at path is removed if the process gets SIGINT, SIGTERM or
 * SIGHUP; the signal then takes its course as it would have (the previous handler, or
 * the default action, ending the process). Used for a temporary list where the system
 * cannot create an unnamed file. A handful may be registered at once, from any thread.
 */
class CRemovalOnSignal {
 public:
  explicit CRemovalOnSignal(const std::string& path);
  ~CRemovalOnSignal();
  CRemovalOnSignal(const CRemovalOnSignal&) = delete;
  CRemovalOnSignal& operator=(const CRemovalOnSignal&) = delete;

 private:
  int m_slot;  ///< -1 when every slot was taken: the file is then not removed on a signal
};

}  // namespace kestrum
