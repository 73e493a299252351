// The main dialog: the window of the entity commands.
#pragma once

#include <QDialog>
#include <map>

#include "dialog_services.h"
#include "entity_dlg.h"

class QLineEdit;
class QMenu;

namespace kestrum::shell {

/**
 * The main dialog, built from the IDD_MAIN template. It owns the main window record and
 * gives the record's commands what they need of a dialog: file choosers, message boxes
 * and the exchange of the record's fields with the edit boxes.
 *
 * A Linux window manager owns the title bar's menu, so the dialog has a window menu of
 * its own (object name "windowMenu"), opened by Alt+Space or a right click on its
 * background: Close, and the about entry (object name "IDM_ABOUT").
 *
 * A local file dropped on the dialog opens as if Open BSP's chooser had returned it.
 */
class CQtEntityDialog final : public QDialog, public IDialogServices {
  Q_OBJECT
 public:
  explicit CQtEntityDialog(QWidget* parent = nullptr);

  /** The record of the dialog's fields; once OK has closed the dialog, it holds what the boxes showed. */
  CEntityDlg& EntityDlg() { return m_dlg; }

  std::optional<std::string> ChooseFileToOpen(const FileChooserOptions& options) override;
  std::optional<std::string> ChooseFileToSave(const FileChooserOptions& options) override;
  std::optional<std::string> ChooseMapInArchive(const std::string& archivePath,
                                                const std::vector<std::string>& mapNames) override;
  void MessageBox(const std::string& text) override;
  void UpdateData(bool saveAndValidate) override;

  /**
   * Opens the named map as Open BSP does, once control is back in the event loop: with
   * the dialog up to own its messages and the map list, and never inside the drop that
   * named it.
   */
  void OpenBspSoon(const std::string& name);

 public slots:
  /** OK, and Enter in an edit box: the boxes are saved into the record, then the dialog ends. */
  void accept() override;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QMenu* CreateWindowMenu();
  void ShowAboutBox();
  std::optional<std::string> RunFileChooser(const FileChooserOptions& options, bool save);

  CEntityDlg m_dlg;
  std::map<int, QLineEdit*> m_edits;  ///< the exchanged boxes by control id
  QMenu* m_windowMenu = nullptr;
  QString m_chooserFolder;  ///< where the next file chooser opens
};

}  // namespace kestrum::shell
