// The Windows Western code page both dialogs show the maps' bytes in.
#include "windows_1252.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kestrum::windows_1252 {
namespace {

TEST(Windows1252, typographicBytesAreTheCodePagesCharacters) {
  // Where Latin-1 has invisible controls, the code page has these.
  EXPECT_EQ(CharacterOfByte(0x80), u'€');
  EXPECT_EQ(CharacterOfByte(0x8A), u'Š');
  EXPECT_EQ(CharacterOfByte(0x92), u'’');
  EXPECT_EQ(CharacterOfByte(0x96), u'–');
  EXPECT_EQ(CharacterOfByte(0x99), u'™');
  EXPECT_EQ(CharacterOfByte(0x9F), u'Ÿ');
  // The five bytes it leaves undefined stand for the controls of the same value.
  for (const unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(CharacterOfByte(undefined), char16_t{undefined}) << int{undefined};
  }
  // Below and above that range each byte is the character of its value.
  EXPECT_EQ(CharacterOfByte(0x01), u'\x01');
  EXPECT_EQ(CharacterOfByte('A'), u'A');
  EXPECT_EQ(CharacterOfByte(0x7F), u'\x7F');
  EXPECT_EQ(CharacterOfByte(0xA0), u'\u00A0');
  EXPECT_EQ(CharacterOfByte(0xE9), u'é');
  EXPECT_EQ(CharacterOfByte(0xFF), u'ÿ');
}

TEST(Windows1252, everyByteHasItsOwnCharacterAndOnlyThoseHaveABack) {
  std::set<char16_t> characters;
  for (int byte = 0; byte < 256; ++byte) {
    const char16_t character = CharacterOfByte(static_cast<unsigned char>(byte));
    characters.insert(character);
    EXPECT_EQ(ByteOfCharacter(character), static_cast<unsigned char>(byte)) << byte;
  }
  EXPECT_EQ(characters.size(), 256u);
  for (char32_t code = 0; code <= 0xFFFF; ++code) {
    const auto character = static_cast<char16_t>(code);
    EXPECT_EQ(ByteOfCharacter(character).has_value(), characters.count(character) == 1) << code;
  }
}

TEST(Windows1252, everyByteComesBackAsItWentThroughText) {
  std::string bytes;
  for (int byte = 1; byte < 256; ++byte) bytes.push_back(static_cast<char>(byte));
  const std::u16string text = TextOfBytes(bytes);
  ASSERT_EQ(text.size(), bytes.size());
  EXPECT_EQ(text[0x80 - 1], u'€');
  EXPECT_TRUE(IsWritable(text));
  EXPECT_EQ(BytesOfText(text), bytes);
  EXPECT_EQ(TextOfBytes(""), u"");
}

TEST(Windows1252, charactersWithoutAByteAreRefusedAndDroppedNeverChanged) {
  // Greek, a check mark, and U+009F, whose byte 0x9F the code page spends on "Ÿ".
  const std::u16string mixed = u"a€Ω–✓\u009F!";
  EXPECT_FALSE(IsWritable(mixed));
  EXPECT_EQ(BytesOfText(mixed), "a\x80\x96!");
  EXPECT_FALSE(IsWritable(u"\u009F"));
  EXPECT_TRUE(IsWritable(u""));
  EXPECT_TRUE(IsWritable(u"Ÿ ’é"));
}

}  // namespace
}  // namespace kestrum::windows_1252
