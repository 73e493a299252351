// What the entity commands need of the dialog they run in: file choosers, a message
// box and the exchange of the record's fields with the controls. The Qt shell and the
// command-line tool implement it; tests script it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestrum {

/** One entry of a chooser's list of file types. */
struct FileFilter {
  std::string description;  ///< what the list shows, e.g. "Map archives (*.pk3;*.pk4;*.zip;*.pak)"
  std::string pattern;      ///< the names shown, e.g. "*.pk3;*.pk4;*.zip;*.pak": ";" between patterns
};

/** How a file chooser is set up; the choosers of the platform honour what they can. */
struct FileChooserOptions {
  // The first entry of the list of file types, the one the chooser opens with.
  std::string filterDescription;        ///< e.g. "Compiled map BSP bsp(*.bsp)"
  std::string filterPattern;            ///< e.g. "*.bsp"
  std::vector<FileFilter> moreFilters;  ///< the entries after the first, in order
  std::string defaultExtension;         ///< appended when the chosen name has none
  std::string initialName;              ///< the name offered when the chooser opens
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
  /**
   * Which map of an archive to open: one of mapNames (the archive's maps, at least one,
   * in the order to show them), or nothing when the user cancelled.
   */
  virtual std::optional<std::string> ChooseMapInArchive(const std::string& archivePath,
                                                        const std::vector<std::string>& mapNames) = 0;
  /** A modal message with the application's name as caption and one OK button. */
  virtual void MessageBox(const std::string& text) = 0;
  /** Runs the dialog's data exchange; true copies controls to fields, false fields to controls. */
  virtual void UpdateData(bool saveAndValidate) = 0;
};

}  // namespace kestrum
