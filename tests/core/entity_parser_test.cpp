#include "entity_parser.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kestrum {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

/** What the parser reported, in order, as plain text: "E index@offset k=v ..." or "X index@offset reason". */
std::vector<std::string> Parse(std::string_view text, std::int64_t textOffset = 0) {
  std::vector<std::string> events;
  ParseEntityLump(
      text, textOffset,
      [&](const ParsedEntity& entity) {
        std::string line = "E " + std::to_string(entity.index) + "@" + std::to_string(entity.offset);
        for (const auto& [key, value] : entity.pairs) line += " " + std::string(key) + "=" + std::string(value);
        events.push_back(line);
      },
      [&](const EntityParseError& error) {
        events.push_back("X " + std::to_string(error.index) + "@" + std::to_string(error.offset) + " " + error.reason);
      });
  return events;
}

struct ParseCase {
  const char* name;
  std::string text;
  std::vector<std::string> expected;
};

TEST(EntityParser, readsEntitiesAsTheEnginesDo) {
  const std::vector<ParseCase> cases{
      {"compiled layout",
       "{\n\"classname\" \"worldspawn\"\n}\n{\n\"classname\" \"light\"\n\"origin\" \"0 0 64\"\n}\n",
       {"E 0@0 classname=worldspawn", "E 1@29 classname=light origin=0 0 64"}},
      {"CR LF, tabs and no separators at all", "{\r\n\t\"a\"\t\"1\"\r\n}\r\n{\"b\"\"2\"}", {"E 0@0 a=1", "E 1@16 b=2"}},
      {"comments to the end of the line",
       "// header\n{ // world\n\"a\" \"1\" // note \"x\" \"y\"\n}\n",
       {"E 0@10 a=1"}},
      {"slashes inside a value are text", "{ \"url\" \"http://x//y\" }", {"E 0@0 url=http://x//y"}},
      {"duplicates kept, in order",
       "{ \"target\" \"a\" \"target\" \"b\" \"target\" \"a\" }",
       {"E 0@0 target=a target=b target=a"}},
      {"backslashes are not escapes", "{ \"wad\" \"\\\\half\\\\x.wad\\\" }", {"E 0@0 wad=\\\\half\\\\x.wad\\"}},
      {"empty keys, values and entities", "{ \"\" \"\" }\n{}\n", {"E 0@0 =", "E 1@10"}},
      {"the lump ends at a NUL", std::string("{ \"a\" \"1\" }\n\0{ \"b\" \"2\" }", 23), {"E 0@0 a=1"}},
      {"the lump ends at text that is no entity", "{ \"a\" \"1\" }\nIBSP\x01{ \"b\" \"2\" }", {"E 0@0 a=1"}},
      {"nothing at all", "", {}},
      {"a key without a value, the next entity on the same line",
       "{\n\"a\" \"1\"\n\"lonely\"\n} { \"b\" \"2\" }\n",
       {"X 0@0 the key \"lonely\" has no value", "E 1@21 b=2"}},
      {"a quote the lump ends before closing",
       "{\n\"a\" \"1\"\n}\n{\n\"b\" \"2\n}\n{\nc x\n}\n{ d e }",
       {"E 0@0 a=1", "X 1@12 missing closing quote", "E 2@23 c=x", "E 3@31 d=e"}},
      {"a missing closing brace",
       "{\n\"a\" \"1\"\n{\n\"b\" \"2\"\n}\n",
       {"X 0@0 missing closing brace before the next entity", "E 1@10 b=2"}},
      {"a key cut short by the next entity",
       "{ \"a\" {\n\"b\" \"2\" }",
       {"X 0@0 the key \"a\" has no value", "E 1@6 b=2"}},
      {"a lump that ends inside an entity", std::string("{ \"a\" \"1\"\n\0", 11), {"X 0@0 missing closing brace"}},
      {"no entity after a malformed last one", "{ \"a\" }", {"X 0@0 the key \"a\" has no value"}},
  };
  for (const ParseCase& c : cases) EXPECT_EQ(Parse(c.text), c.expected) << c.name;
}

TEST(EntityParser, readsWhatQuake3sParserReads) {
  const std::vector<ParseCase> cases{
      {"values on several lines",
       "{\n\"message\" \"first line\nsecond line\"\n\"a\" \"1\"\n}\n",
       {"E 0@0 message=first line\nsecond line a=1"}},
      {"bare words end at whitespace",
       "{\nclassname light\norigin\t\"0 0 64\"\n\"light\" 300\n}\n",
       {"E 0@0 classname=light origin=0 0 64 light=300"}},
      {"a brace or a quote inside a bare word is part of it", "{ a b} }", {"E 0@0 a=b}"}},
      {"block comments, across lines and between a key and its value",
       "/* the world */ {\n\"a\" /* note\n\"x\" \"y\" */ \"1\"\n}\n{ \"b\" \"2\" }",
       {"E 0@16 a=1", "E 1@47 b=2"}},
      {"comment markers inside quotes are text", "{ \"a\" \"/* x */\" \"b\" \"// y\" }", {"E 0@0 a=/* x */ b=// y"}},
      {"a block comment the lump ends in", "{ \"a\" \"1\" } /* { \"b\" \"2\" }", {"E 0@0 a=1"}},
      {"a quoted closing brace is a key", "{ \"}\" \"1\" }", {"E 0@0 }=1"}},
  };
  for (const ParseCase& c : cases) EXPECT_EQ(Parse(c.text), c.expected) << c.name;
}

TEST(EntityParser, takesLinearTimeOnOneLineLumps) {
  // Each of these took seconds to quadratic scans: every quote looked for the line's
  // end. Linear, both take milliseconds; the bound leaves room for slow builds.
  const auto start = std::chrono::steady_clock::now();
  const std::vector<std::string> manyQuotes = Parse("{" + std::string(400'000, '"'));
  ASSERT_EQ(manyQuotes.size(), 1u);
  EXPECT_EQ(manyQuotes[0], "X 0@0 missing closing brace");

  std::string cut;
  for (int n = 0; n < 100'000; ++n) cut += "{\"worldspawn\"";
  const std::vector<std::string> cutEntities = Parse(cut);
  ASSERT_EQ(cutEntities.size(), 100'000u);
  EXPECT_EQ(cutEntities[1], "X 1@13 the key \"worldspawn\" has no value");
  EXPECT_EQ(cutEntities.back(), "X 99999@1299987 the key \"worldspawn\" has no value");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(EntityParser, offsetsCountFromTheMapsStartAndEveryPairIsKept) {
  std::string text;
  for (int n = 0; n < 100; ++n) text += "\"k" + std::to_string(n) + "\" \"v\"\n";
  text = "{\n" + text + "}\n";
  const std::vector<std::string> events = Parse(text, 5000);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].rfind("E 0@5000 k0=v k1=v", 0), 0u);
  EXPECT_NE(events[0].find(" k99=v"), std::string::npos);
}

TEST(EntityParser, bytesAboveAsciiAreTextNotSeparators) {
  EXPECT_EQ(Parse("{ \"n\xe9\" \"\xff\x80\" }"), std::vector<std::string>{"E 0@0 n\xe9=\xff\x80"});
}

}  // namespace
}  // namespace kestrum
