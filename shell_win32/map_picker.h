// The maps of an archive, to open one: the IDD_PICK_MAP dialog.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "modal_dialog.h"
#include "resource.h"

namespace kestrum::win32 {

/** The list starts on the first map; a double click in it is OK. */
class CMapPicker final : public CModalDialog {
 public:
  explicit CMapPicker(std::vector<std::string> mapNames)
      : CModalDialog(IDD_PICK_MAP), m_mapNames(std::move(mapNames)) {}

  /** Runs the dialog owned by owner; the map chosen, or nothing when it was cancelled. */
  std::optional<std::string> Choose(HWND owner);

 protected:
  BOOL OnInitDialog() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;

 private:
  const std::vector<std::string> m_mapNames;
  std::optional<std::string> m_chosen;
};

}  // namespace kestrum::win32
