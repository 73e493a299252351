#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "headless_dialog.h"
#include "map_builder.h"
#include "messages.h"
#include "resource.h"
#include "system_facts.h"
#include "test_files.h"

namespace kestrum {
namespace {

using ::testing::ElementsAre;

class OpenBspTest : public ::testing::Test {
 protected:
  test::TempDir m_dir;
  CHeadlessDialog m_ui;
  CEntityDlg& m_dialog = m_ui.dialog;
  CScriptedServices& m_services = m_ui.services;
};

std::string DemoMapIn(const test::TempDir& dir, mapgen::BuiltMap* built = nullptr) {
  const mapgen::BuiltMap map = mapgen::DemoMap();
  if (built) *built = map;
  const std::string path = dir.File("demo.bsp");
  test::WriteFile(path, map.bytes);
  return path;
}

TEST_F(OpenBspTest, findsTheFirstEntityAndTakesTheControlsIntoTheRecord) {
  mapgen::BuiltMap map;
  const std::string path = DemoMapIn(m_dir, &map);
  m_services.controls.Text(IDC_SEARCH) = "typed";
  m_services.controls.Text(IDC_VALUE1 + 2 * 29) = "value 30";

  EXPECT_EQ(m_ui.Open(path), CommandOutcome::Done);
  EXPECT_EQ(m_dialog.m_bspPath, path);
  EXPECT_EQ(m_dialog.m_entityOffset, map.lumpOffset);
  EXPECT_THAT(m_services.events, ElementsAre("open chooser", "save"));
  EXPECT_EQ(m_dialog.m_search, "typed");
  EXPECT_EQ(m_dialog.m_values[30], "value 30");
}

TEST_F(OpenBspTest, offersOnlyCompiledMaps) {
  m_services.openAnswers.emplace_back(std::nullopt);
  m_dialog.OnOpenBsp();
  ASSERT_EQ(m_services.openRequests.size(), 1u);
  const FileChooserOptions& options = m_services.openRequests[0];
  EXPECT_EQ(options.filterDescription, "Compiled map BSP bsp(*.bsp)");
  EXPECT_EQ(options.filterPattern, "*.bsp");
  EXPECT_EQ(options.defaultExtension, "bsp");
  EXPECT_EQ(options.initialName, "*.bsp");
  EXPECT_TRUE(options.fileMustExist);
  EXPECT_TRUE(options.hideReadOnly);
  EXPECT_FALSE(options.overwritePrompt);
}

TEST_F(OpenBspTest, withoutEntitiesShowsTheFieldsThenTheMessageThenTakesThemBack) {
  const std::string path = m_dir.File("plain.bsp");
  test::WriteFile(path, std::string(5000, 'x'));
  m_dialog.m_search = "from the record";
  m_services.controls.Text(IDC_SEARCH) = "typed";

  EXPECT_EQ(m_ui.Open(path), CommandOutcome::NothingFound);
  EXPECT_THAT(m_services.events, ElementsAre("open chooser", "load", "message", "save"));
  EXPECT_THAT(m_services.messages, ElementsAre(std::string(messages::kNoEntities)));
  EXPECT_EQ(m_dialog.m_search, "from the record");  // the load overwrote what was typed
  EXPECT_EQ(m_dialog.m_bspPath, path);
  EXPECT_EQ(m_dialog.m_entityOffset, 0);
}

TEST_F(OpenBspTest, tinyAndEmptyFilesHaveNoEntities) {
  for (const std::string& bytes :
       {std::string(), std::string("worldspawn"), std::string(4096, '\0'), std::string(3000, '{')}) {
    const std::string path = m_dir.File("tiny.bsp");
    test::WriteFile(path, bytes);
    EXPECT_EQ(m_ui.Open(path), CommandOutcome::NothingFound) << bytes.size();
    EXPECT_EQ(m_dialog.m_entityOffset, 0);
  }
}

TEST_F(OpenBspTest, cancellingResetsTheSearchButKeepsTheChosenMap) {
  mapgen::BuiltMap map;
  const std::string path = DemoMapIn(m_dir, &map);
  m_ui.Open(path);
  m_ui.Search("light");
  ASSERT_EQ(m_dialog.m_matchCount, 1);

  m_services.events.clear();
  m_services.openAnswers.emplace_back(std::nullopt);
  EXPECT_EQ(m_dialog.OnOpenBsp(), CommandOutcome::Cancelled);
  EXPECT_THAT(m_services.events, ElementsAre("open chooser"));
  EXPECT_EQ(m_dialog.m_lastSearch, "");
  EXPECT_EQ(m_dialog.m_matchCount, 0);
  EXPECT_EQ(m_dialog.m_bspPath, path);
  EXPECT_EQ(m_dialog.m_entityOffset, map.lumpOffset);
}

TEST_F(OpenBspTest, aMapThatCannotBeOpenedKeepsThePreviousOneAndNamesTheReason) {
  mapgen::BuiltMap map;
  const std::string path = DemoMapIn(m_dir, &map);
  m_ui.Open(path);
  const std::string missing = m_dir.File("gone.bsp");
  const std::string unreadable = m_dir.File("locked.bsp");
  test::WriteFile(unreadable, map.bytes);

  struct Case {
    std::string path;
    std::string reason;
  };
  const test::SystemReasons& reasons = test::Reasons();
  std::vector<Case> cases{{missing, reasons.noSuchFile}, {m_dir.Path(), reasons.isFolder}};
  if (test::MakeUnreadable(unreadable)) cases.push_back({unreadable, reasons.accessDenied});
  for (const Case& failing : cases) {
    m_services.messages.clear();
    m_services.events.clear();
    EXPECT_EQ(m_ui.Open(failing.path), CommandOutcome::FileError);
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_NE(m_services.messages[0].find(failing.path), std::string::npos) << m_services.messages[0];
    EXPECT_NE(m_services.messages[0].find(failing.reason), std::string::npos) << m_services.messages[0];
    EXPECT_THAT(m_services.events, ElementsAre("open chooser", "message"));
    EXPECT_EQ(m_dialog.m_bspPath, path);
    EXPECT_EQ(m_dialog.m_entityOffset, map.lumpOffset);
  }
}

TEST_F(OpenBspTest, refusesMapsOf2GiBAndMore) {
  const std::string path = m_dir.File("huge.bsp");
  test::WriteFile(path, "");
  std::filesystem::resize_file(std::filesystem::u8path(path), 0x80000000LL);  // sparse: no disk space used

  EXPECT_EQ(m_ui.Open(path), CommandOutcome::FileError);
  ASSERT_EQ(m_services.messages.size(), 1u);
  EXPECT_NE(m_services.messages[0].find("2 GiB"), std::string::npos) << m_services.messages[0];
  EXPECT_EQ(m_dialog.m_bspPath, "");
}

TEST_F(OpenBspTest, readsTheMapThroughALinkAndRefusesPipesAndDevicesAtOnce) {
  const std::string path = DemoMapIn(m_dir);
  const std::string link = m_dir.File("link.bsp");
  test::LinkTo(path, link);
  EXPECT_EQ(m_ui.Open(link), CommandOutcome::Done);

  // Nobody writes to the pipe: a blocking open would never return.
  const test::CIdlePipe pipe(m_dir.Path());
  for (const std::string& notAFile : {pipe.Path(), test::NullDevice()}) {
    EXPECT_EQ(m_ui.Open(notAFile), CommandOutcome::FileError) << notAFile;
    EXPECT_EQ(m_ui.services.messages.back(), "\"" + notAFile + "\" is not a regular file");
    EXPECT_EQ(m_ui.dialog.m_bspPath, link) << "the map chosen before stays chosen";
  }
}

}  // namespace
}  // namespace kestrum
