#include "dialog_builder.h"

#include <QDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <limits>

#include "window_geometry.h"

namespace kestrum::shell {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

QWidget* CreateControl(QDialog& dialog, const res::ControlTemplate& control, const QIcon& icon) {
  switch (control.kind) {
    case res::ControlKind::PushButton:
    case res::ControlKind::DefPushButton: {
      auto* button = new QPushButton(ToQString(control.caption), &dialog);
      button->setDefault(control.kind == res::ControlKind::DefPushButton);
      return button;
    }
    case res::ControlKind::EditBox: {
      auto* edit = new QLineEdit(&dialog);
      edit->setMaxLength(std::numeric_limits<int>::max());  // the program sets no limit
      return edit;
    }
    case res::ControlKind::Label: {
      auto* label = new QLabel(ToQString(control.caption), &dialog);
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    case res::ControlKind::ListBox: return new QListWidget(&dialog);
    case res::ControlKind::Icon: {
      auto* label = new QLabel(&dialog);
      label->setPixmap(icon.pixmap(32, 32));
      return label;
    }
  }
  return nullptr;
}

}  // namespace

QFont DialogFont(const res::DialogTemplate& dialogTemplate) {
  QFont font(ToQString(dialogTemplate.fontName), dialogTemplate.pointSize);
  if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) != 0) {
    font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(dialogTemplate.pointSize);
  }
  return font;
}

std::vector<QWidget*> BuildDialog(QDialog& dialog, const res::DialogTemplate& dialogTemplate, const QIcon& icon) {
  dialog.setWindowTitle(ToQString(dialogTemplate.title));
  dialog.setFont(DialogFont(dialogTemplate));
  const QFontMetrics metrics(dialog.font());
  const shell_common::DialogUnitBase base = shell_common::DialogUnitBaseFromFont(
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
      metrics.height());
  const shell_common::PixelRect size =
      shell_common::MapDialogRect(base, 0, 0, dialogTemplate.width, dialogTemplate.height);
  dialog.setFixedSize(size.width, size.height);

  std::vector<QWidget*> controls;
  QWidget* previousTabStop = nullptr;
  for (const res::ControlTemplate& control : dialogTemplate.controls) {
    QWidget* widget = CreateControl(dialog, control, icon);
    widget->setObjectName(ToQString(control.name));
    widget->setProperty(kControlIdProperty, control.id);
    const shell_common::PixelRect rect =
        shell_common::MapDialogRect(base, control.x, control.y, control.width, control.height);
    if (control.kind == res::ControlKind::Icon) {
      widget->setGeometry(rect.x, rect.y, 32, 32);
    } else {
      widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
    }
    if (widget->focusPolicy() != Qt::NoFocus) {
      if (previousTabStop) QWidget::setTabOrder(previousTabStop, widget);
      previousTabStop = widget;
    }
    controls.push_back(widget);
  }
  return controls;
}

}  // namespace kestrum::shell
