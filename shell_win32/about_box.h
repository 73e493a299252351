// The about box: the icon, the name and version, three credit lines and OK.
#pragma once

#include "modal_dialog.h"
#include "resource.h"

namespace kestrum::win32 {

/** Built from IDD_ABOUT; it has nothing to exchange and handles nothing of its own. */
class CAboutBox final : public CModalDialog {
 public:
  CAboutBox() : CModalDialog(IDD_ABOUT) {}
};

}  // namespace kestrum::win32
