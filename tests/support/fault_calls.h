// The file object's system calls made to fail on purpose: a full disk, a short read, a
// file that cannot be opened. The plan says what fails; each system's file carries it out
// on that system's calls, so the fault injection tests run unchanged everywhere.
#pragma once

#include <memory>
#include <string>

namespace kestrum::test {

/** What the injected calls do; reset for every test. */
struct FaultPlan {
  std::string failOpenOf;      ///< opening a path containing this is denied
  long long readBudget = -1;   ///< bytes delivered before reads fail with an I/O error; -1: no limit
  std::size_t readChunk = 0;   ///< most bytes one read delivers; 0: no limit
  long long writeBudget = -1;  ///< bytes written before writes fail for want of space
  bool failLength = false;     ///< measuring an open file fails with an I/O error
  bool failCloseAfterWrite = false;
  bool failReplace = false;         ///< putting the new list in place fails: another device
  bool listWriteProtected = false;  ///< the existing list may not be written, as for anyone but root
  bool noUnnamedFiles = false;      ///< POSIX: a file system without O_TMPFILE (Windows never has them)
  int failUnnamedWith = 0;          ///< POSIX: creating an unnamed file fails with this errno
  int failLinkWith = 0;             ///< POSIX: naming the unnamed file fails with this errno
  bool ownerChangeRefused = false;  ///< POSIX: giving a file to another user fails, as for anyone but root
  bool wrote = false;
};

/** The plan the injected calls follow. */
FaultPlan& Plan();

/** Makes the file object use the injected calls while it lives. */
class CInjectedFaults {
 public:
  CInjectedFaults();
  ~CInjectedFaults();
  CInjectedFaults(const CInjectedFaults&) = delete;
  CInjectedFaults& operator=(const CInjectedFaults&) = delete;

 private:
  struct Scope;
  std::unique_ptr<Scope> m_scope;
};

}  // namespace kestrum::test
