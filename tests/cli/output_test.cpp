#include "output.h"

#include <gtest/gtest.h>

#include <map>

#include "shown_press.h"

namespace kestrum {
namespace {

TEST(TextBuffer, keepsEveryPieceInOrderAsItsRoomGrows) {
  cli::CTextBuffer buffer;
  std::string expected;
  for (int n = 0; n < 3000; ++n) {
    const std::string piece(static_cast<std::size_t>(n % 700), static_cast<char>('a' + n % 26));
    buffer.Put(piece);
    buffer.Put("; ");
    buffer.PutNumber(-n * 1234567LL);
    buffer.Put('\n');
    char* const at = buffer.Claim(5);
    at[0] = '<';
    at[1] = '>';
    buffer.Keep(at + 2);
    expected += piece + "; " + std::to_string(-n * 1234567LL) + "\n<>";
  }
  EXPECT_EQ(buffer.Text(), expected);
  EXPECT_EQ(buffer.Take(), expected);
  EXPECT_EQ(buffer.Size(), 0u);
  buffer.Put("again");
  EXPECT_EQ(buffer.Text(), "again");
  buffer.Clear();
  buffer.PutNumber(-9223372036854775807LL - 1);
  EXPECT_EQ(buffer.Text(), "-9223372036854775808");
}

constexpr cli::MapEncoding kWindows1252 = cli::MapEncoding::Windows1252;
constexpr cli::MapEncoding kLatin1 = cli::MapEncoding::Latin1;

TEST(JsonMapText, writesEachByteAsTheCharacterOfTheCodePage) {
  for (const cli::MapEncoding encoding : {kWindows1252, kLatin1}) {
    EXPECT_EQ(cli::JsonMapText("", encoding), "\"\"");
    EXPECT_EQ(cli::JsonMapText("plain text 1 2", encoding), "\"plain text 1 2\"");
    EXPECT_EQ(cli::JsonMapText("a\"b\\c/", encoding), R"("a\"b\\c/")");
    EXPECT_EQ(cli::JsonMapText(std::string("\x01\t\n\x1f\x7f", 5), encoding), R"("\u0001\u0009\u000a\u001f\u007f")");
  }
  EXPECT_EQ(cli::JsonMapText("\x80\x92\x81\xe9\xff", kWindows1252), "\"\u20ac\u2019\u0081\u00e9\u00ff\"");
  EXPECT_EQ(cli::JsonMapText("\x80\xe9\xff", kLatin1), "\"\xc2\x80\xc3\xa9\xc3\xbf\"");
}

/**
 * Plain texts are copied several bytes at a time: every byte, at every place of texts
 * around those widths, must come out of escape as it does alone.
 */
void ExpectEveryByteEscapedAsAloneAtEveryPlace(std::string (*escape)(std::string_view), std::size_t quotes) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string alone = escape(std::string(1, static_cast<char>(byte)));
    const std::string escaped = alone.substr(quotes, alone.size() - 2 * quotes);
    const std::string quote = alone.substr(0, quotes);
    for (std::size_t length = 1; length <= 20; ++length) {
      for (std::size_t place = 0; place < length; ++place) {
        std::string text(length, 'a');
        text[place] = static_cast<char>(byte);
        const std::string expected =
            quote + std::string(place, 'a') + escaped + std::string(length - place - 1, 'a') + quote;
        ASSERT_EQ(escape(text), expected) << "byte " << byte << " at " << place << " of " << length;
      }
    }
  }
}

TEST(JsonMapText, writesAByteTheSameWhereverItStandsInATextOfAnyLength) {
  ExpectEveryByteEscapedAsAloneAtEveryPlace(
      [](std::string_view bytes) { return cli::JsonMapText(bytes, kWindows1252); }, 1);
  ExpectEveryByteEscapedAsAloneAtEveryPlace([](std::string_view bytes) { return cli::JsonMapText(bytes, kLatin1); }, 1);
}

TEST(EscapeMapText, writesAByteTheSameWhereverItStandsInATextOfAnyLength) {
  ExpectEveryByteEscapedAsAloneAtEveryPlace(
      [](std::string_view bytes) { return cli::EscapeMapText(bytes, kWindows1252); }, 0);
  ExpectEveryByteEscapedAsAloneAtEveryPlace([](std::string_view bytes) { return cli::EscapeMapText(bytes, kLatin1); },
                                            0);
}

TEST(FoundEntity, showsPairsUpToTheLastFilledSlotIncludingEmptyTokens) {
  cli::ShownPress record;
  record.search.foundOffset = 42;
  record.keys[1] = "classname";
  record.values[1] = "light";
  record.keys[2] = "";
  record.values[2] = "";
  record.keys[3] = "odd";
  record.values[4] = "a value without its key";  // the last filled slot
  record.flags[12] = "1024";
  cli::CTextBuffer out;
  cli::AppendFoundEntity(out, 3, record, kWindows1252);
  EXPECT_EQ(out.Text(),
            "press 3: entity at offset 42\n  \"classname\" \"light\"\n  \"\" \"\"\n  \"odd\" \"\"\n"
            "  \"\" \"a value without its key\"\n  flags: 1024 (Difficult)\n");
}

TEST(EscapeMapText, writesTheCodePagesCharactersAndEscapesControlCharacters) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"plain \"text\" with \\ backslash", "plain \"text\" with \\ backslash"},
      {"a\nb\rc\td", "a\\nb\\rc\\td"},
      {std::string("\x01\x1b[2J\x7f\0", 7), "\\x01\\x1b[2J\\x7f\\x00"},
      {"\xe9\xff", "\u00e9\u00ff"},
      {"\x80 \x92", "\u20ac \u2019"},
      {"\x81\x8d\x8f\x90\x9d", "\\x81\\x8d\\x8f\\x90\\x9d"},  // the code page's C1 controls
  };
  for (const auto& [bytes, escaped] : cases) EXPECT_EQ(cli::EscapeMapText(bytes, kWindows1252), escaped) << bytes;
  EXPECT_EQ(cli::EscapeMapText("\x80\x9f\xa0\xe9", kLatin1), "\\x80\\x9f\u00a0\u00e9");
}

TEST(Names, passAsUtf8WithControlsAndOtherBytesEscaped) {
  const std::vector<std::pair<std::string, std::string>> escaped{
      {"maps/\u00e9t\u00e9.bsp", "maps/\u00e9t\u00e9.bsp"},
      {"\u30de\u30c3\u30d7.bsp", "\u30de\u30c3\u30d7.bsp"},
      {"\xe9t\xe9.bsp", "\\xe9t\\xe9.bsp"},  // Latin-1 bytes in a name
      {"maps/\x1b[2J\nkestrum-cli: all good.bsp", "maps/\\x1b[2J\\nkestrum-cli: all good.bsp"},
      {"a\u0085b", "a\\xc2\\x85b"},  // a C1 control, written in UTF-8
  };
  for (const auto& [name, text] : escaped) EXPECT_EQ(cli::EscapeName(name), text) << name;
  EXPECT_EQ(cli::JsonName("maps/\u00e9t\u00e9.bsp"), "\"maps/\u00e9t\u00e9.bsp\"");
  EXPECT_EQ(cli::JsonName("\xe9t\xe9.bsp"), "\"\ufffdt\ufffd.bsp\"");
  EXPECT_EQ(cli::JsonName("a\"\n\\b"), R"("a\"\u000a\\b")");
}

TEST(FoundEntity, aValueWithALineBreakCannotForgeALine) {
  cli::ShownPress record;
  record.search.foundOffset = 7;
  record.keys[1] = "message";
  record.values[1] = "hi\npress 9: entity at offset 0";
  cli::CTextBuffer out;
  cli::AppendFoundEntity(out, 1, record, kWindows1252, "e1m1.bsp: ");
  EXPECT_EQ(out.Text(),
            "e1m1.bsp: press 1: entity at offset 7\ne1m1.bsp:   \"message\" \"hi\\npress 9: entity at offset 0\"\n");
}

TEST(FoundEntity, aLongValueIsWrittenWholeWithItsEscapes) {
  // Longer than the room a press usually takes, with every byte escaped.
  cli::ShownPress shown;
  shown.keys[1] = "message";
  shown.values[1] = std::string(70'000, '\x01') + "\t";
  cli::CTextBuffer text;
  cli::AppendFoundEntity(text, 1, shown, kWindows1252);
  std::string expected = "press 1: entity at offset 0\n  \"message\" \"";
  for (int n = 0; n < 70'000; ++n) expected += "\\x01";
  expected += "\\t\"\n";
  EXPECT_EQ(text.Text(), expected);

  cli::CTextBuffer json;
  cli::AppendJsonPress(json, 1, shown, kWindows1252);
  const std::string escaped = cli::JsonMapText(shown.values[1], kWindows1252);
  EXPECT_EQ(escaped.size(), 2 + 70'001 * 6u);
  EXPECT_NE(json.Text().find("\"values\": [" + escaped + ", \"\", "), std::string_view::npos);
}

TEST(JsonPress, writesEverySlotInPlaceWhateverIsFilled) {
  cli::ShownPress record;
  record.keys[2] = "second";
  record.keys[30] = "last";
  record.values[1] = "first";
  record.flags[12] = "1024";
  record.flags[3] = "4";
  cli::CTextBuffer json;
  cli::AppendJsonPress(json, 1, record, kWindows1252);
  const auto slots = [](std::size_t count, const std::map<std::size_t, std::string>& filled) {
    std::string array = "[";
    for (std::size_t n = 1; n <= count; ++n) {
      if (n > 1) array += ", ";
      array += "\"" + (filled.count(n) ? filled.at(n) : std::string()) + "\"";
    }
    return array + "]";
  };
  EXPECT_EQ(json.Text(), "{\"press\": 1, \"matchCount\": 0, \"cursor\": 0, \"keys\": " +
                             slots(30, {{2, "second"}, {30, "last"}}) + ", \"values\": " + slots(30, {{1, "first"}}) +
                             ", \"flags\": " + slots(12, {{3, "4"}, {12, "1024"}}) + "}\n");
  json.Clear();
  const cli::ShownPress empty;
  cli::AppendJsonPress(json, 2, empty, kWindows1252);
  EXPECT_EQ(json.Text(), "{\"press\": 2, \"matchCount\": 0, \"cursor\": 0, \"keys\": " + slots(30, {}) +
                             ", \"values\": " + slots(30, {}) + ", \"flags\": " + slots(12, {}) + "}\n");
}

TEST(JsonPress, everySlotFilledWithTheLongestEscapesFitsItsRoom) {
  // Each byte below 0x20 takes six bytes in JSON: the most an array can need.
  cli::ShownPress record;
  for (std::size_t n = 1; n <= kPairSlots; ++n) {
    record.keys[n] = std::string(n, '\x01');
    record.values[n] = std::string(1, '\x1f');
  }
  for (std::size_t n = 1; n <= kFlagSlots; ++n) record.flags[n] = std::string(n, '\n');
  const auto array = [](const auto& slots) {
    std::string text = "[";
    for (std::size_t n = 1; n < slots.size(); ++n)
      text += (n > 1 ? ", " : "") + cli::JsonMapText(slots[n], kWindows1252);
    return text + "]";
  };
  cli::CTextBuffer json;
  cli::AppendJsonPress(json, 4, record, kWindows1252);
  EXPECT_EQ(json.Text(), "{\"press\": 4, \"matchCount\": 0, \"cursor\": 0, \"keys\": " + array(record.keys) +
                             ", \"values\": " + array(record.values) + ", \"flags\": " + array(record.flags) + "}\n");
  EXPECT_NE(json.Text().find("\"\\u0001\\u0001\""), std::string_view::npos);
}

TEST(JsonPress, carriesTheMapFirstWhenNamed) {
  cli::ShownPress shown;
  shown.search.matchCount = 2;
  shown.search.cursor = 99;
  cli::CTextBuffer buffer;
  cli::AppendJsonPress(buffer, 3, shown, kWindows1252, "pak0.pk3:maps/q3dm1.bsp");
  const std::string named = buffer.Take();
  EXPECT_EQ(named.rfind("{\"map\": \"pak0.pk3:maps/q3dm1.bsp\", \"press\": 3, \"matchCount\": 2, \"cursor\": 99, ", 0),
            0u)
      << named;
  cli::AppendJsonPress(buffer, 3, shown, kWindows1252);
  EXPECT_EQ(buffer.Text(), "{" + named.substr(named.find("\"press\"")));
}

TEST(EntityJson, holdsEveryPairInOrder) {
  ParsedEntity entity;
  entity.offset = 1234;
  entity.index = 5;
  entity.pairs = {{"classname", "light"}, {"origin", "0 0 64"}, {"target", "a"}, {"target", "\"\xff"}};
  cli::CTextBuffer json;
  cli::AppendEntityJson(json, "e1m1.bsp", entity, kWindows1252);
  EXPECT_EQ(json.Text(),
            "{\"map\": \"e1m1.bsp\", \"offset\": 1234, \"index\": 5, \"pairs\": [[\"classname\", \"light\"], "
            "[\"origin\", \"0 0 64\"], [\"target\", \"a\"], [\"target\", \"\\\"\xc3\xbf\"]]}\n");
  entity.pairs.clear();
  json.Clear();
  cli::AppendEntityJson(json, "m", entity, kWindows1252);
  EXPECT_EQ(json.Text(), "{\"map\": \"m\", \"offset\": 1234, \"index\": 5, \"pairs\": []}\n");
}

}  // namespace
}  // namespace kestrum
