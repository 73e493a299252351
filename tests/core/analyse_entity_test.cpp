#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "headless_dialog.h"
#include "messages.h"
#include "resource.h"
#include "test_files.h"

namespace kestrum {
namespace {

using ::testing::ElementsAre;

std::string Pairs(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::string text = "{\n";
  for (const auto& [key, value] : pairs) text += "\"" + key + "\" \"" + value + "\"\n";
  return text + "}";
}

class AnalyseEntityTest : public ::testing::Test {
 protected:
  /** A map: binary bytes, then the entities each followed by a line feed, then a NUL. */
  void OpenEntities(const std::vector<std::string>& entities) {
    std::string lump;
    for (const std::string& entity : entities) lump += entity + "\n";
    test::WriteFile(m_path, std::string(64, '\0') + lump + std::string(1, '\0') + std::string(32, '\x07'));
    ASSERT_EQ(m_ui.Open(m_path), CommandOutcome::Done);
    ASSERT_EQ(m_dialog.m_entityOffset, 64);
  }

  /** Keys shown in the boxes after the last press, up to the first empty one. */
  std::vector<std::string> ShownKeys() {
    std::vector<std::string> keys;
    for (int n = 1; n <= 30 && !m_ui.services.controls.Text(IDC_KEY1 + 2 * (n - 1)).empty(); ++n) {
      keys.push_back(m_ui.services.controls.Text(IDC_KEY1 + 2 * (n - 1)));
    }
    return keys;
  }

  std::string ShownValue(int n) { return m_ui.services.controls.Text(IDC_VALUE1 + 2 * (n - 1)); }
  std::string ShownFlag(int n) { return m_ui.services.controls.Text(IDC_FLAG1 + n - 1); }

  test::TempDir m_dir;
  const std::string m_path = m_dir.File("map.bsp");
  CHeadlessDialog m_ui;
  CEntityDlg& m_dialog = m_ui.dialog;
};

const std::string kWorld = Pairs({{"classname", "worldspawn"}, {"wad", "base.wad"}});

TEST_F(AnalyseEntityTest, showsPairsInOrderAndDecodesSpawnflags) {
  OpenEntities({kWorld, Pairs({{"classname", "monster_dog"}, {"spawnflags", "778"}, {"origin", "1 2 3"}})});
  EXPECT_EQ(m_ui.Search("monster"), CommandOutcome::Done);
  EXPECT_THAT(ShownKeys(), ElementsAre("classname", "spawnflags", "origin"));
  EXPECT_EQ(ShownValue(1), "monster_dog");
  EXPECT_EQ(ShownValue(2), "778");
  EXPECT_EQ(ShownValue(3), "1 2 3");
  EXPECT_EQ(ShownValue(4), "");
  const std::vector<std::string> expectedFlags{"", "2", "", "8", "", "", "", "", "", "256", "512", ""};
  for (int n = 1; n <= 12; ++n) EXPECT_EQ(ShownFlag(n), expectedFlags[n - 1]) << n;
  EXPECT_EQ(m_dialog.m_matchCount, 1);
  EXPECT_EQ(m_dialog.m_foundOffset, static_cast<std::int32_t>(64 + kWorld.size() + 1));
}

TEST_F(AnalyseEntityTest, exchangesControlsFirstAndFieldsLast) {
  OpenEntities({kWorld});
  m_ui.services.events.clear();
  m_ui.Search("world");
  EXPECT_THAT(m_ui.services.events, ElementsAre("save", "load"));
}

TEST_F(AnalyseEntityTest, withoutAMapSaysSoAndShowsNothing) {
  m_ui.services.controls.Text(IDC_KEY1) = "typed key";
  EXPECT_EQ(m_ui.Search("x"), CommandOutcome::NoBspLoaded);
  EXPECT_THAT(m_ui.services.messages, ElementsAre(std::string(messages::kNoBspLoaded)));
  EXPECT_THAT(m_ui.services.events, ElementsAre("save", "message"));
  EXPECT_EQ(m_dialog.m_lastSearch, "x");
  EXPECT_EQ(m_ui.services.controls.Text(IDC_KEY1), "typed key");
}

TEST_F(AnalyseEntityTest, threeMatchesCycleThroughEmptyBoxesBackToTheFirst) {
  const std::string a = Pairs({{"classname", "light"}, {"light", "100"}});
  const std::string b = Pairs({{"classname", "light"}, {"light", "200"}});
  const std::string c = Pairs({{"classname", "light"}, {"light", "300"}});
  OpenEntities({kWorld, a, Pairs({{"classname", "info_null"}}), b, c});
  for (const char* value : {"100", "200", "300"}) {
    EXPECT_EQ(m_ui.Search("light"), CommandOutcome::Done);
    EXPECT_EQ(ShownValue(2), value);
  }
  EXPECT_EQ(m_ui.Search("light"), CommandOutcome::NothingFound);
  EXPECT_TRUE(ShownKeys().empty());
  EXPECT_EQ(m_dialog.m_cursor, m_dialog.m_entityOffset);
  EXPECT_EQ(m_ui.Search("light"), CommandOutcome::Done);
  EXPECT_EQ(ShownValue(2), "100");
  EXPECT_EQ(m_dialog.m_matchCount, 4);
}

TEST_F(AnalyseEntityTest, emptySearchTextStepsThroughEveryEntity) {
  OpenEntities({kWorld, Pairs({{"classname", "light"}})});
  EXPECT_EQ(m_ui.Search(""), CommandOutcome::Done);
  EXPECT_EQ(ShownValue(1), "worldspawn");
  EXPECT_EQ(m_ui.Search(""), CommandOutcome::Done);
  EXPECT_EQ(ShownValue(1), "light");
  EXPECT_EQ(m_ui.Search(""), CommandOutcome::NothingFound);
  EXPECT_TRUE(ShownKeys().empty());
  EXPECT_EQ(m_ui.Search(""), CommandOutcome::Done);
  EXPECT_EQ(ShownValue(1), "worldspawn");
}

TEST_F(AnalyseEntityTest, lastEntityAtTheFileEndNeverShowsAnEntityWithoutTheText) {
  // Lump ending right at the file's end: the step after the last entity lands at L.
  test::WriteFile(m_path, std::string(40, '\0') + kWorld + "\n" + Pairs({{"classname", "light"}}) + "\n" +
                              Pairs({{"classname", "info_null"}}));
  ASSERT_EQ(m_ui.Open(m_path), CommandOutcome::Done);
  EXPECT_EQ(m_ui.Search("light"), CommandOutcome::Done);
  EXPECT_EQ(ShownValue(1), "light");
  // The next press reads info_null, reaches the file's end without a match.
  EXPECT_EQ(m_ui.Search("light"), CommandOutcome::NothingFound);
  EXPECT_TRUE(ShownKeys().empty());
  // And the press after that starts over instead of staying stuck.
  EXPECT_EQ(m_ui.Search("light"), CommandOutcome::Done);
  EXPECT_EQ(ShownValue(1), "light");
}

TEST_F(AnalyseEntityTest, firstPressWithoutAMatchLeavesTheBoxesAsTheyWere) {
  OpenEntities({kWorld});
  m_ui.services.controls.Text(IDC_KEY1) = "typed";
  EXPECT_EQ(m_ui.Search("nowhere"), CommandOutcome::NothingFound);
  EXPECT_EQ(m_ui.services.controls.Text(IDC_KEY1), "typed");
  EXPECT_TRUE(m_ui.services.messages.empty());
  EXPECT_EQ(m_ui.Search("nowhere"), CommandOutcome::NothingFound);
  EXPECT_EQ(m_dialog.m_matchCount, 0);
}

TEST_F(AnalyseEntityTest, searchIsExactAndCaseSensitive) {
  OpenEntities({kWorld, Pairs({{"classname", "Light"}}), Pairs({{"message", "a \"quoted\" {text}"}})});
  EXPECT_EQ(m_ui.Search("light"), CommandOutcome::NothingFound);
  EXPECT_EQ(m_ui.Search("\"classname\" \"Light\""), CommandOutcome::Done);
  EXPECT_EQ(m_ui.Search("\"quoted\" {"), CommandOutcome::Done);
  EXPECT_EQ(m_dialog.m_matchCount, 1);
}

TEST_F(AnalyseEntityTest, changingTheTextOrOpeningAgainStartsAtTheFirstEntity) {
  const std::string a = Pairs({{"classname", "light"}, {"n", "1"}});
  const std::string b = Pairs({{"classname", "light"}, {"n", "2"}});
  OpenEntities({kWorld, a, b});
  m_ui.Search("light");
  m_ui.Search("light");
  EXPECT_EQ(ShownValue(2), "2");
  m_ui.Search("\"light\"");
  EXPECT_EQ(ShownValue(2), "1");
  m_ui.Search("\"light\"");
  m_ui.services.openAnswers.emplace_back(std::nullopt);
  m_dialog.OnOpenBsp();  // cancelled, but the search starts over
  m_ui.Search("\"light\"");
  EXPECT_EQ(ShownValue(2), "1");
}

TEST_F(AnalyseEntityTest, aFollowingMatchClearsSlotsTheFirstFilled) {
  std::vector<std::pair<std::string, std::string>> thirty;
  for (int n = 1; n <= 30; ++n) thirty.emplace_back("k" + std::to_string(n), "v" + std::to_string(n));
  thirty[0] = {"spawnflags", "4095"};
  OpenEntities({kWorld, Pairs(thirty), Pairs({{"k1", "two"}, {"k2", "pairs"}})});
  m_ui.Search("k2");
  EXPECT_EQ(ShownKeys().size(), 30u);
  EXPECT_EQ(ShownValue(30), "v30");
  EXPECT_EQ(ShownFlag(9), "2048");
  m_ui.Search("k2");
  EXPECT_THAT(ShownKeys(), ElementsAre("k1", "k2"));
  EXPECT_EQ(ShownValue(3), "");
  for (int n = 1; n <= 12; ++n) EXPECT_EQ(ShownFlag(n), "");
}

TEST_F(AnalyseEntityTest, tokensAfterTheThirtiethValueAreDropped) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int n = 1; n <= 30; ++n) pairs.emplace_back("k" + std::to_string(n), "v");
  pairs.emplace_back("spawnflags", "1");
  pairs.emplace_back("extra", "x");
  OpenEntities({kWorld, Pairs(pairs)});
  m_ui.Search("extra");
  EXPECT_EQ(ShownKeys().back(), "k30");
  EXPECT_EQ(ShownFlag(1), "");
  EXPECT_TRUE(m_dialog.m_keys[0].empty());
  EXPECT_TRUE(m_dialog.m_values[0].empty());
  EXPECT_TRUE(m_dialog.m_flags[0].empty());
}

TEST_F(AnalyseEntityTest, theTokenAfterASpawnflagsTokenIsConvertedKeyOrValue) {
  // A value equal to "spawnflags" makes the next key converted: "7x" gives 7.
  OpenEntities({kWorld, Pairs({{"a", "spawnflags"}, {"7x", "b"}, {"spawnflags", "spawnflags"}, {"3", "c"}})});
  m_ui.Search("7x");
  EXPECT_THAT(ShownKeys(), ElementsAre("a", "7x", "spawnflags", "3"));
  EXPECT_EQ(ShownFlag(1), "1");  // 7 = 4 + 2 + 1, then 0 from the value, then 3 = 2 + 1
  EXPECT_EQ(ShownFlag(2), "2");
  EXPECT_EQ(ShownFlag(3), "4");
}

TEST_F(AnalyseEntityTest, tokensStayInStepOnEveryLayout) {
  struct Layout {
    const char* name;
    std::string record;
  };
  const std::vector<Layout> layouts{
      {"CR LF lines", "{\r\n\"classname\" \"func_door\"\r\n\"spawnflags\" \"32\"\r\n\"target\" \"t1\"\r\n}"},
      {"trailing spaces after values",
       "{\n\"classname\" \"func_door\"  \n\"spawnflags\" \"32\" \n\"target\" \"t1\"\n}"},
      {"tabs and two spaces between tokens",
       "{\n\"classname\"\t\"func_door\"\n\"spawnflags\"  \"32\"\n\t\"target\" \"t1\"\n}"},
      {"compact, nothing after the brace", "{\"classname\"\"func_door\"\"spawnflags\"\"32\"\"target\"\"t1\"}"},
  };
  for (const Layout& layout : layouts) {
    OpenEntities({kWorld, layout.record});
    ASSERT_EQ(m_ui.Search("func_door"), CommandOutcome::Done) << layout.name;
    EXPECT_THAT(ShownKeys(), ElementsAre("classname", "spawnflags", "target")) << layout.name;
    EXPECT_EQ(ShownValue(1), "func_door") << layout.name;
    EXPECT_EQ(ShownValue(2), "32") << layout.name;
    EXPECT_EQ(ShownValue(3), "t1") << layout.name;
    EXPECT_EQ(ShownFlag(6), "32") << layout.name;
  }
}

TEST_F(AnalyseEntityTest, recordOfThreeBytesOrFewerShowsEmptyBoxes) {
  OpenEntities({kWorld, "{ }", "{\"a\" \"b\"}"});
  m_ui.services.controls.Text(IDC_KEY1) = "typed";
  EXPECT_EQ(m_ui.Search("{ }"), CommandOutcome::Done);
  EXPECT_TRUE(ShownKeys().empty());
}

TEST_F(AnalyseEntityTest, missingQuoteEndsTheScan) {
  OpenEntities({kWorld, "{\n\"classname\" \"x\"\n\"broken\n}"});
  m_ui.Search("broken");
  EXPECT_THAT(ShownKeys(), ElementsAre("classname"));
  EXPECT_EQ(ShownValue(1), "x");
}

TEST_F(AnalyseEntityTest, everyByteOfAValueReachesTheBoxes) {
  std::string value;
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != '"' && byte != '{' && byte != '}') value.push_back(static_cast<char>(byte));
  }
  OpenEntities({kWorld, Pairs({{"bytes", value}})});
  m_ui.Search("~\x7f\x80\x81");
  EXPECT_EQ(ShownValue(1), value);
}

TEST_F(AnalyseEntityTest, keysAndValuesOfEveryLengthAreShownWhole) {
  // Short tokens are scanned in place and longer ones by a library search: lengths on
  // both sides of where one gives way to the other.
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::size_t n = 0; n < 30; ++n) pairs.emplace_back(std::string(n, 'k'), std::string(n + 10, 'v'));
  OpenEntities({kWorld, Pairs(pairs)});
  ASSERT_EQ(m_ui.Search(pairs.back().first), CommandOutcome::Done);
  for (std::size_t n = 0; n < 30; ++n) {
    EXPECT_EQ(m_dialog.m_keys[n + 1], pairs[n].first);
    EXPECT_EQ(m_dialog.m_values[n + 1], pairs[n].second);
  }
}

TEST_F(AnalyseEntityTest, entitiesBehindALongWorldspawnAreFound) {
  OpenEntities(
      {Pairs({{"classname", "worldspawn"}, {"wad", std::string(2000, 'w')}}), Pairs({{"classname", "light"}})});
  EXPECT_EQ(m_ui.Search("light"), CommandOutcome::Done);
  EXPECT_EQ(ShownValue(1), "light");
  EXPECT_EQ(m_ui.Search("wwww"), CommandOutcome::Done);
  EXPECT_EQ(ShownValue(2).size(), 2000u);
}

TEST_F(AnalyseEntityTest, aMapThatVanishedLeavesTheSearchWhereItWas) {
  OpenEntities({kWorld, Pairs({{"classname", "light"}}), Pairs({{"classname", "light"}})});
  m_ui.Search("light");
  const std::int32_t cursor = m_dialog.m_cursor;
  const std::string moved = m_path + ".moved";
  std::rename(m_path.c_str(), moved.c_str());
  EXPECT_EQ(m_ui.Search("light"), CommandOutcome::FileError);
  EXPECT_NE(m_ui.services.messages.back().find(m_path), std::string::npos);
  EXPECT_EQ(m_dialog.m_cursor, cursor);
  EXPECT_EQ(m_dialog.m_matchCount, 1);
  std::rename(moved.c_str(), m_path.c_str());
  EXPECT_EQ(m_ui.Search("light"), CommandOutcome::Done);
  EXPECT_EQ(m_dialog.m_matchCount, 2);
}

}  // namespace
}  // namespace kestrum
