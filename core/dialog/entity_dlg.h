// The main window record and the entity commands that work on it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "dialog_services.h"
#include "entity_search.h"
#include "entity_slots.h"
#include "file.h"
#include "locator.h"

namespace kestrum {

/** How a command ended, for front ends that report more than the message (exit codes). */
enum class CommandOutcome {
  Done,          ///< the command did its work
  Cancelled,     ///< the user cancelled a chooser
  NothingFound,  ///< no entities in the map, no map in the archive, or no entity matched the search
  NoBspLoaded,   ///< no map has been chosen yet
  FileError,     ///< a file could not be opened, read or written; the message says which
  ListCutShort,  ///< the list was written, but the map's entities end in an entity cut short
};

/**
 * The state of the main dialog and its three commands: Open BSP, Create list and
 * Analyse Entity. The dialog itself (controls, choosers, message boxes) is reached only
 * through IDialogServices, so the same commands run in the Qt dialog, in the command-line
 * tool and in tests.
 *
 * Fields are public, as the fields of a dialog are to its data exchange. Every string
 * holds bytes: whatever the map holds, 0x01 to 0xFF, goes to the fields unchanged.
 */
class CEntityDlg {
 public:
  static constexpr int kPairSlots = kestrum::kPairSlots;
  static constexpr int kFlagSlots = kestrum::kFlagSlots;

  explicit CEntityDlg(IDialogServices& services);
  CEntityDlg(const CEntityDlg&) = delete;
  CEntityDlg& operator=(const CEntityDlg&) = delete;

  /** The values the dialog sets when it initialises, before the first command runs. */
  void SetStartValues();

  /**
   * Moves the search text, keys 1-30, values 1-30 and flags 1-12, in control order: the
   * same field with each control every time, whichever the direction (CMemoryControls
   * learns the pairs once and relies on it).
   */
  void DoDataExchange(CDataExchange& dx);

  CommandOutcome OnOpenBsp();
  /**
   * Opens the map named, as Open BSP does with what its chooser returns: a map file,
   * ARCHIVE:MEMBER, or an archive, whose maps are offered to choose one. For front ends
   * that are given a name without a chooser: a command-line argument, a dropped file.
   */
  CommandOutcome OpenBspNamed(const std::string& name);
  CommandOutcome OnCreateList();
  CommandOutcome OnAnalyseEntity();

  /**
   * The dialog's buttons and their commands, in one place for every front end: runs the
   * command of the button controlId and returns how it ended; nothing for an id that is
   * no command button (OK is the dialog's own).
   */
  std::optional<CommandOutcome> OnCommand(int controlId);

  /** Splits a spawnflags value into its weights and writes each into its flag slot. */
  void ShowSpawnflags(int value);

  std::string m_search;
  PairSlots m_keys;    ///< slots 1-30 shown; 0 never used
  PairSlots m_values;  ///< value n belongs to key n
  FlagSlots m_flags;   ///< slots 1-12 shown; 0 never used
  CFile m_listFile;
  std::string m_bspPath;            ///< empty: no map chosen yet; a map file's path, or ARCHIVE:MEMBER
  std::string m_listPath;           ///< the list chosen in the last export
  std::string m_lastSearch;         ///< the text the search last ran with
  std::int32_t m_entityOffset = 0;  ///< the first entity's "{", 0 when none was found
  std::int32_t m_cursor = 0;        ///< where the next search press resumes
  std::int32_t m_matchCount = 0;    ///< matches for the current search text; 0 starts over
  std::int32_t m_foundOffset = 0;   ///< where the entity last found by the search begins

 private:
  void UpdateData(bool saveAndValidate) { m_services.UpdateData(saveAndValidate); }
  void MessageBox(std::string_view text) { m_services.MessageBox(std::string(text)); }
  EntitySlots Slots() { return {m_keys, m_values, m_flags}; }
  void StartSearchOver();
  /** Open BSP's end, once the map is named: a map file or ARCHIVE:MEMBER. */
  CommandOutcome OpenMapNamed(const std::string& name);
  /**
   * The chosen map's bytes, for one command: a map file (held open until the command
   * drops them) or a member of an archive. Throws CInputError.
   */
  static std::shared_ptr<const IByteSource> OpenBsp(const std::string& name);

  IDialogServices& m_services;

  // Buffers of the commands, one of each for the dialog's life.
  LookBackWindow m_lookBackWindow{};
  SearchBuffers m_searchBuffers;  ///< the entity window, and the entity last read
};

}  // namespace kestrum
