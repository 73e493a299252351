// kestrum-cli.exe on a Windows console, whose code page (437 here, as on most Western
// systems) holds neither "€" nor Japanese: what it prints arrives as the characters meant.
#include "console_win32.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "map_builder.h"
#include "process.h"
#include "system_path.h"
#include "test_files.h"

namespace kestrum {
namespace {

constexpr unsigned kUnitedStatesCodePage = 437;

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<mapgen::Entity> entities{
        {{{"classname", "worldspawn"}, {"message", "Caf\xe9 \x80 5"}}},
        {{{"classname", "info_note"}, {"message", "\x93quoted\x94"}}},
    };
    m_map = mapgen::BuildMap(mapgen::EntityLump(entities), 100, 100);
    std::filesystem::create_directories(SystemPath(m_dir.File(m_folder)));
    test::WriteFile(m_dir.File(m_folder + "/" + m_name), m_map.bytes);
    test::WriteFile(m_dir.File("plain.bsp"), m_map.bytes);
  }

  test::TempDir m_dir;
  const std::string m_folder = "\u00e9t\u00e9 \u30de\u30c3\u30d7";  // été マップ
  const std::string m_name = "carte-\u00e9t\u00e9.bsp";
  mapgen::BuiltMap m_map;
};

// One test for results and messages: Wine takes ten seconds and more to make a console.
TEST_F(ConsoleTest, pathsEntityTextAndMessagesShowAsTheirCharacters) {
  const test::ConsoleResult result = test::RunOnConsole(KESTRUM_CLI_PATH, {"search", m_folder, "plain.bsp", "Caf"},
                                                        m_dir.Path(), kUnitedStatesCodePage);
  EXPECT_EQ(result.exitCode, 0);
  const std::string name = test::NativePath(m_folder + "/" + m_name);
  EXPECT_NE(result.shown.find(name + ":   \"message\" \"Caf\u00e9 \u20ac 5\"\n"), std::string::npos) << result.shown;
  EXPECT_NE(result.shown.find("plain.bsp:   \"message\" \"Caf\u00e9 \u20ac 5\"\n"), std::string::npos) << result.shown;

  const test::ConsoleResult quoted =
      test::RunOnConsole(KESTRUM_CLI_PATH, {"search", "plain.bsp", "quoted"}, m_dir.Path(), kUnitedStatesCodePage);
  EXPECT_NE(quoted.shown.find("\n  \"message\" \"\u201cquoted\u201d\"\n"), std::string::npos) << quoted.shown;

  const std::string missing = m_folder + "/manqu\u00e9e.bsp";
  const test::ConsoleResult failed =
      test::RunOnConsole(KESTRUM_CLI_PATH, {"locate", missing}, m_dir.Path(), kUnitedStatesCodePage);
  EXPECT_EQ(failed.exitCode, 3);
  EXPECT_EQ(failed.shown.rfind("kestrum-cli: Cannot open \"" + missing + "\": ", 0), 0u) << failed.shown;
}

TEST_F(ConsoleTest, redirectedOutputStaysUtf8Bytes) {
  const test::ProcessResult result = test::RunProcess(KESTRUM_CLI_PATH, {"search", "plain.bsp", "Caf"}, m_dir.Path());
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.out.find("  \"message\" \"Caf\xc3\xa9 \xe2\x82\xac 5\"\n"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace kestrum
