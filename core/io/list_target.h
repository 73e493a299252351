// Where an export writes, so that a failed or interrupted export never destroys an
// existing list and never leaves a partial one behind.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "file.h"
#include "file_identity.h"
#include "removal_on_signal.h"

namespace kestrum {

/**
 * Opens the list file for one export.
 *
 * A regular file (existing or new) is written as a new file in the list's folder and put
 * in the list's place by Commit; until then the old list stays intact. The new file has
 * no name until Commit where the system allows (a killed process leaves nothing), else a
 * short hidden name that is removed on failure and on INT, TERM or HUP. A replaced list
 * keeps its owner and group where the process may set them, and its permission bits but
 * the set-user and set-group ones; a list reached through a symbolic link is replaced
 * where the link points, and the link stays. A list the user may not write is refused.
 *
 * What the path is decides, not how it is spelled: one of the process's open files (a
 * standard stream, /dev/fd/N, by any name or link), the file standard output or error
 * goes to, a FIFO or a device is written straight to, never replaced.
 *
 * Refuses, before anything is written, a list that is one of the files being read, by
 * any name and standard output included: creating the list would empty the map, or the
 * archive holding it, before it is read.
 */
/**
 * The files an export, or the run it is part of, reads, known by what they are, not how
 * they are named: no list may be one of them. Made once for a run, so that a run of many
 * maps examines each of its files once, not once per list.
 */
class CFilesRead {
 public:
  CFilesRead() = default;
  explicit CFilesRead(const std::vector<std::string>& paths);
  CFilesRead(std::initializer_list<std::string> paths) : CFilesRead(std::vector<std::string>(paths)) {}

  bool Holds(const FileIdentity& identity) const;

 private:
  std::vector<FileIdentity> m_identities;
};

class CListTarget {
 public:
  /** @param filesRead every map and archive that the export, or the run it is part of, reads. */
  CListTarget(CFile& file, const std::string& listPath, const CFilesRead& filesRead);
  ~CListTarget();
  CListTarget(const CListTarget&) = delete;
  CListTarget& operator=(const CListTarget&) = delete;

  /** Closes the written file and puts it in place of the list. */
  void Commit();

 private:
  void OpenReplacement();

  CFile& m_file;
  std::string m_listName;       ///< the list as the user named it, for messages
  std::string m_listPath;       ///< the file that Commit replaces, links followed
  std::string m_folder;         ///< where the replacement is created
  bool m_replacing = false;     ///< false: written straight to the target
  bool m_unnamed = false;       ///< the replacement has no name until Commit
  std::string m_temporaryPath;  ///< the replacement's name, while it has one
  std::unique_ptr<CRemovalOnSignal> m_removal;
  bool m_committed = false;
};

}  // namespace kestrum
