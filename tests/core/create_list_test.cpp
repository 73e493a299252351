#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "archive_builder.h"
#include "headless_dialog.h"
#include "map_builder.h"
#include "messages.h"
#include "system_facts.h"
#include "test_files.h"

namespace kestrum {
namespace {

using ::testing::ElementsAre;

class CreateListTest : public ::testing::Test {
 protected:
  /** Writes the map and opens it in the record. */
  void OpenMap(const std::string& bytes) {
    test::WriteFile(m_bspPath, bytes);
    m_ui.Open(m_bspPath);
    m_ui.services.messages.clear();
    m_ui.services.events.clear();
  }

  test::TempDir m_dir;
  const std::string m_bspPath = m_dir.File("level.bsp");
  const std::string m_listPath = m_dir.File("level.txt");
  CHeadlessDialog m_ui;
};

const std::string kEntityA = "{\n\"classname\" \"worldspawn\"\n}";  // 28 bytes
const std::string kEntityB = "{\n\"classname\" \"light\"\n}";       // 23 bytes

std::string TwoEntityMap() {
  return std::string(300, '\x01') + kEntityA + "\n" + kEntityB + "\n" + std::string(1, '\0') + "binary";
}

TEST_F(CreateListTest, workedExampleWritesEachRecordFollowedByTwoLineBreaks) {
  OpenMap(TwoEntityMap());
  ASSERT_EQ(m_ui.dialog.m_entityOffset, 300);
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::Done);
  const std::string list = test::ReadFile(m_listPath);
  EXPECT_EQ(list.size(), 59u);
  EXPECT_EQ(list, kEntityA + "\r\n\r\n" + kEntityB + "\r\n\r\n");
  EXPECT_TRUE(m_ui.services.messages.empty());
  EXPECT_THAT(m_ui.services.events, ElementsAre("save chooser"));  // no data exchange
  EXPECT_EQ(m_ui.dialog.m_listPath, m_listPath);
}

TEST_F(CreateListTest, aListThatStopsAtACutEntityIsWrittenAndReported) {
  // A damaged map: the third entity loses its end to a NUL.
  const std::string cut = "{\n\"classname\" \"li";
  OpenMap(std::string(300, '\x01') + kEntityA + "\n" + kEntityB + "\n" + cut + std::string(1, '\0') + "ght\"\n}\n");
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::ListCutShort);
  EXPECT_EQ(test::ReadFile(m_listPath), kEntityA + "\r\n\r\n" + kEntityB + "\r\n\r\n");
  EXPECT_THAT(m_ui.services.events, ElementsAre("save chooser", "message"));
  EXPECT_EQ(m_ui.services.messages.front(), messages::CutEntityMessage(300 + 29 + 24, 2));
  EXPECT_THAT(m_ui.services.messages.front(), ::testing::HasSubstr("offset 353"));
  EXPECT_THAT(m_ui.services.messages.front(), ::testing::HasSubstr("holds the 2 entities"));
}

TEST_F(CreateListTest, aListCutAtItsFirstEntitySaysItIsEmpty) {
  OpenMap(std::string(300, '\x01') + "{\n\"classname\" \"wor" + std::string(1, '\0') + "ldspawn\"\n}\n");
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::ListCutShort);
  EXPECT_EQ(test::ReadFile(m_listPath), "");
  ASSERT_EQ(m_ui.services.messages.size(), 1u);
  EXPECT_EQ(m_ui.services.messages[0],
            "The entity at offset 300 ends before its closing brace, so the entities of this map end there. The list "
            "is empty: no entity stands before it.");
}

TEST_F(CreateListTest, offersTheDefaultListNameWithTextFilesEveryTime) {
  OpenMap(TwoEntityMap());
  m_ui.CreateList(m_dir.File("elsewhere.txt"));
  m_ui.CreateList(m_listPath);
  ASSERT_EQ(m_ui.services.saveRequests.size(), 2u);
  for (const FileChooserOptions& options : m_ui.services.saveRequests) {
    EXPECT_EQ(options.initialName, "level.txt");
    EXPECT_EQ(options.filterDescription, "Text file txt(*.txt)");
    EXPECT_EQ(options.filterPattern, "*.txt");
    EXPECT_EQ(options.defaultExtension, "txt");
    EXPECT_TRUE(options.overwritePrompt);
    EXPECT_TRUE(options.hideReadOnly);
  }
}

TEST_F(CreateListTest, withoutAMapOrAPathSaysSoAndWritesNothing) {
  EXPECT_EQ(m_ui.dialog.OnCreateList(), CommandOutcome::NoBspLoaded);
  EXPECT_THAT(m_ui.services.messages, ElementsAre(std::string(messages::kNoBspLoaded)));
  EXPECT_TRUE(m_ui.services.saveRequests.empty());

  OpenMap(TwoEntityMap());
  m_ui.dialog.m_listPath = "kept";
  m_ui.services.saveAnswers.emplace_back(std::nullopt);
  EXPECT_EQ(m_ui.dialog.OnCreateList(), CommandOutcome::Cancelled);
  EXPECT_THAT(m_ui.services.messages, ElementsAre(std::string(messages::kNoListPath)));
  EXPECT_EQ(m_ui.dialog.m_listPath, "kept");
  EXPECT_FALSE(test::FileExists(m_listPath));
}

TEST_F(CreateListTest, changesNoSearchState) {
  OpenMap(TwoEntityMap());
  m_ui.Search("light");
  const CEntityDlg& record = m_ui.dialog;
  const auto before = std::make_tuple(record.m_entityOffset, record.m_cursor, record.m_matchCount, record.m_lastSearch);
  m_ui.CreateList(m_listPath);
  EXPECT_EQ(std::make_tuple(record.m_entityOffset, record.m_cursor, record.m_matchCount, record.m_lastSearch), before);
}

TEST_F(CreateListTest, emptyListWhenNothingLiesAtTheEntityOffset) {
  OpenMap(std::string(600, 'x'));  // no entities: offset 0, first window without "}"
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::Done);
  EXPECT_EQ(test::ReadFile(m_listPath), "");

  OpenMap(TwoEntityMap());
  test::WriteFile(m_bspPath, std::string(100, 'x'));  // the map shrank behind the offset
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::Done);
  EXPECT_EQ(test::ReadFile(m_listPath), "");
}

TEST_F(CreateListTest, replacesAnExistingListWholeAndTwoRunsAreIdentical) {
  OpenMap(TwoEntityMap());
  test::WriteFile(m_listPath, std::string(10'000, 'o'));
  namespace fs = std::filesystem;
  const fs::perms kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  if (test::HasPermissionBits()) fs::permissions(fs::u8path(m_listPath), kept);
  m_ui.CreateList(m_listPath);
  const std::string first = test::ReadFile(m_listPath);
  EXPECT_EQ(first.size(), 59u);
  m_ui.CreateList(m_listPath);
  EXPECT_EQ(test::ReadFile(m_listPath), first);
  if (test::HasPermissionBits()) {
    EXPECT_EQ(fs::status(fs::u8path(m_listPath)).permissions() & fs::perms::all, kept);
  }
}

TEST_F(CreateListTest, leavesNoTemporaryFileBehind) {
  OpenMap(TwoEntityMap());
  m_ui.CreateList(m_listPath);
  m_ui.CreateList(m_dir.File("no-such-folder/level.txt"));
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) ++entries;
  EXPECT_EQ(entries, 2);  // the map and the list
}

TEST_F(CreateListTest, longWorldspawnIsExportedWholeWithEverythingAfterIt) {
  std::vector<mapgen::Entity> entities = mapgen::DemoEntities();
  entities[0].pairs.emplace_back("wad", std::string(900, 'w'));
  const std::string lump = mapgen::EntityLump(entities);
  OpenMap(mapgen::BuildMap(lump, 4000, 500).bytes);
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::Done);

  std::string expected;
  for (const mapgen::Entity& entity : entities) expected += mapgen::EntityText(entity) + "\r\n\r\n";
  EXPECT_EQ(test::ReadFile(m_listPath), expected);
}

TEST_F(CreateListTest, keepsEveryByteOfTheEntities) {
  std::string value;
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != '"' && byte != '{' && byte != '}') value.push_back(static_cast<char>(byte));
  }
  const std::string entity = "{\n\"classname\" \"worldspawn\"\n\"bytes\" \"" + value + "\"\n}";
  OpenMap(std::string(200, '\0') + entity + "\n" + std::string(1, '\0'));
  m_ui.CreateList(m_listPath);
  EXPECT_EQ(test::ReadFile(m_listPath), entity + "\r\n\r\n");
}

TEST_F(CreateListTest, refusesToWriteTheListOverTheMapItself) {
  OpenMap(TwoEntityMap());
  const std::string map = test::ReadFile(m_bspPath);
  const std::string link = m_dir.File("link.txt");
  test::LinkTo(m_bspPath, link);
  for (const std::string& target : {m_bspPath, link}) {
    m_ui.services.messages.clear();
    EXPECT_EQ(m_ui.CreateList(target), CommandOutcome::FileError);
    ASSERT_EQ(m_ui.services.messages.size(), 1u);
    EXPECT_NE(m_ui.services.messages[0].find("map being read"), std::string::npos);
    EXPECT_EQ(test::ReadFile(m_bspPath), map);
  }
}

TEST_F(CreateListTest, refusesToWriteTheListOverTheArchiveHoldingTheMap) {
  const std::string archive = m_dir.File("q.pak");
  test::WriteFile(archive, test::PakBytes({{"maps/level.bsp", TwoEntityMap()}}));
  const std::string bytes = test::ReadFile(archive);
  ASSERT_EQ(m_ui.Open(archive + ":maps/level.bsp"), CommandOutcome::Done);
  const std::string link = m_dir.File("qlink.txt");
  test::LinkTo(archive, link);
  for (const std::string& target : {link, archive}) {
    m_ui.services.messages.clear();
    EXPECT_EQ(m_ui.CreateList(target), CommandOutcome::FileError) << target;
    ASSERT_EQ(m_ui.services.messages.size(), 1u);
    EXPECT_THAT(m_ui.services.messages[0], ::testing::HasSubstr("\"" + target + "\": this is the map being read"));
    EXPECT_EQ(test::ReadFile(archive), bytes);
  }
}

TEST_F(CreateListTest, aMissingFolderNamesTheFileAndTheReason) {
  OpenMap(TwoEntityMap());
  const std::string nowhere = m_dir.File("missing/level.txt");
  EXPECT_EQ(m_ui.CreateList(nowhere), CommandOutcome::FileError);
  ASSERT_EQ(m_ui.services.messages.size(), 1u);
  EXPECT_NE(m_ui.services.messages[0].find(nowhere), std::string::npos);
  EXPECT_NE(m_ui.services.messages[0].find(test::Reasons().noSuchFolder), std::string::npos);
}

TEST_F(CreateListTest, aFullDiskNamesTheFileAndTheReason) {
  const std::string full = test::FullDevice();
  if (full.empty()) GTEST_SKIP() << "no device here is always full; the fault injection tests fill the disk";
  OpenMap(TwoEntityMap());
  EXPECT_EQ(m_ui.CreateList(full), CommandOutcome::FileError);
  ASSERT_EQ(m_ui.services.messages.size(), 1u);
  EXPECT_NE(m_ui.services.messages[0].find(full), std::string::npos);
  EXPECT_NE(m_ui.services.messages[0].find(test::Reasons().diskFull), std::string::npos);
}

TEST_F(CreateListTest, aMapThatVanishedIsReportedBeforeTheChooser) {
  OpenMap(TwoEntityMap());
  std::filesystem::remove(std::filesystem::u8path(m_bspPath));
  EXPECT_EQ(m_ui.dialog.OnCreateList(), CommandOutcome::FileError);
  EXPECT_THAT(m_ui.services.events, ElementsAre("message"));
  EXPECT_NE(m_ui.services.messages[0].find(m_bspPath), std::string::npos);
}

}  // namespace
}  // namespace kestrum
