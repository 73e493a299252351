// Files nobody checked: the commands must end cleanly whatever the map holds.
#include <gtest/gtest.h>

#include "headless_dialog.h"
#include "test_files.h"

namespace kestrum {
namespace {

class BadInputTest : public ::testing::Test {
 protected:
  /** Open BSP, every search press until the end, and Create list, on bytes. */
  void RunEverything(const std::string& bytes) {
    test::WriteFile(m_bspPath, bytes);
    m_ui.Open(m_bspPath);
    for (int press = 0; press < 50 && m_ui.Search("") == CommandOutcome::Done; ++press) {
    }
    m_ui.CreateList(m_listPath);
  }

  test::TempDir m_dir;
  const std::string m_bspPath = m_dir.File("bad.bsp");
  const std::string m_listPath = m_dir.File("bad.txt");
  CHeadlessDialog m_ui;
};

TEST_F(BadInputTest, degenerateFilesEndEveryCommandCleanly) {
  const std::vector<std::string> files{
      std::string(),
      std::string(10'000, '\0'),
      std::string(10'000, '{'),
      std::string(10'000, '}'),
      std::string(10'000, '"'),
      "worldspawn" + std::string(5000, '"'),
      std::string(5000, '{') + "worldspawn" + std::string(5000, '}'),
      "{\"worldspawn\"" + std::string(3000, '"') + "}",
  };
  for (const std::string& bytes : files) {
    m_ui.services.messages.clear();
    RunEverything(bytes);
    for (const std::string& message : m_ui.services.messages) {
      EXPECT_EQ(message.find("Cannot"), std::string::npos) << message;
    }
    EXPECT_TRUE(test::FileExists(m_listPath));
  }
}

TEST_F(BadInputTest, keyInTheLastTenBytesIsFound) {
  test::WriteFile(m_bspPath, std::string(500, 'x') + "{" + std::string(30, ' ') + "worldspawn");
  EXPECT_EQ(m_ui.Open(m_bspPath), CommandOutcome::Done);
  EXPECT_EQ(m_ui.dialog.m_entityOffset, 500);
  EXPECT_EQ(m_ui.CreateList(m_listPath), CommandOutcome::ListCutShort);  // no closing brace
  EXPECT_EQ(test::ReadFile(m_listPath), "");
}

TEST_F(BadInputTest, entitiesAroundTheWindowSizeAreListedWhole) {
  const std::string world = "{\n\"classname\" \"worldspawn\"\n}";
  for (const std::size_t size : {511u, 512u, 513u}) {
    const std::string head = "{\n\"classname\" \"info_null\"\n\"pad\" \"";
    const std::string tail = "\"\n}";
    const std::string entity = head + std::string(size - head.size() - tail.size(), 'p') + tail;
    ASSERT_EQ(entity.size(), size);
    RunEverything(std::string(100, '\0') + world + "\n" + entity + "\n" + world + "\n" + std::string(1, '\0'));
    EXPECT_EQ(test::ReadFile(m_listPath), world + "\r\n\r\n" + entity + "\r\n\r\n" + world + "\r\n\r\n") << size;
    EXPECT_EQ(m_ui.Search("info_null"), CommandOutcome::Done) << size;
    EXPECT_EQ(m_ui.dialog.m_values[2].size(), size - head.size() - tail.size());
  }
}

TEST_F(BadInputTest, spawnflagsOfFortyDigitsFillEveryFlag) {
  const std::string world = "{\n\"classname\" \"worldspawn\"\n}";
  const std::string entity = "{\n\"spawnflags\" \"" + std::string(40, '9') + "\"\n}";
  test::WriteFile(m_bspPath, std::string(20, '\0') + world + "\n" + entity + "\n" + std::string(1, '\0'));
  m_ui.Open(m_bspPath);
  EXPECT_EQ(m_ui.Search("spawnflags"), CommandOutcome::Done);
  for (int slot = 1; slot <= 12; ++slot) EXPECT_FALSE(m_ui.dialog.m_flags[slot].empty()) << slot;
  const std::string negative = "{\n\"spawnflags\" \"-" + std::string(40, '9') + "\"\n}";
  test::WriteFile(m_bspPath, std::string(20, '\0') + world + "\n" + negative + "\n" + std::string(1, '\0'));
  m_ui.Open(m_bspPath);
  EXPECT_EQ(m_ui.Search("spawnflags"), CommandOutcome::Done);
  for (int slot = 1; slot <= 12; ++slot) EXPECT_TRUE(m_ui.dialog.m_flags[slot].empty()) << slot;
}

}  // namespace
}  // namespace kestrum
