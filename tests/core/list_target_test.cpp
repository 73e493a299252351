// Where a list goes, and that an existing one is never lost or changed in kind.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "fault_calls.h"
#include "headless_dialog.h"
#include "system_calls.h"
#include "system_facts.h"
#include "test_files.h"

namespace kestrum {
namespace {

using ::testing::HasSubstr;

const std::string kEntity = "{\n\"classname\" \"worldspawn\"\n}";
const std::string kList = kEntity + "\r\n\r\n";

class ListTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteFile(m_bspPath, std::string(200, '\x01') + kEntity + "\n" + std::string(1, '\0'));
    ASSERT_EQ(m_ui.Open(m_bspPath), CommandOutcome::Done);
  }

  std::vector<std::string> FolderEntries(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempDir m_dir;
  const std::string m_bspPath = m_dir.File("map.bsp");
  CHeadlessDialog m_ui;
};

TEST_F(ListTargetTest, aReplacedListKeepsItsPermissionBitsAndItsLink) {
  const std::string list = m_dir.File("shared.txt");
  test::WriteFile(list, "old");
  ASSERT_EQ(::chmod(list.c_str(), 0664), 0);  // the umask would take the group's write bit
  const std::string link = m_dir.File("link.txt");
  ASSERT_EQ(::symlink("shared.txt", link.c_str()), 0);

  EXPECT_EQ(m_ui.CreateList(link), CommandOutcome::Done);
  struct stat status {};
  ASSERT_EQ(::lstat(link.c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  ASSERT_EQ(::stat(list.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0664u);
  EXPECT_EQ(test::ReadFile(list), kList);

  // A link to a list that does not exist yet makes the list where it points.
  const std::string dangling = m_dir.File("later.txt");
  ASSERT_EQ(::symlink("sub/new.txt", dangling.c_str()), 0);
  std::filesystem::create_directory(m_dir.File("sub"));
  EXPECT_EQ(m_ui.CreateList(dangling), CommandOutcome::Done);
  ASSERT_EQ(::lstat(dangling.c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  EXPECT_EQ(test::ReadFile(m_dir.File("sub/new.txt")), kList);
}

TEST_F(ListTargetTest, theNewListIsMadeBesideTheListNotInTheWorkingFolder) {
  const test::TempDir elsewhere;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.Path());
  // A name as long as a file name may be: the temporary name must not be longer.
  const std::string list = m_dir.File(std::string(251, 'n') + ".txt");
  const CommandOutcome outcome = m_ui.CreateList(list);
  std::filesystem::current_path(previous);
  EXPECT_EQ(outcome, CommandOutcome::Done) << m_ui.services.messages.back();
  EXPECT_EQ(test::ReadFile(list), kList);
  EXPECT_TRUE(FolderEntries(elsewhere.Path()).empty());
  EXPECT_EQ(FolderEntries(m_dir.Path()).size(), 2u);
}

TEST_F(ListTargetTest, theNewListIsMadeWhereALinkPointsNotBesideTheLink) {
  // The new list replaces the old by a rename, which works only within one file system:
  // it must be made in the folder of the list the link names, with or without unnamed files.
  static std::vector<std::string> s_created;
  static bool s_unnamed = true;
  static const SystemCalls recording = [] {
    SystemCalls calls = RealSystemCalls();
    calls.open = [](const char* path, int flags, mode_t mode) {
      const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE;
      if (unnamed && !s_unnamed) {
        errno = EOPNOTSUPP;
        return -1;
      }
      if (unnamed || (flags & O_CREAT) != 0) s_created.emplace_back(path);
      return RealSystemCalls().open(path, flags, mode);
    };
    return calls;
  }();
  std::filesystem::create_directory(m_dir.File("links"));
  std::filesystem::create_directory(m_dir.File("lists"));
  const std::string link = m_dir.File("links/list.txt");
  ASSERT_EQ(::symlink("../lists/real.txt", link.c_str()), 0);
  const ScopedSystemCalls seam(recording);
  for (const bool unnamed : {true, false}) {
    s_unnamed = unnamed;
    s_created.clear();
    EXPECT_EQ(m_ui.CreateList(link), CommandOutcome::Done);
    EXPECT_EQ(test::ReadFile(m_dir.File("lists/real.txt")), kList);
    ASSERT_EQ(s_created.size(), 1u);
    // An unnamed file is opened by its folder, a named one by its own path.
    const std::filesystem::path folder =
        unnamed ? std::filesystem::path(s_created[0]) : std::filesystem::path(s_created[0]).parent_path();
    EXPECT_EQ(std::filesystem::canonical(folder), std::filesystem::canonical(m_dir.File("lists")))
        << "unnamed files: " << unnamed;
  }
}

TEST_F(ListTargetTest, streamsAreWrittenStraightToWhatTheyAlreadyAre) {
  // A list on standard output while a shell appends that to a log: the log gets the
  // list added, not replaced by it.
  const std::string log = m_dir.File("log.txt");
  test::WriteFile(log, "earlier lines\n");
  const int appending = ::open(log.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(appending, 0);
  for (const std::string& stream :
       {"/dev/fd/" + std::to_string(appending), "/proc/self/fd/" + std::to_string(appending)}) {
    EXPECT_EQ(m_ui.CreateList(stream), CommandOutcome::Done) << stream;
  }
  ::close(appending);
  EXPECT_EQ(test::ReadFile(log), "earlier lines\n" + kList + kList);

  // A FIFO is written to, not replaced by a file.
  const std::string fifo = m_dir.File("list.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(m_ui.CreateList(fifo), CommandOutcome::Done);
  std::string received(kList.size() + 10, '\0');
  received.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::read(reader, received.data(), received.size()))));
  ::close(reader);
  EXPECT_EQ(received, kList);
  struct stat status {};
  ASSERT_EQ(::lstat(fifo.c_str(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST_F(ListTargetTest, standardOutputByAnyNameIsWrittenToNotReplaced) {
  // Standard output appended to a log, as by a shell's ">> log.txt"; every one of these
  // names is that stream, the last two by a link and as the file itself.
  const std::string log = m_dir.File("log.txt");
  test::WriteFile(log, "earlier lines\n");
  const std::string link = m_dir.File("out.txt");
  ASSERT_EQ(::symlink("/dev/stdout", link.c_str()), 0);
  const std::vector<std::string> names{
      "//dev/stdout", "/dev/./stdout", "/dev/../dev/stdout", "/proc/thread-self/fd/1", link, log};
  struct stat before {};
  ASSERT_EQ(::stat(log.c_str(), &before), 0);
  std::vector<CommandOutcome> outcomes;
  {
    const test::CStandardOutputTo redirected(log, test::CStandardOutputTo::Opening::Append);
    for (const std::string& name : names) outcomes.push_back(m_ui.CreateList(name));
  }
  EXPECT_EQ(outcomes, std::vector<CommandOutcome>(names.size(), CommandOutcome::Done))
      << ::testing::PrintToString(m_ui.services.messages);
  std::string expected = "earlier lines\n";
  for (std::size_t n = 0; n < names.size(); ++n) expected += kList;
  EXPECT_EQ(test::ReadFile(log), expected);
  struct stat after {};
  ASSERT_EQ(::stat(log.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the log was replaced";
}

TEST_F(ListTargetTest, aStandardOutputThatIsTheMapIsRefusedAndNothingChanges) {
  // Standard output is the map, opened for reading and writing by a shell's "1<> map.bsp".
  const std::string map = test::ReadFile(m_bspPath);
  CommandOutcome outcome = CommandOutcome::Done;
  {
    const test::CStandardOutputTo redirected(m_bspPath, test::CStandardOutputTo::Opening::ReadWrite);
    outcome = m_ui.CreateList("/dev/stdout");
  }
  EXPECT_EQ(outcome, CommandOutcome::FileError);
  ASSERT_EQ(m_ui.services.messages.size(), 1u);
  EXPECT_THAT(m_ui.services.messages[0], HasSubstr("\"/dev/stdout\": this is the map being read"));
  EXPECT_EQ(test::ReadFile(m_bspPath), map);
  EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{"map.bsp"});
}

TEST_F(ListTargetTest, someoneElsesListStaysTheirsWithoutSetIdBits) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a list to another user";
  constexpr uid_t kUser = 4321;
  constexpr gid_t kGroup = 8765;
  const std::string list = m_dir.File("theirs.txt");
  test::WriteFile(list, "their list");
  ASSERT_EQ(::chown(list.c_str(), kUser, kGroup), 0);
  ASSERT_EQ(::chmod(list.c_str(), 06777), 0);
  EXPECT_EQ(m_ui.CreateList(list), CommandOutcome::Done);
  struct stat status {};
  ASSERT_EQ(::stat(list.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, kUser);
  EXPECT_EQ(status.st_gid, kGroup);
  EXPECT_EQ(status.st_mode & 07777, 0777u);
  EXPECT_EQ(test::ReadFile(list), kList);

  // A process that may not give a file to another user keeps the group and still writes.
  ASSERT_EQ(::chmod(list.c_str(), 02775), 0);
  test::Plan() = test::FaultPlan{};
  test::Plan().ownerChangeRefused = true;
  {
    const test::CInjectedFaults faults;
    EXPECT_EQ(m_ui.CreateList(list), CommandOutcome::Done);
  }
  ASSERT_EQ(::stat(list.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, ::geteuid());
  EXPECT_EQ(status.st_gid, kGroup);
  EXPECT_EQ(status.st_mode & 07777, 0775u);
}

/** Runs an export in a child process that a signal ends while it writes. */
int ExportKilledBy(int signal, const std::string& bspPath, const std::string& listPath, bool unnamedFiles) {
  const pid_t child = ::fork();
  if (child == 0) {
    static int s_signal = signal;
    static bool s_unnamed = unnamedFiles;
    static const SystemCalls calls = [] {
      SystemCalls killing = RealSystemCalls();
      killing.open = [](const char* path, int flags, mode_t mode) {
        if (!s_unnamed && (flags & O_TMPFILE) == O_TMPFILE) {
          errno = EOPNOTSUPP;
          return -1;
        }
        return RealSystemCalls().open(path, flags, mode);
      };
      killing.write = [](int fd, const void* data, size_t count) {
        const ssize_t written = RealSystemCalls().write(fd, data, count);
        ::raise(s_signal);
        return written;
      };
      return killing;
    }();
    const ScopedSystemCalls killedWhileWriting(calls);
    CHeadlessDialog ui;
    ui.Open(bspPath);
    ui.CreateList(listPath);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

TEST_F(ListTargetTest, anInterruptedExportLeavesTheOldListAndNothingElse) {
  const std::string list = m_dir.File("map.txt");
  test::WriteFile(list, "the previous list");
  const std::vector<std::string> before = FolderEntries(m_dir.Path());
  struct Case {
    int signal;
    bool unnamedFiles;
  };
  // Without unnamed files the temporary file is removed on INT, TERM and HUP; with
  // them not even SIGKILL leaves one behind.
  for (const Case& c : {Case{SIGINT, false}, Case{SIGTERM, false}, Case{SIGHUP, false}, Case{SIGKILL, true}}) {
    EXPECT_EQ(ExportKilledBy(c.signal, m_bspPath, list, c.unnamedFiles), c.signal);
    EXPECT_EQ(FolderEntries(m_dir.Path()), before) << "signal " << c.signal;
    EXPECT_EQ(test::ReadFile(list), "the previous list");
  }
}

}  // namespace
}  // namespace kestrum
