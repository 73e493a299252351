#include "qt_entity_dialog.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

#include "about_box.h"
#include "app_icon.h"
#include "dialog_builder.h"
#include "map_picker.h"
#include "resource.h"
#include "string_table.h"
#include "widget_exchange.h"

namespace kestrum::shell {
namespace {

QString NameFilter(const std::string& filterDescription, const std::string& filterPattern) {
  const QString description = QString::fromStdString(filterDescription);
  // Qt reads the patterns from the filter's last parentheses, separated by spaces.
  const QString pattern = QString::fromStdString(filterPattern).replace(';', ' ');
  return description.endsWith("(" + pattern + ")") ? description : description + " (" + pattern + ")";
}

QStringList NameFilters(const FileChooserOptions& options) {
  QStringList filters{NameFilter(options.filterDescription, options.filterPattern)};
  for (const FileFilter& filter : options.moreFilters) filters << NameFilter(filter.description, filter.pattern);
  return filters;
}

/** The first file of a drop, if it names one on this machine. */
std::optional<std::string> DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().isEmpty() || !data->urls().constFirst().isLocalFile()) {
    return std::nullopt;
  }
  return QFile::encodeName(data->urls().constFirst().toLocalFile()).toStdString();
}

}  // namespace

CQtEntityDialog::CQtEntityDialog(QWidget* parent)
    : QDialog(parent), m_dlg(*this), m_chooserFolder(QDir::currentPath()) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  const QIcon icon = LoadMainIcon();
  const std::vector<res::ControlTemplate>& controls = res::MainDialogTemplate().controls;
  const std::vector<QWidget*> widgets = BuildDialog(*this, res::MainDialogTemplate(), icon);
  for (std::size_t n = 0; n < widgets.size(); ++n) {
    const int id = controls[n].id;
    if (auto* edit = qobject_cast<QLineEdit*>(widgets[n])) {
      edit->setValidator(new CCodePageValidator(edit));
      m_edits[id] = edit;
    }
    if (auto* button = qobject_cast<QPushButton*>(widgets[n])) {
      if (id == IDOK) {
        connect(button, &QPushButton::clicked, this, &QDialog::accept);
      } else {
        connect(button, &QPushButton::clicked, this, [this, id] { m_dlg.OnCommand(id); });
      }
    }
  }
  m_windowMenu = CreateWindowMenu();  // after the controls, which come first among the children
  auto* openWindowMenu = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
  connect(openWindowMenu, &QShortcut::activated, this, [this] { m_windowMenu->popup(mapToGlobal(QPoint(0, 0))); });

  setAcceptDrops(true);
  UpdateData(false);    // every box comes up empty
  setWindowIcon(icon);  // both sizes: the big and the small icon
  m_dlg.SetStartValues();
  findChild<QPushButton*>(QStringLiteral("IDOK"))->setFocus();
}

QMenu* CQtEntityDialog::CreateWindowMenu() {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("windowMenu"));
  connect(menu->addAction(tr("&Close")), &QAction::triggered, this, &QWidget::close);
  const std::string aboutText = res::LoadString(IDS_ABOUT_MENU);
  if (!aboutText.empty()) {
    menu->addSeparator();
    QAction* about = menu->addAction(QString::fromStdString(aboutText));
    about->setObjectName(QStringLiteral("IDM_ABOUT"));
    connect(about, &QAction::triggered, this, &CQtEntityDialog::ShowAboutBox);
  }
  return menu;
}

void CQtEntityDialog::ShowAboutBox() {
  CAboutBox about(this);
  about.exec();
}

void CQtEntityDialog::accept() {
  UpdateData(true);
  QDialog::accept();
}

void CQtEntityDialog::contextMenuEvent(QContextMenuEvent* event) {
  // Only the background: the edit boxes have menus of their own.
  QWidget* const under = childAt(event->pos());
  if (under && !qobject_cast<QLabel*>(under)) return;
  m_windowMenu->popup(event->globalPos());
}

void CQtEntityDialog::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void CQtEntityDialog::dropEvent(QDropEvent* event) {
  const std::optional<std::string> file = DroppedFile(event->mimeData());
  if (!file) return;
  event->acceptProposedAction();
  OpenBspSoon(*file);
}

void CQtEntityDialog::OpenBspSoon(const std::string& name) {
  QMetaObject::invokeMethod(
      this, [this, name] { m_dlg.OpenBspNamed(name); }, Qt::QueuedConnection);
}

std::optional<std::string> CQtEntityDialog::RunFileChooser(const FileChooserOptions& options, bool save) {
  QFileDialog chooser(this, QString(), m_chooserFolder);
  chooser.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // A save chooser is for naming a new list as much as an existing one, whatever it is
  // told about existing files; an open chooser takes only an existing one if told so.
  chooser.setFileMode(!save && options.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  chooser.setNameFilters(NameFilters(options));  // the first is selected
  chooser.setDefaultSuffix(QString::fromStdString(options.defaultExtension));
  // Qt's chooser asks before replacing a file unless told otherwise, and has no
  // read-only choice to hide.
  chooser.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
  chooser.selectFile(QFile::decodeName(QByteArray::fromStdString(options.initialName)));
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = chooser.selectedFiles().constFirst();
  // Both choosers open next where the user last chose a file, as the system's would.
  m_chooserFolder = QFileInfo(chosen).absolutePath();
  return QFile::encodeName(chosen).toStdString();
}

std::optional<std::string> CQtEntityDialog::ChooseFileToOpen(const FileChooserOptions& options) {
  return RunFileChooser(options, false);
}

std::optional<std::string> CQtEntityDialog::ChooseFileToSave(const FileChooserOptions& options) {
  return RunFileChooser(options, true);
}

std::optional<std::string> CQtEntityDialog::ChooseMapInArchive(const std::string& /*archivePath*/,
                                                               const std::vector<std::string>& mapNames) {
  CMapPicker picker(mapNames, this);
  return picker.Choose();
}

void CQtEntityDialog::MessageBox(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), QString::fromStdString(text),
                  QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void CQtEntityDialog::UpdateData(bool saveAndValidate) {
  CWidgetExchange exchange(saveAndValidate, m_edits);
  m_dlg.DoDataExchange(exchange);
}

}  // namespace kestrum::shell
