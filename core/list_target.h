// Where an export writes, so that a failed export never destroys an existing list.
#pragma once

#include "file.h"

#include <string>

namespace kestrum {

/**
 * Opens the list file for one export. A regular file (existing or new) is written as a
 * temporary file beside it and put in its place by Commit; until then the old list stays
 * intact, and a target destroyed before Commit removes the temporary file. A device or a
 * pipe is written directly.
 *
 * Refuses a list path that names the map being read, also through a link: creating the
 * list would empty the map before it is read.
 */
class CListTarget {
 public:
  CListTarget(CFile& file, const std::string& listPath, const std::string& bspPath);
  ~CListTarget();
  CListTarget(const CListTarget&) = delete;
  CListTarget& operator=(const CListTarget&) = delete;

  /** Closes the written file and puts it in place of the list. */
  void Commit();

 private:
  CFile& m_file;
  std::string m_listPath;       ///< the file that Commit replaces
  std::string m_temporaryPath;  ///< empty when writing directly
  bool m_committed = false;
};

}  // namespace kestrum
