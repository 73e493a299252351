// Where a list goes on Windows, and that an existing one is never lost or changed in kind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "headless_dialog.h"
#include "system_facts.h"
#include "test_files.h"
#include "wide_text_win32.h"

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

  static std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder))) {
      names.push_back(entry.path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempDir m_dir;
  const std::string m_bspPath = m_dir.File("map.bsp");
  CHeadlessDialog m_ui;
};

TEST_F(ListTargetTest, aReadOnlyListIsRefusedAndKept) {
  const std::string list = m_dir.File("kept.txt");
  test::WriteFile(list, "old");
  ASSERT_TRUE(::SetFileAttributesW(Widen(list).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(m_ui.CreateList(list), CommandOutcome::FileError);
  ASSERT_EQ(m_ui.services.messages.size(), 1u);
  EXPECT_THAT(m_ui.services.messages[0], HasSubstr("\"" + list + "\": " + test::Reasons().accessDenied));
  EXPECT_EQ(test::ReadFile(list), "old");
  EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"kept.txt", "map.bsp"}));
  ::SetFileAttributesW(Widen(list).c_str(), FILE_ATTRIBUTE_NORMAL);  // so that the folder can go
}

TEST_F(ListTargetTest, theNewListIsMadeBesideTheListNotInTheWorkingFolder) {
  const test::TempDir elsewhere;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::u8path(elsewhere.Path()));
  const std::string list = m_dir.File(std::string(120, 'n') + ".txt");
  const CommandOutcome outcome = m_ui.CreateList(list);
  std::filesystem::current_path(previous);
  EXPECT_EQ(outcome, CommandOutcome::Done);
  EXPECT_EQ(test::ReadFile(list), kList);
  EXPECT_TRUE(FolderEntries(elsewhere.Path()).empty());
  EXPECT_EQ(FolderEntries(m_dir.Path()).size(), 2u);
}

TEST_F(ListTargetTest, devicesAreWrittenStraightNotReplaced) {
  const test::TempDir elsewhere;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::u8path(elsewhere.Path()));
  const CommandOutcome outcome = m_ui.CreateList(test::NullDevice());
  std::filesystem::current_path(previous);
  EXPECT_EQ(outcome, CommandOutcome::Done);
  EXPECT_TRUE(FolderEntries(elsewhere.Path()).empty());
}

TEST_F(ListTargetTest, theFileStandardOutputGoesToIsWrittenThroughTheStream) {
  const std::string log = m_dir.File("log.txt");
  test::WriteFile(log, "earlier lines\n");
  CommandOutcome outcome = CommandOutcome::FileError;
  {
    const test::CStandardOutputTo redirected(log, test::CStandardOutputTo::Opening::Append);
    outcome = m_ui.CreateList(log);
  }
  EXPECT_EQ(outcome, CommandOutcome::Done) << ::testing::PrintToString(m_ui.services.messages);
  EXPECT_EQ(test::ReadFile(log), "earlier lines\n" + kList);
  EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"log.txt", "map.bsp"}));
}

}  // namespace
}  // namespace kestrum
