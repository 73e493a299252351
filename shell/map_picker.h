// The maps of an archive, to open one: built from the IDD_PICK_MAP template.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QListWidget;

namespace kestrum::shell {

/** The list (object name "IDC_MAP_LIST") starts on the first map; a double click is OK. */
class CMapPicker final : public QDialog {
  Q_OBJECT
 public:
  CMapPicker(std::vector<std::string> mapNames, QWidget* owner);

  /** Runs the dialog; the map chosen, or nothing when it was cancelled. */
  std::optional<std::string> Choose();

 private:
  const std::vector<std::string> m_mapNames;
  QListWidget* m_list = nullptr;
};

}  // namespace kestrum::shell
