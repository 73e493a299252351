// What the entity commands need of the dialog they run in: file choosers, a message
// box and the exchange of the record's fields with the controls. The Qt shell and the
// command-line tool implement it; tests script it.
#pragma once

#include <optional>
#include <string>

namespace kestrum {

/** How a file chooser is set up; the choosers of the platform honour what they can. */
struct FileChooserOptions {
  std::string filterDescription;  ///< e.g. "Compiled map BSP bsp(*.bsp)"
  std::string filterPattern;      ///< e.g. "*.bsp"
  std::string defaultExtension;   ///< appended when the chosen name has none
  std::string initialName;        ///< the name offered when the chooser opens
  /**
   * Only an existing file may be chosen. Open choosers honour it; a save chooser, where
   * naming a new list is the point, lets the user name any file.
   */
  bool fileMustExist = false;
  bool overwritePrompt = false;  ///< ask before an existing file is replaced
  /** No "open as read-only" check box, where the platform's chooser has one (Windows). */
  bool hideReadOnly = false;
};

/**
 * One exchange between fields and controls, in one direction. DoDataExchange calls
 * Text once for each exchanged field.
 */
class CDataExchange {
 public:
  explicit CDataExchange(bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate) {}
  virtual ~CDataExchange() = default;
  CDataExchange(const CDataExchange&) = delete;
  CDataExchange& operator=(const CDataExchange&) = delete;

  /** Save: field = the control's whole text. Load: the control's text = field. */
  virtual void Text(int controlId, std::string& field) = 0;

  const bool m_bSaveAndValidate;  ///< true: controls to fields
};

class IDialogServices {
 public:
  virtual ~IDialogServices() = default;

  /** The chosen path, or nothing when the user cancelled. */
  virtual std::optional<std::string> ChooseFileToOpen(const FileChooserOptions& options) = 0;
  virtual std::optional<std::string> ChooseFileToSave(const FileChooserOptions& options) = 0;
  /** A modal message with the application's name as caption and one OK button. */
  virtual void MessageBox(const std::string& text) = 0;
  /** Runs the dialog's data exchange; true copies controls to fields, false fields to controls. */
  virtual void UpdateData(bool saveAndValidate) = 0;
};

}  // namespace kestrum
