// A scripted stand-in for the dialog: chooser answers given in advance, messages and
// exchanges recorded in the order they happen, controls kept as texts.
#pragma once

#include "dialog_services.h"
#include "entity_dlg.h"
#include "memory_controls.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kestrum::test {

class ScriptedServices final : public IDialogServices {
 public:
  std::optional<std::string> ChooseFileToOpen(const FileChooserOptions& options) override;
  std::optional<std::string> ChooseFileToSave(const FileChooserOptions& options) override;
  void MessageBox(const std::string& text) override;
  void UpdateData(bool saveAndValidate) override;

  /** Answers for the next choosers, in order; nothing means the user cancels. */
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;

  std::vector<FileChooserOptions> openRequests;
  std::vector<FileChooserOptions> saveRequests;
  std::vector<std::string> messages;
  /** "open chooser", "save chooser", "message", "save" (controls to fields), "load". */
  std::vector<std::string> events;

  CMemoryControls controls;
  CEntityDlg* dialog = nullptr;
};

/** A record wired to scripted services, initialised as the dialog initialises it. */
struct ScriptedDialog {
  ScriptedDialog() : dialog(services) {
    services.dialog = &dialog;
    dialog.SetStartValues();
  }
  /** Open BSP on path, as if chosen in the chooser. */
  CommandOutcome Open(const std::string& path);
  /** Analyse Entity with text typed into the search box. */
  CommandOutcome Search(const std::string& text);
  /** Create list into path, as if chosen in the save chooser. */
  CommandOutcome CreateList(const std::string& path);

  ScriptedServices services;
  CEntityDlg dialog;
};

}  // namespace kestrum::test
