// Faults of the POSIX calls alone: unnamed files (O_TMPFILE) and naming them with
// linkat, and calls interrupted by a signal.
#include <fcntl.h>

#include <cerrno>

#include "fault_injection_fixture.h"
#include "system_calls.h"
#include "system_facts.h"

namespace kestrum {
namespace {

test::FaultPlan& g_plan = test::Plan();

TEST_F(FaultInjectionTest, anUnnamedListThatCannotBeMadeOrNamedNamesTheFolder) {
  const test::CInjectedFaults faults;
  g_plan.failUnnamedWith = EACCES;
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, test::Reasons().accessDenied);
  EXPECT_THAT(m_ui.services.messages[0], ::testing::HasSubstr("the folder \"" + m_dir.Path() + "\""));
  ExpectListUntouched();

  // Naming the finished list fails.
  g_plan = test::FaultPlan{};
  g_plan.failLinkWith = EROFS;
  m_ui.services.messages.clear();
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, "Read-only file system");
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, interruptedReadsAndWritesAreResumed) {
  static int s_interruptions = 0;
  // The real calls, but every other read and write is interrupted before it starts.
  static const SystemCalls interrupting = [] {
    SystemCalls calls = RealSystemCalls();
    calls.pread = [](int fd, void* buffer, size_t count, off_t offset) -> ssize_t {
      if (++s_interruptions % 2 == 1) {
        errno = EINTR;
        return -1;
      }
      return RealSystemCalls().pread(fd, buffer, count, offset);
    };
    calls.write = [](int fd, const void* data, size_t count) -> ssize_t {
      if (++s_interruptions % 2 == 1) {
        errno = EINTR;
        return -1;
      }
      return RealSystemCalls().write(fd, data, count);
    };
    return calls;
  }();
  const std::string expected = [this] {
    m_ui.CreateList(m_listPath);
    return test::ReadFile(m_listPath);
  }();
  test::WriteFile(m_listPath, "the previous list\r\n");
  m_ui.services.messages.clear();
  const ScopedSystemCalls faults(interrupting);
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::Done);
  EXPECT_EQ(test::ReadFile(m_listPath), expected);
  EXPECT_EQ(m_ui.Search("func_door"), CommandOutcome::Done);
  EXPECT_EQ(m_ui.dialog.m_keys[1], "classname");
  EXPECT_TRUE(m_ui.services.messages.empty());
  EXPECT_GT(s_interruptions, 4);
}

}  // namespace
}  // namespace kestrum
