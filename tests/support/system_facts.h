// What the file tests provoke differs by system: the words for each failure, the
// devices, links and pipes. Each system's file says it once, so the tests themselves
// run unchanged on Linux and on Windows.
#pragma once

#include <string>

namespace kestrum::test {

/** The system's words for the failures the tests provoke, as the file object reports them. */
struct SystemReasons {
  std::string noSuchFile;    ///< a file that does not exist
  std::string noSuchFolder;  ///< a path through a folder that does not exist
  std::string isFolder;      ///< a folder opened as a map
  std::string accessDenied;
  std::string ioError;
  std::string diskFull;
  std::string otherDevice;  ///< a rename from one device to another
};
const SystemReasons& Reasons();

/** A device on which every write fails for want of space, or "" where the system has none. */
std::string FullDevice();

/** A device that reads as empty: not a map, and not a file to wait on. */
std::string NullDevice();

/** Another name for target: a symbolic link; on Windows, where those need a privilege, a hard link. */
void LinkTo(const std::string& target, const std::string& link);

/** Makes a file unreadable for this process; false where that cannot be done (root reads anything). */
bool MakeUnreadable(const std::string& path);

/** Whether files carry permission bits that a rewrite must keep (Windows has none). */
bool HasPermissionBits();

/**
 * While it lives, the process's standard output (descriptor 1) goes to the file at path,
 * opened as a shell's ">> path" (Append) or "1<> path" (ReadWrite) opens it.
 */
class CStandardOutputTo {
 public:
  enum class Opening { Append, ReadWrite };
  CStandardOutputTo(const std::string& path, Opening opening);
  ~CStandardOutputTo();
  CStandardOutputTo(const CStandardOutputTo&) = delete;
  CStandardOutputTo& operator=(const CStandardOutputTo&) = delete;

 private:
  int m_saved;  ///< a copy of the descriptor standard output had before
};

/** A pipe nobody writes to, at a path the program can open; it goes with the object. */
class CIdlePipe {
 public:
  explicit CIdlePipe(const std::string& folder);
  ~CIdlePipe();
  CIdlePipe(const CIdlePipe&) = delete;
  CIdlePipe& operator=(const CIdlePipe&) = delete;

  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
  void* m_handle = nullptr;  ///< the listening end, where the system has one
};

}  // namespace kestrum::test
