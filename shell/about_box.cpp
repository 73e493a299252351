#include "about_box.h"

#include <QPushButton>

#include "app_icon.h"
#include "dialog_builder.h"

namespace kestrum::shell {

CAboutBox::CAboutBox(QWidget* owner) : QDialog(owner) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  BuildDialog(*this, res::AboutDialogTemplate(), LoadMainIcon());
  auto* ok = findChild<QPushButton*>(QStringLiteral("IDOK"));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  ok->setFocus();
}

}  // namespace kestrum::shell
