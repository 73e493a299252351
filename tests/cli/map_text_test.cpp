// Map bytes as text and back: every byte one character, a search text's characters one
// byte each, and names as the system gives them.
#include "map_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrum::cli {
namespace {

std::string Utf8Of(const CHighBytes& table, unsigned char byte) {
  return std::string(table.Utf8(byte).data(), table.Length(byte));
}

TEST(MapText, everyHighByteHasOneCharacterAndComesBackFromIt) {
  for (const MapEncoding encoding : {MapEncoding::Windows1252, MapEncoding::Latin1}) {
    const CHighBytes& table = HighBytesOf(encoding);
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
      const std::string text = Utf8Of(table, static_cast<unsigned char>(byte));
      EXPECT_EQ(MapBytesOfUtf8(text, encoding), std::string(1, static_cast<char>(byte))) << byte;
    }
  }
  const CHighBytes& windows = HighBytesOf(MapEncoding::Windows1252);
  EXPECT_EQ(Utf8Of(windows, 0x80), "\u20ac");
  EXPECT_EQ(Utf8Of(windows, 0x92), "\u2019");
  EXPECT_EQ(Utf8Of(windows, 0xE9), "\u00e9");
  const CHighBytes& latin = HighBytesOf(MapEncoding::Latin1);
  EXPECT_EQ(Utf8Of(latin, 0x80), "\u0080");
  EXPECT_EQ(Utf8Of(latin, 0xE9), "\u00e9");
}

TEST(MapText, onlyTheBytesWindowsLeavesUndefinedAreControlCharacters) {
  const CHighBytes& windows = HighBytesOf(MapEncoding::Windows1252);
  const CHighBytes& latin = HighBytesOf(MapEncoding::Latin1);
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
    const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
    EXPECT_EQ(windows.IsControl(static_cast<unsigned char>(byte)), undefined) << byte;
    EXPECT_EQ(latin.IsControl(static_cast<unsigned char>(byte)), byte <= 0x9F) << byte;
  }
}

TEST(MapText, aSearchTextIsRefusedWhereTheCodePageHasNoByteForACharacter) {
  EXPECT_EQ(MapBytesOfUtf8("light \u20ac", MapEncoding::Windows1252), "light \x80");
  EXPECT_EQ(MapBytesOfUtf8("\u00e9t\u00e9", MapEncoding::Windows1252), "\xe9t\xe9");
  EXPECT_EQ(MapBytesOfUtf8("quickm\u0101p", MapEncoding::Windows1252), std::nullopt);
  EXPECT_EQ(MapBytesOfUtf8("\u30de\u30c3\u30d7", MapEncoding::Windows1252), std::nullopt);
  EXPECT_EQ(MapBytesOfUtf8("\U0001F600", MapEncoding::Windows1252), std::nullopt);
  EXPECT_EQ(MapBytesOfUtf8("\u20ac", MapEncoding::Latin1), std::nullopt);
  EXPECT_EQ(MapBytesOfUtf8("\u0080", MapEncoding::Latin1), "\x80");
  EXPECT_EQ(MapBytesOfUtf8("\xe9t\xe9", MapEncoding::Windows1252), std::nullopt);  // not UTF-8
  EXPECT_EQ(MapBytesOfUtf8("", MapEncoding::Windows1252), "");
}

TEST(MapText, namesAreUtf8WhereTheirBytesAreAndNowhereElse) {
  struct Case {
    std::string name;
    std::vector<std::size_t> lengths;  ///< at each place a character may start
  };
  const std::vector<Case> cases{
      {"a", {1}},
      {"\u00e9", {2}},
      {"\u30de", {3}},
      {"\U0001F600", {4}},
      {"\xe9t", {0, 1}},                   // Latin-1 bytes
      {"\xc0\x80", {0, 0}},                // an overlong NUL
      {"\xed\xa0\x80", {0, 0, 0}},         // a surrogate
      {"\xf4\x90\x80\x80", {0, 0, 0, 0}},  // past U+10FFFF
      {"\xe3\x83", {0, 0}},                // cut short
  };
  for (const Case& c : cases) {
    std::vector<std::size_t> lengths;
    for (std::size_t at = 0; at < c.name.size();) {
      const std::size_t length = Utf8CharacterLength(c.name, at);
      lengths.push_back(length);
      at += length == 0 ? 1 : length;
    }
    EXPECT_EQ(lengths, c.lengths) << c.name;
  }
}

}  // namespace
}  // namespace kestrum::cli
