// The main dialog on Windows: the window of the entity commands.
#pragma once

#include "dialog_services.h"
#include "entity_dlg.h"
#include "modal_dialog.h"

namespace kestrum::win32 {

/**
 * The main dialog, built by the dialog manager from the IDD_MAIN resource. It owns the
 * main window record and gives the record's commands what they need of a dialog: the
 * system's file choosers, message boxes and the exchange of fields with the edit boxes.
 * A file dropped on it opens as if Open BSP's chooser had returned it.
 */
class CWin32EntityDialog final : public CModalDialog, public IDialogServices {
 public:
  CWin32EntityDialog();

  CEntityDlg& EntityDlg() { return m_dlg; }
  HICON Icon() const { return m_hIcon; }

  BOOL OnInitDialog() override;
  /** A system command; 16 to 31 open the about box. False: the default processing runs. */
  bool OnSysCommand(UINT command, LPARAM lParam);
  /** Paints the minimised window: its icon, centred. False: a normal window paints by default. */
  bool OnPaint();
  HICON OnQueryDragIcon() const { return m_hIcon; }
  /** Opens the first file dropped, as Open BSP opens what its chooser returns. */
  void OnDropFiles(HDROP drop);

  /** A map to open as Open BSP does once the dialog is up (a command-line argument); empty: none. */
  std::string m_mapToOpen;

  std::optional<std::string> ChooseFileToOpen(const FileChooserOptions& options) override;
  std::optional<std::string> ChooseFileToSave(const FileChooserOptions& options) override;
  std::optional<std::string> ChooseMapInArchive(const std::string& archivePath,
                                                const std::vector<std::string>& mapNames) override;
  void MessageBox(const std::string& text) override;
  void UpdateData(bool saveAndValidate) override;

 protected:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;

 private:
  CEntityDlg m_dlg;
  HICON m_hIcon;
};

}  // namespace kestrum::win32
