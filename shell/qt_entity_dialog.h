// The main dialog: the window of the entity commands.
#pragma once

#include <QDialog>
#include <QIcon>
#include <map>

#include "dialog_services.h"
#include "entity_dlg.h"

class QLineEdit;
class QMenu;

namespace kestrum::shell {

/** The system command of the window menu's Close entry. */
inline constexpr unsigned kScClose = 0xF060;

/**
 * The main dialog, built from the IDD_MAIN template. It owns the main window record and
 * gives the record's commands what they need of a dialog: file choosers, message boxes
 * and the exchange of the record's fields with the edit boxes.
 *
 * A Linux window manager owns the title bar's menu, so the dialog has a window menu of
 * its own, opened by Alt+Space or a right click on its background: Close, and the about
 * entry that the system menu carries elsewhere.
 */
class CQtEntityDialog final : public QDialog, public IDialogServices {
  Q_OBJECT
 public:
  explicit CQtEntityDialog(QWidget* parent = nullptr);

  CEntityDlg& EntityDlg() { return m_dlg; }
  QMenu* WindowMenu() const { return m_windowMenu; }

  bool OnInitDialog();
  /** A command of the window menu; 16 to 31 open the about box. */
  void OnSysCommand(unsigned command, long lParam);
  /** Paints the minimised window: its icon, centred. A normal window paints by default. */
  void OnPaint();
  QIcon OnQueryDragIcon() const { return m_hIcon; }

  std::optional<std::string> ChooseFileToOpen(const FileChooserOptions& options) override;
  std::optional<std::string> ChooseFileToSave(const FileChooserOptions& options) override;
  void MessageBox(const std::string& text) override;
  void UpdateData(bool saveAndValidate) override;

 public slots:
  void reject() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void OnCommand(int controlId);
  void OnOK();
  void Default(unsigned command);
  std::optional<std::string> RunFileChooser(const FileChooserOptions& options, bool save);

  CEntityDlg m_dlg;
  QIcon m_hIcon;
  std::map<int, QLineEdit*> m_edits;  ///< the exchanged boxes by control id
  QMenu* m_windowMenu = nullptr;
  QString m_chooserFolder;  ///< where the next file chooser opens
};

}  // namespace kestrum::shell
