#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "archive_builder.h"
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

TEST_F(OpenBspTest, offersCompiledMapsFirstThenMapArchives) {
  m_services.openAnswers.emplace_back(std::nullopt);
  m_dialog.OnOpenBsp();
  ASSERT_EQ(m_services.openRequests.size(), 1u);
  const FileChooserOptions& options = m_services.openRequests[0];
  EXPECT_EQ(options.filterDescription, "Compiled map BSP bsp(*.bsp)");
  EXPECT_EQ(options.filterPattern, "*.bsp");
  ASSERT_EQ(options.moreFilters.size(), 1u);
  EXPECT_EQ(options.moreFilters[0].description, "Map archives (*.pk3;*.pk4;*.zip;*.pak)");
  EXPECT_EQ(options.moreFilters[0].pattern, "*.pk3;*.pk4;*.zip;*.pak");
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

/** Maps inside a PACK file, chosen in the open chooser and then in the archive's list of maps. */
class OpenBspFromArchiveTest : public OpenBspTest {
 protected:
  OpenBspFromArchiveTest() {
    test::WriteFile(m_pak, test::PakBytes({{"progs.dat", "not a map"},
                                           {"maps/e1m2.bsp", m_map.bytes},
                                           {"maps/e1m1.bsp", std::string(3000, 'x')},
                                           {"start.bsp", m_map.bytes}}));
  }

  const mapgen::BuiltMap m_map = mapgen::DemoMap();
  const std::string m_pak = m_dir.File("pak0.pak");
};

TEST_F(OpenBspFromArchiveTest, offersTheArchivesMapsAndOpensTheChosenOneAsArchiveMember) {
  m_services.mapAnswers.emplace_back("maps/e1m2.bsp");
  EXPECT_EQ(m_ui.Open(m_pak), CommandOutcome::Done);
  ASSERT_EQ(m_services.mapRequests.size(), 1u);
  EXPECT_EQ(m_services.mapRequests[0].first, m_pak);
  EXPECT_THAT(m_services.mapRequests[0].second, ElementsAre("maps/e1m1.bsp", "maps/e1m2.bsp", "start.bsp"));
  EXPECT_THAT(m_services.events, ElementsAre("open chooser", "map picker", "save"));
  EXPECT_EQ(m_dialog.m_bspPath, m_pak + ":maps/e1m2.bsp");
  EXPECT_EQ(m_dialog.m_entityOffset, m_map.lumpOffset);
  EXPECT_TRUE(m_services.messages.empty());

  // A map of the archive without entities says so as a map file does, and stays chosen.
  m_services.events.clear();
  m_services.mapAnswers.emplace_back("maps/e1m1.bsp");
  EXPECT_EQ(m_ui.Open(m_pak), CommandOutcome::NothingFound);
  EXPECT_THAT(m_services.events, ElementsAre("open chooser", "map picker", "load", "message", "save"));
  EXPECT_THAT(m_services.messages, ElementsAre(std::string(messages::kNoEntities)));
  EXPECT_EQ(m_dialog.m_bspPath, m_pak + ":maps/e1m1.bsp");
  EXPECT_EQ(m_dialog.m_entityOffset, 0);
}

TEST_F(OpenBspFromArchiveTest, cancellingTheListOfMapsIsCancellingTheChooser) {
  const std::string path = DemoMapIn(m_dir);
  m_ui.Open(path);
  m_ui.Search("light");
  ASSERT_EQ(m_dialog.m_matchCount, 1);

  m_services.events.clear();
  m_services.mapAnswers.emplace_back(std::nullopt);
  EXPECT_EQ(m_ui.Open(m_pak), CommandOutcome::Cancelled);
  EXPECT_THAT(m_services.events, ElementsAre("open chooser", "map picker"));
  EXPECT_EQ(m_dialog.m_lastSearch, "");
  EXPECT_EQ(m_dialog.m_matchCount, 0);
  EXPECT_EQ(m_dialog.m_bspPath, path);
  EXPECT_EQ(m_dialog.m_entityOffset, m_map.lumpOffset);
}

TEST_F(OpenBspFromArchiveTest, anArchiveWithoutMapsOrUnreadableSaysWhyAndKeepsThePreviousMap) {
  const std::string path = DemoMapIn(m_dir);
  m_ui.Open(path);
  const std::string noMaps = m_dir.File("sounds.pak");
  test::WriteFile(noMaps, test::PakBytes({{"sound/door.wav", "RIFF"}}));
  const std::string damaged = m_dir.File("damaged.pak");
  test::WriteFile(damaged, "PACK and nothing a directory could be read from");
  const std::string missing = m_dir.File("missing.pk3");

  struct Case {
    std::string archive;
    CommandOutcome outcome;
    std::string message;  ///< the whole message, or empty: one that names the archive
  };
  for (const Case& failing :
       {Case{noMaps, CommandOutcome::NothingFound, "\"" + noMaps + "\": no maps (*.bsp) in this archive"},
        Case{damaged, CommandOutcome::FileError, ""}, Case{missing, CommandOutcome::FileError, ""}}) {
    m_services.messages.clear();
    m_services.events.clear();
    EXPECT_EQ(m_ui.Open(failing.archive), failing.outcome) << failing.archive;
    ASSERT_EQ(m_services.messages.size(), 1u) << failing.archive;
    if (failing.message.empty()) {
      EXPECT_NE(m_services.messages[0].find(failing.archive), std::string::npos) << m_services.messages[0];
    } else {
      EXPECT_EQ(m_services.messages[0], failing.message);
    }
    EXPECT_THAT(m_services.events, ElementsAre("open chooser", "message"));
    EXPECT_EQ(m_dialog.m_bspPath, path);
    EXPECT_EQ(m_dialog.m_entityOffset, m_map.lumpOffset);
  }
}

TEST_F(OpenBspFromArchiveTest, createListOffersTheMembersNameAndWritesWhatTheMapFileGives) {
  const std::string path = DemoMapIn(m_dir);
  m_ui.Open(path);
  ASSERT_EQ(m_ui.CreateList(m_dir.File("from-file.txt")), CommandOutcome::Done);

  // A member in a folder of the archive, and one at its top, where only the archive's
  // name stands before the member's.
  const std::string pakBytes = test::ReadFile(m_pak);
  m_services.saveRequests.clear();
  m_services.mapAnswers.emplace_back("maps/e1m2.bsp");
  m_ui.Open(m_pak);
  EXPECT_EQ(m_ui.CreateList(m_dir.File("e1m2.txt")), CommandOutcome::Done);
  m_services.mapAnswers.emplace_back("start.bsp");
  m_ui.Open(m_pak);
  EXPECT_EQ(m_ui.CreateList(m_dir.File("start.txt")), CommandOutcome::Done);

  ASSERT_EQ(m_services.saveRequests.size(), 2u);
  EXPECT_EQ(m_services.saveRequests[0].initialName, "e1m2.txt");
  EXPECT_EQ(m_services.saveRequests[1].initialName, "start.txt");
  const std::string fromFile = test::ReadFile(m_dir.File("from-file.txt"));
  EXPECT_FALSE(fromFile.empty());
  EXPECT_EQ(test::ReadFile(m_dir.File("e1m2.txt")), fromFile);
  EXPECT_EQ(test::ReadFile(m_dir.File("start.txt")), fromFile);
  EXPECT_EQ(test::ReadFile(m_pak), pakBytes);
}

/** A map named without the chooser (an argument, a dropped file) opens as a chosen one does. */
TEST_F(OpenBspFromArchiveTest, aNamedMapOpensAsTheChooserWouldOpenIt) {
  const std::string path = DemoMapIn(m_dir);
  EXPECT_EQ(m_dialog.OpenBspNamed(path), CommandOutcome::Done);
  EXPECT_EQ(m_dialog.m_bspPath, path);
  EXPECT_EQ(m_dialog.m_entityOffset, m_map.lumpOffset);
  EXPECT_THAT(m_services.events, ElementsAre("save"));

  // ARCHIVE:MEMBER names its map: nothing to choose.
  m_services.events.clear();
  EXPECT_EQ(m_dialog.OpenBspNamed(m_pak + ":start.bsp"), CommandOutcome::Done);
  EXPECT_EQ(m_dialog.m_bspPath, m_pak + ":start.bsp");
  EXPECT_THAT(m_services.events, ElementsAre("save"));

  // An archive offers its maps.
  m_services.events.clear();
  m_services.mapAnswers.emplace_back("maps/e1m2.bsp");
  EXPECT_EQ(m_dialog.OpenBspNamed(m_pak), CommandOutcome::Done);
  EXPECT_EQ(m_dialog.m_bspPath, m_pak + ":maps/e1m2.bsp");
  EXPECT_THAT(m_services.events, ElementsAre("map picker", "save"));

  // The same message as a chosen map without entities, and the same reasons for failing.
  m_services.events.clear();
  EXPECT_EQ(m_dialog.OpenBspNamed(m_pak + ":maps/e1m1.bsp"), CommandOutcome::NothingFound);
  EXPECT_THAT(m_services.events, ElementsAre("load", "message", "save"));
  EXPECT_THAT(m_services.messages, ElementsAre(std::string(messages::kNoEntities)));
  m_services.messages.clear();
  EXPECT_EQ(m_dialog.OpenBspNamed(m_pak + ":maps/e9m9.bsp"), CommandOutcome::FileError);
  ASSERT_EQ(m_services.messages.size(), 1u);
  EXPECT_NE(m_services.messages[0].find("the archive has no member \"maps/e9m9.bsp\""), std::string::npos)
      << m_services.messages[0];
  EXPECT_EQ(m_dialog.m_bspPath, m_pak + ":maps/e1m1.bsp");

  // A search under way starts over, as after the chooser.
  m_ui.Open(path);
  m_ui.Search("light");
  ASSERT_EQ(m_dialog.m_matchCount, 1);
  m_dialog.OpenBspNamed(path);
  EXPECT_EQ(m_dialog.m_lastSearch, "");
  EXPECT_EQ(m_dialog.m_matchCount, 0);
}

}  // namespace
}  // namespace kestrum
