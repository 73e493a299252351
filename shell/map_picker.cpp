#include "map_picker.h"

#include <QListWidget>
#include <QPushButton>

#include "app_icon.h"
#include "dialog_builder.h"

namespace kestrum::shell {

CMapPicker::CMapPicker(std::vector<std::string> mapNames, QWidget* owner)
    : QDialog(owner), m_mapNames(std::move(mapNames)) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  BuildDialog(*this, res::PickMapDialogTemplate(), LoadMainIcon());
  m_list = findChild<QListWidget*>(QStringLiteral("IDC_MAP_LIST"));
  for (const std::string& name : m_mapNames) m_list->addItem(QString::fromStdString(name));
  m_list->setCurrentRow(0);
  m_list->setFocus();
  connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
  connect(findChild<QPushButton*>(QStringLiteral("IDOK")), &QPushButton::clicked, this, &QDialog::accept);
  connect(findChild<QPushButton*>(QStringLiteral("IDCANCEL")), &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<std::string> CMapPicker::Choose() {
  if (exec() != QDialog::Accepted) return std::nullopt;
  const int row = m_list->currentRow();
  // The names go back as the archive holds them, whatever the list made of their bytes.
  if (row < 0 || static_cast<std::size_t>(row) >= m_mapNames.size()) return std::nullopt;
  return m_mapNames[static_cast<std::size_t>(row)];
}

}  // namespace kestrum::shell
