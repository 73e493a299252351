// The entity commands without a window: the controls kept as texts, the choosers
// answered from a script, the messages handed on. The command-line tool runs the
// commands this way, and so do the tests.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dialog_services.h"
#include "entity_dlg.h"
#include "resource.h"

namespace kestrum {

/** The text of each exchanged control (the search box to the last flag box), by control id. */
class CMemoryControls {
 public:
  /** Throws std::out_of_range for an id that is not an exchanged edit box. */
  std::string& Text(int controlId);
  /** Exchanges every control with its field, as the dialog's exchange pairs them. */
  void Exchange(CEntityDlg& dialog, bool saveAndValidate);
  /** Exchanges one control only, with the field the dialog's exchange pairs it with. */
  void ExchangeOne(CEntityDlg& dialog, bool saveAndValidate, int controlId);

 private:
  static constexpr int kFirstId = IDC_SEARCH;
  static constexpr int kLastId = IDC_FLAG1 + CEntityDlg::kFlagSlots - 1;
  static constexpr std::size_t kControls = kLastId - kFirstId + 1;

  static std::size_t IndexOf(int controlId);
  void LearnFields(CEntityDlg& dialog);
  void ExchangeAt(std::size_t index, bool saveAndValidate);

  std::array<std::string, kControls> m_texts;
  /** The field each control is exchanged with (none: the exchange leaves it out), learnt from m_boundDialog. */
  std::array<std::string*, kControls> m_fields{};
  const CEntityDlg* m_boundDialog = nullptr;
};

/**
 * A dialog's services played from a script: each chooser takes the next answer given in
 * advance (nothing: the user cancels); messages and exchanges are logged in order.
 */
class CScriptedServices final : public IDialogServices {
 public:
  std::optional<std::string> ChooseFileToOpen(const FileChooserOptions& options) override;
  std::optional<std::string> ChooseFileToSave(const FileChooserOptions& options) override;
  std::optional<std::string> ChooseMapInArchive(const std::string& archivePath,
                                                const std::vector<std::string>& mapNames) override;
  void MessageBox(const std::string& text) override;
  void UpdateData(bool saveAndValidate) override;

  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::deque<std::optional<std::string>> mapAnswers;  ///< for the archive's map picker
  /** Called with each message as it is shown, besides logging it. */
  std::function<void(const std::string&)> onMessage;
  /** Off for long runs (many presses) where nobody reads the log of events. */
  bool logEvents = true;
  /**
   * Exchange the search box alone, for a front end that shows no boxes (the command-line
   * tool): it types into the search box and reads what a command found from the record,
   * and a search through a whole map would otherwise spend most of its time filling
   * seventy boxes that nobody sees, twice per entity.
   */
  bool searchBoxOnly = false;

  std::vector<FileChooserOptions> openRequests;
  std::vector<FileChooserOptions> saveRequests;
  /** Each archive whose maps were offered, with the maps offered. */
  std::vector<std::pair<std::string, std::vector<std::string>>> mapRequests;
  std::vector<std::string> messages;
  /** "open chooser", "save chooser", "map picker", "message", "save" (controls to fields), "load". */
  std::vector<std::string> events;

  CMemoryControls controls;
  CEntityDlg* dialog = nullptr;  ///< the record the exchanges move

 private:
  void Log(const char* event);
};

/** A record wired to scripted services, initialised as the dialog initialises it. */
class CHeadlessDialog {
 public:
  CHeadlessDialog();
  CHeadlessDialog(const CHeadlessDialog&) = delete;
  CHeadlessDialog& operator=(const CHeadlessDialog&) = delete;

  /** Open BSP on path, as if chosen in the chooser. */
  CommandOutcome Open(const std::string& path);
  /** Analyse Entity with text typed into the search box. */
  CommandOutcome Search(const std::string& text);
  /** Create list into path, as if chosen in the save chooser. */
  CommandOutcome CreateList(const std::string& path);

  CScriptedServices services;
  CEntityDlg dialog;
};

}  // namespace kestrum
