// What an import accepts: JSON Lines back into entity text through the code page, and the
// check that the text reads as the engines read it, with the place of any fault.
#include <gtest/gtest.h>

#include "entity_text_check.h"
#include "input_error.h"
#include "json_lines.h"

namespace kestrum::cli {
namespace {

std::string JsonRefusal(std::string_view input, MapEncoding encoding = MapEncoding::Windows1252) {
  try {
    EntityTextOfJsonLines(input, encoding);
    return "";
  } catch (const CInputError& error) {
    return error.what();
  }
}

std::string TextRefusal(std::string_view text, bool force = false) {
  try {
    CheckEntityText(text, force);
    return "";
  } catch (const CInputError& error) {
    return error.what();
  }
}

TEST(JsonLines, entitiesComeBackAsCompilersWriteThemThroughTheCodePage) {
  const std::string input =
      "{\"map\": \"a.bsp\", \"offset\": 12, \"index\": 0, \"pairs\": [[\"classname\", \"worldspawn\"], "
      "[\"message\", \"Caf\\u00e9 \\u20ac\\\\ok\"]], \"extra\": {\"n\": [1, -2.5e3, true, null]}}\r\n"
      "\n"
      "{\"pairs\": [], \"index\": 1}\n"
      "{\"pairs\":[[\"classname\",\"light\"],[\"light\",\"300\"],[\"light\",\"dup\"]]}";
  EXPECT_EQ(EntityTextOfJsonLines(input, MapEncoding::Windows1252),
            "{\n\"classname\" \"worldspawn\"\n\"message\" \"Caf\xE9 \x80\\ok\"\n}\n{\n}\n"
            "{\n\"classname\" \"light\"\n\"light\" \"300\"\n\"light\" \"dup\"\n}\n");
  EXPECT_EQ(EntityTextOfJsonLines("{\"pairs\": [[\"k\", \"\\u0080\"]]}", MapEncoding::Latin1),
            "{\n\"k\" \"\x80\"\n}\n");
}

TEST(JsonLines, whatEntityTextCannotHoldIsRefusedWithTheEntityAndTheKey) {
  const std::string world = "{\"pairs\": [[\"classname\", \"worldspawn\"]]}\n";
  EXPECT_EQ(JsonRefusal(world + "{\"pairs\": [[\"message\", \"say \\\"hi\\\"\"]]}"),
            "entity 1, key \"message\": the value holds a double quote, which entity text cannot");
  EXPECT_EQ(JsonRefusal(world + "{\"pairs\": [[\"model\", \"a\\u0000b\"]]}"),
            "entity 1, key \"model\": the value holds a NUL, which would end the lump");
  EXPECT_EQ(JsonRefusal(world + world + "{\"pairs\": [[\"noise\", \"\\u0101\"]]}"),
            "entity 2, key \"noise\": the value holds a character the map's code page lacks");
  EXPECT_EQ(JsonRefusal("{\"pairs\": [[\"a\\\"b\", \"1\"]]}"),
            "entity 0, key \"a\"b\": the key holds a double quote, which entity text cannot");
  EXPECT_EQ(JsonRefusal("{\"pairs\": [[\"k\", \"\\u20ac\"]]}", MapEncoding::Latin1),
            "entity 0, key \"k\": the value holds a character the map's code page lacks");
}

TEST(JsonLines, aLineThatIsNoEntityIsRefusedWithItsNumber) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"{\"pairs\": [[\"a\", \"1\"]]} x", "text after the object"},
      {"{\"index\": 3}", "the object has no \"pairs\""},
      {"{\"pairs\": [[\"a\"]]}", "expected \",\" between a key and its value at column 16"},
      {"{\"pairs\": [[\"a\", 1]]}", "expected a string at column 18"},
      {"{\"pairs\": [[\"a\", \"1]]}", "a string is not closed"},
      {"{\"pairs\": [[\"a\", \"\\q\"]]}", "an unknown escape \\q"},
      {"{\"pairs\": [[\"a\", \"\\ud800\"]]}", "a lone surrogate in a \\u escape"},
      {"{\"pairs\": [], \"x\": }", "a value is missing at column 20"},
      {"[1]", "expected an object at column 1"},
  };
  for (const auto& [line, reason] : cases) {
    EXPECT_EQ(JsonRefusal("{\"pairs\": []}\n\n" + line), "line 3 is not an entity of JSON Lines: " + reason) << line;
  }
}

TEST(JsonLines, isToldFromEntityTextByItsFirstMember) {
  EXPECT_TRUE(LooksLikeJsonLines(" \n{\"map\": \"x\", \"pairs\": []}"));
  EXPECT_TRUE(LooksLikeJsonLines("{ \"we\\\"ird\" :1}"));
  EXPECT_FALSE(LooksLikeJsonLines("{\n\"classname\" \"worldspawn\"\n}"));
  EXPECT_FALSE(LooksLikeJsonLines("{\"classname\"\"worldspawn\"}"));
  EXPECT_FALSE(LooksLikeJsonLines("{ classname worldspawn }"));
  EXPECT_FALSE(LooksLikeJsonLines(""));
}

TEST(EntityTextCheck, faultsAreRefusedWithTheirLineAndColumn) {
  const std::string world = "{\n\"classname\" \"worldspawn\"\n}\n";
  EXPECT_EQ(TextRefusal(world + "{\n\"classname\" \"light\n}\n"), "line 5, column 13: entity 1: missing closing quote");
  EXPECT_EQ(TextRefusal(world + "{\n  \"origin\"\n}\n"), "line 5, column 3: entity 1: the key \"origin\" has no value");
  EXPECT_EQ(TextRefusal(world + "{\n\"a\" \"1\"\n"), "line 6, column 1: entity 1: missing closing brace");
  EXPECT_EQ(TextRefusal(world + "\"classname\" \"light\"\n}\n"),
            "line 4, column 1: text that does not begin an entity (\"{\" expected)");
  EXPECT_EQ(TextRefusal(world + "{\n\"a\" \"1\"\n}\n" + std::string(1, '\0') + "{}"),
            "line 7, column 1: a NUL byte, where the engines would end the entities");
  EXPECT_EQ(TextRefusal(" // nothing\r\n"), "the input holds no entity");
}

TEST(EntityTextCheck, theWorldMustComeFirstUnlessForced) {
  const std::string light = "{\n\"classname\" \"light\"\n}\n";
  const std::string world = "{ // comments and bare words as Quake 3 reads them\n classname worldspawn }\r\n\r\n";
  EXPECT_EQ(TextRefusal(world + light), "");
  EXPECT_NE(TextRefusal(light + world).find("the first entity is not the world"), std::string::npos);
  EXPECT_EQ(TextRefusal(light + world, true), "");
}

}  // namespace
}  // namespace kestrum::cli
