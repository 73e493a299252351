// How the command line turns map bytes into text and back: each byte is one character of
// a code page (Windows-1252 by default, as the dialog shows it), written out in UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrum::cli {

enum class MapEncoding {
  Windows1252,  ///< the code page mapping tools write: 0x80 is the euro sign
  Latin1,       ///< each byte the code point of its value
};

/** The UTF-8 text of each byte from 0x80 to 0xFF in one encoding. */
class CHighBytes {
 public:
  explicit CHighBytes(MapEncoding encoding);

  /** The UTF-8 bytes of the byte's character (two or three), and how many there are. */
  const std::array<char, 3>& Utf8(unsigned char byte) const { return m_utf8[byte - 0x80]; }
  std::size_t Length(unsigned char byte) const { return m_length[byte - 0x80]; }
  /** Whether the byte's character is a C1 control character (U+0080 to U+009F). */
  bool IsControl(unsigned char byte) const { return m_control[byte - 0x80]; }

 private:
  std::array<std::array<char, 3>, 128> m_utf8{};
  std::array<std::uint8_t, 128> m_length{};
  std::array<bool, 128> m_control{};
};

/** The table of an encoding, made once. */
const CHighBytes& HighBytesOf(MapEncoding encoding);

/**
 * The map bytes of a text given in UTF-8 (a search text typed on the command line):
 * nothing when a character has no byte in the encoding, or the text is not UTF-8.
 */
std::optional<std::string> MapBytesOfUtf8(std::string_view utf8, MapEncoding encoding);

/**
 * Whether the bytes of a name (a path, as the system gives it) are UTF-8 from at and
 * how long the character there is: 0 for a byte that starts no valid character.
 */
std::size_t Utf8CharacterLength(std::string_view name, std::size_t at);

}  // namespace kestrum::cli
