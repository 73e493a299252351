// Every file operation the commands use, made to fail: each failure ends the command
// with a message naming the file and the reason, leaves the record consistent, and never
// leaves a list file truncated or half-written.
#include "map_builder.h"
#include "headless_dialog.h"
#include "system_calls.h"
#include "test_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>

namespace kestrum {
namespace {

/** What the injected calls do; reset for every test. */
struct FaultPlan {
  std::string failOpenOf;       ///< open of a path containing this fails with openError
  int openError = EACCES;
  long long readBudget = -1;    ///< bytes delivered before reads fail with EIO; -1: no limit
  std::size_t readChunk = 0;    ///< most bytes one read delivers; 0: no limit
  long long writeBudget = -1;   ///< bytes written before writes fail with ENOSPC
  bool failFstat = false;
  bool failCloseAfterWrite = false;
  bool failRename = false;
  bool listWriteProtected = false;  ///< as a list of mode 0444 is for anyone but root
  bool noUnnamedFiles = false;      ///< a file system without O_TMPFILE
  int failUnnamedWith = 0;          ///< creating an unnamed file fails with this
  int failLinkWith = 0;
  bool wrote = false;
};

FaultPlan g_plan;

int FaultyOpen(const char* path, int flags, mode_t mode) {
  if ((flags & O_TMPFILE) == O_TMPFILE && (g_plan.noUnnamedFiles || g_plan.failUnnamedWith != 0)) {
    errno = g_plan.noUnnamedFiles ? EOPNOTSUPP : g_plan.failUnnamedWith;
    return -1;
  }
  if (!g_plan.failOpenOf.empty() && std::strstr(path, g_plan.failOpenOf.c_str())) {
    errno = g_plan.openError;
    return -1;
  }
  return RealSystemCalls().open(path, flags, mode);
}

ssize_t FaultyPread(int fd, void* buffer, std::size_t count, off_t offset) {
  if (g_plan.readChunk) count = std::min(count, g_plan.readChunk);
  if (g_plan.readBudget >= 0) {
    if (g_plan.readBudget == 0) {
      errno = EIO;
      return -1;
    }
    count = std::min<std::size_t>(count, static_cast<std::size_t>(g_plan.readBudget));
  }
  const ssize_t got = RealSystemCalls().pread(fd, buffer, count, offset);
  if (got > 0 && g_plan.readBudget >= 0) g_plan.readBudget -= got;
  return got;
}

ssize_t FaultyWrite(int fd, const void* data, std::size_t count) {
  g_plan.wrote = true;
  if (g_plan.writeBudget >= 0) {
    if (g_plan.writeBudget == 0) {
      errno = ENOSPC;
      return -1;
    }
    count = std::min<std::size_t>(count, static_cast<std::size_t>(g_plan.writeBudget));
    g_plan.writeBudget -= static_cast<long long>(count);
  }
  return RealSystemCalls().write(fd, data, count);
}

int FaultyFstat(int fd, struct stat* status) {
  if (g_plan.failFstat) {
    errno = EIO;
    return -1;
  }
  return RealSystemCalls().fstat(fd, status);
}

int FaultyClose(int fd) {
  const int result = RealSystemCalls().close(fd);
  if (g_plan.failCloseAfterWrite && g_plan.wrote) {
    errno = EIO;
    return -1;
  }
  return result;
}

int FaultyRename(const char* from, const char* to) {
  if (g_plan.failRename) {
    errno = EXDEV;
    return -1;
  }
  return RealSystemCalls().rename(from, to);
}

int FaultyAccess(const char* path, int mode) {
  if (g_plan.listWriteProtected) {
    errno = EACCES;
    return -1;
  }
  return RealSystemCalls().access(path, mode);
}

int FaultyLinkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
  if (g_plan.failLinkWith != 0) {
    errno = g_plan.failLinkWith;
    return -1;
  }
  return RealSystemCalls().linkat(fromFolder, from, toFolder, to, flags);
}

const SystemCalls kFaultyCalls{&FaultyOpen,  &FaultyPread,  &FaultyWrite,  &FaultyFstat,
                               &FaultyClose, &FaultyRename, &FaultyAccess, &FaultyLinkat};

class FaultInjectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_plan = FaultPlan{};
    // A large map: scanned only in its last tenth, where the lump lies.
    m_map = mapgen::BuildMap(mapgen::EntityLump(mapgen::DemoEntities()), 1'200'000, 4000);
    test::WriteFile(m_bspPath, m_map.bytes);
    test::WriteFile(m_listPath, "the previous list\r\n");
    ASSERT_EQ(m_ui.Open(m_bspPath), CommandOutcome::Done);
    m_ui.services.messages.clear();
  }

  /** The only message shown; it must name the file and the reason. */
  void ExpectOneMessage(const std::string& file, const std::string& reason) {
    ASSERT_EQ(m_ui.services.messages.size(), 1u);
    EXPECT_THAT(m_ui.services.messages[0], ::testing::HasSubstr("\"" + file + "\""));
    EXPECT_THAT(m_ui.services.messages[0], ::testing::HasSubstr(reason));
  }

  /** The list is what it was and no temporary file is left beside it. */
  void ExpectListUntouched() {
    EXPECT_EQ(test::ReadFile(m_listPath), "the previous list\r\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) ++entries;
    EXPECT_EQ(entries, 2);
  }

  test::TempDir m_dir;
  const std::string m_bspPath = m_dir.File("map.bsp");
  const std::string m_listPath = m_dir.File("map.txt");
  mapgen::BuiltMap m_map;
  CHeadlessDialog m_ui;
};

TEST_F(FaultInjectionTest, shortReadsChangeNothing) {
  g_plan.readChunk = 7;
  const ScopedSystemCalls faults(kFaultyCalls);
  EXPECT_EQ(m_ui.Open(m_bspPath), CommandOutcome::Done);
  EXPECT_EQ(m_ui.dialog.m_entityOffset, m_map.lumpOffset);
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::Done);
  EXPECT_EQ(m_ui.Search("monster_dog"), CommandOutcome::Done);
  EXPECT_EQ(m_ui.dialog.m_flags[11], "512");
  EXPECT_TRUE(m_ui.services.messages.empty());

  std::string expected;
  for (const auto& entity : mapgen::DemoEntities()) expected += mapgen::EntityText(entity) + "\r\n\r\n";
  EXPECT_EQ(test::ReadFile(m_listPath), expected);
}

TEST_F(FaultInjectionTest, openBspThatCannotBeOpenedReadOrMeasuredKeepsThePreviousMap) {
  const std::string other = m_dir.File("other.bsp");
  test::WriteFile(other, m_map.bytes);
  const ScopedSystemCalls faults(kFaultyCalls);
  struct Case {
    std::function<void()> plan;
    std::string reason;
  };
  const std::vector<Case> cases{
      {[] { g_plan.failOpenOf = "other.bsp"; }, "Permission denied"},
      {[] { g_plan.readBudget = 50'000; }, "Input/output error"},
      {[] { g_plan.failFstat = true; }, "Input/output error"},
  };
  for (const Case& failing : cases) {
    g_plan = FaultPlan{};
    failing.plan();
    m_ui.services.messages.clear();
    EXPECT_EQ(m_ui.Open(other), CommandOutcome::FileError);
    ExpectOneMessage(other, failing.reason);
    EXPECT_EQ(m_ui.dialog.m_bspPath, m_bspPath);
    EXPECT_EQ(m_ui.dialog.m_entityOffset, m_map.lumpOffset);
  }
}

TEST_F(FaultInjectionTest, exportThatCannotReadTheMapLeavesTheListAlone) {
  const ScopedSystemCalls faults(kFaultyCalls);
  g_plan.readBudget = 3000;  // fails within the entities
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_bspPath, "Input/output error");
  ExpectListUntouched();

  g_plan = FaultPlan{};
  g_plan.failOpenOf = "map.bsp";
  m_ui.services.messages.clear();
  EXPECT_EQ(m_ui.dialog.OnCreateList(), CommandOutcome::FileError);
  ExpectOneMessage(m_bspPath, "Permission denied");
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, exportOnAFullDiskLeavesTheListAlone) {
  const ScopedSystemCalls faults(kFaultyCalls);
  g_plan.writeBudget = 100;
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, "No space left on device");
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, exportWhoseLastWriteFailsOnCloseLeavesTheListAlone) {
  const ScopedSystemCalls faults(kFaultyCalls);
  g_plan.failCloseAfterWrite = true;
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, "Input/output error");
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, exportThatCannotReplaceTheListLeavesItAlone) {
  const ScopedSystemCalls faults(kFaultyCalls);
  g_plan.failRename = true;
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, "Invalid cross-device link");
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, aFolderThatTakesNoNewFileIsNamedWithTheList) {
  const ScopedSystemCalls faults(kFaultyCalls);
  // Either way of making the new list: unnamed, or under a temporary name.
  for (const bool unnamedFiles : {true, false}) {
    g_plan.noUnnamedFiles = !unnamedFiles;
    g_plan.failUnnamedWith = unnamedFiles ? EACCES : 0;
    g_plan.failOpenOf = unnamedFiles ? "" : "/.kestrum-";
    m_ui.services.messages.clear();
    EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
    ExpectOneMessage(m_listPath, "Permission denied");
    EXPECT_THAT(m_ui.services.messages[0], ::testing::HasSubstr("the folder \"" + m_dir.Path() + "\""));
    ExpectListUntouched();
  }
  // Naming the finished list fails.
  g_plan = FaultPlan{};
  g_plan.failLinkWith = EROFS;
  m_ui.services.messages.clear();
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, "Read-only file system");
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, aWriteProtectedListIsRefusedAsAShellRefusesIt) {
  const ScopedSystemCalls faults(kFaultyCalls);
  g_plan.listWriteProtected = true;
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, "Permission denied");
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, interruptedReadsAndWritesAreResumed) {
  static int s_interruptions = 0;
  static const SystemCalls interrupting{
      RealSystemCalls().open,
      [](int fd, void* buffer, size_t count, off_t offset) -> ssize_t {
        if (++s_interruptions % 2 == 1) {
          errno = EINTR;
          return -1;
        }
        return RealSystemCalls().pread(fd, buffer, count, offset);
      },
      [](int fd, const void* data, size_t count) -> ssize_t {
        if (++s_interruptions % 2 == 1) {
          errno = EINTR;
          return -1;
        }
        return RealSystemCalls().write(fd, data, count);
      },
      RealSystemCalls().fstat, RealSystemCalls().close, RealSystemCalls().rename,
      RealSystemCalls().access, RealSystemCalls().linkat};
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

TEST_F(FaultInjectionTest, searchThatCannotReadKeepsItsPlace) {
  ASSERT_EQ(m_ui.Search("light"), CommandOutcome::Done);
  const std::int32_t cursor = m_ui.dialog.m_cursor;
  const std::string shownKey = m_ui.services.controls.Text(1005);
  {
    const ScopedSystemCalls faults(kFaultyCalls);
    g_plan.readBudget = 0;
    EXPECT_EQ(m_ui.Search("light"), CommandOutcome::FileError);
    ExpectOneMessage(m_bspPath, "Input/output error");
  }
  EXPECT_EQ(m_ui.dialog.m_cursor, cursor);
  EXPECT_EQ(m_ui.dialog.m_matchCount, 1);
  EXPECT_EQ(m_ui.services.controls.Text(1005), shownKey);
  EXPECT_EQ(m_ui.Search("light"), CommandOutcome::Done);
  EXPECT_EQ(m_ui.dialog.m_matchCount, 2);
}

TEST_F(FaultInjectionTest, mapThatChangesBetweenCommandsIsReadAsItIsNow) {
  // Cut inside the lump: the export writes the entities that are still whole.
  const std::string lump = mapgen::EntityLump(mapgen::DemoEntities());
  const std::size_t cut = static_cast<std::size_t>(m_map.lumpOffset) + lump.find("\"classname\" \"func_door\"");
  test::WriteFile(m_bspPath, m_map.bytes.substr(0, cut));
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::ListCutShort);
  const std::string list = test::ReadFile(m_listPath);
  EXPECT_THAT(list, ::testing::EndsWith("\"classname\" \"light\"\n\"origin\" \"544 64 160\"\n\"light\" \"225\"\n}\r\n\r\n"));
  EXPECT_THAT(list, ::testing::Not(::testing::HasSubstr("func_door")));

  // Grown: what now follows the lump is read as far as the stepping goes.
  test::WriteFile(m_bspPath, m_map.bytes + std::string(1 << 20, 'x'));
  EXPECT_EQ(m_ui.Search("path_corner"), CommandOutcome::Done);
}

}  // namespace
}  // namespace kestrum
