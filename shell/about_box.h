// The about box: the icon, the name and version, three credit lines and OK.
#pragma once

#include <QDialog>

namespace kestrum::shell {

class CAboutBox final : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutBox(QWidget* owner);
};

}  // namespace kestrum::shell
