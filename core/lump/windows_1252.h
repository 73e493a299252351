// The Windows Western code page, in which the entity texts of maps are written: each
// byte is one character. The dialogs show map bytes through it, and the command line
// reads and writes text through it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrum::windows_1252 {

/**
 * The character (a UTF-16 code unit) of a byte. 0x80 to 0x9F are the code page's
 * typographic characters (0x80 is the euro sign); the five bytes it leaves undefined
 * (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same value,
 * as Windows maps them, so that every byte has a character and comes back unchanged.
 */
char16_t CharacterOfByte(unsigned char byte);

/** The byte of a character, or nothing for a character the code page cannot write. */
std::optional<unsigned char> ByteOfCharacter(char16_t character);

/** The characters of bytes, one for each byte. */
std::u16string TextOfBytes(std::string_view bytes);

/**
 * The bytes of a text. A character the code page cannot write is dropped rather than
 * changed into another byte: a search must never look for a text nobody typed.
 */
std::string BytesOfText(std::u16string_view text);

/** Whether the code page can write every character of a text. */
bool IsWritable(std::u16string_view text);

}  // namespace kestrum::windows_1252
