// The entity commands without a window: choosers answered from the command line,
// messages written to the error stream, controls kept as texts.
#pragma once

#include "dialog_services.h"
#include "entity_dlg.h"
#include "memory_controls.h"

#include <iosfwd>
#include <string>

namespace kestrum::cli {

class CCliServices final : public IDialogServices {
 public:
  explicit CCliServices(std::ostream& err) : m_err(err) {}
  /** The record whose fields the exchange moves. */
  void Attach(CEntityDlg& dialog) { m_dialog = &dialog; }

  std::optional<std::string> ChooseFileToOpen(const FileChooserOptions& options) override;
  std::optional<std::string> ChooseFileToSave(const FileChooserOptions& options) override;
  void MessageBox(const std::string& text) override;
  void UpdateData(bool saveAndValidate) override;

  std::string m_openAnswer;  ///< what the open chooser "chooses"
  std::string m_saveAnswer;  ///< what the save chooser "chooses"
  CMemoryControls m_controls;

 private:
  CEntityDlg* m_dialog = nullptr;
  std::ostream& m_err;
};

/** One run of the dialog's commands, as if a user pressed its buttons. */
class CCliSession {
 public:
  explicit CCliSession(std::ostream& err);

  CommandOutcome OpenBsp(const std::string& bspPath);
  CommandOutcome CreateList(const std::string& listPath);
  CommandOutcome AnalyseEntity(const std::string& searchText);

  CEntityDlg& Record() { return m_dialog; }

 private:
  CCliServices m_services;
  CEntityDlg m_dialog;
};

}  // namespace kestrum::cli
