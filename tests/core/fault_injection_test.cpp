// Every file operation the commands use, made to fail: each failure ends the command
// with a message naming the file and the reason, leaves the record consistent, and never
// leaves a list file truncated or half-written.
#include <functional>
#include <vector>

#include "fault_injection_fixture.h"
#include "system_facts.h"

namespace kestrum {
namespace {

test::FaultPlan& g_plan = test::Plan();

TEST_F(FaultInjectionTest, shortReadsChangeNothing) {
  g_plan.readChunk = 7;
  const test::CInjectedFaults faults;
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
  const test::CInjectedFaults faults;
  struct Case {
    std::function<void()> plan;
    std::string reason;
  };
  const std::vector<Case> cases{
      {[] { g_plan.failOpenOf = "other.bsp"; }, test::Reasons().accessDenied},
      {[] { g_plan.readBudget = 50'000; }, test::Reasons().ioError},
      {[] { g_plan.failLength = true; }, test::Reasons().ioError},
  };
  for (const Case& failing : cases) {
    g_plan = test::FaultPlan{};
    failing.plan();
    m_ui.services.messages.clear();
    EXPECT_EQ(m_ui.Open(other), CommandOutcome::FileError);
    ExpectOneMessage(other, failing.reason);
    EXPECT_EQ(m_ui.dialog.m_bspPath, m_bspPath);
    EXPECT_EQ(m_ui.dialog.m_entityOffset, m_map.lumpOffset);
  }
}

TEST_F(FaultInjectionTest, exportThatCannotReadTheMapLeavesTheListAlone) {
  const test::CInjectedFaults faults;
  g_plan.readBudget = 3000;  // fails within the entities
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_bspPath, test::Reasons().ioError);
  ExpectListUntouched();

  g_plan = test::FaultPlan{};
  g_plan.failOpenOf = "map.bsp";
  m_ui.services.messages.clear();
  EXPECT_EQ(m_ui.dialog.OnCreateList(), CommandOutcome::FileError);
  ExpectOneMessage(m_bspPath, test::Reasons().accessDenied);
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, exportOnAFullDiskLeavesTheListAlone) {
  const test::CInjectedFaults faults;
  g_plan.writeBudget = 100;
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, test::Reasons().diskFull);
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, exportWhoseLastWriteFailsOnCloseLeavesTheListAlone) {
  const test::CInjectedFaults faults;
  g_plan.failCloseAfterWrite = true;
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, test::Reasons().ioError);
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, exportThatCannotReplaceTheListLeavesItAlone) {
  const test::CInjectedFaults faults;
  g_plan.failReplace = true;
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, test::Reasons().otherDevice);
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, aFolderThatTakesNoNewFileIsNamedWithTheList) {
  const test::CInjectedFaults faults;
  g_plan.noUnnamedFiles = true;  // the new list gets a temporary name at once
  g_plan.failOpenOf = ".kestrum-";
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, test::Reasons().accessDenied);
  EXPECT_THAT(m_ui.services.messages[0], ::testing::HasSubstr("the folder \"" + m_dir.Path() + "\""));
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, aWriteProtectedListIsRefusedAsAShellRefusesIt) {
  const test::CInjectedFaults faults;
  g_plan.listWriteProtected = true;
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::FileError);
  ExpectOneMessage(m_listPath, test::Reasons().accessDenied);
  ExpectListUntouched();
}

TEST_F(FaultInjectionTest, searchThatCannotReadKeepsItsPlace) {
  ASSERT_EQ(m_ui.Search("light"), CommandOutcome::Done);
  const std::int32_t cursor = m_ui.dialog.m_cursor;
  const std::string shownKey = m_ui.services.controls.Text(1005);
  {
    const test::CInjectedFaults faults;
    g_plan.readBudget = 0;
    EXPECT_EQ(m_ui.Search("light"), CommandOutcome::FileError);
    ExpectOneMessage(m_bspPath, test::Reasons().ioError);
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
  EXPECT_THAT(list,
              ::testing::EndsWith("\"classname\" \"light\"\n\"origin\" \"544 64 160\"\n\"light\" \"225\"\n}\r\n\r\n"));
  EXPECT_THAT(list, ::testing::Not(::testing::HasSubstr("func_door")));

  // Grown: what now follows the lump is read as far as the stepping goes.
  test::WriteFile(m_bspPath, m_map.bytes + std::string(1 << 20, 'x'));
  EXPECT_EQ(m_ui.Search("path_corner"), CommandOutcome::Done);
}

}  // namespace
}  // namespace kestrum
