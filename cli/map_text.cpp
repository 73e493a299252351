#include "map_text.h"

#include "windows_1252.h"

namespace kestrum::cli {
namespace {

/** The UTF-8 bytes of a character of the Basic Multilingual Plane; their number. */
std::size_t EncodeUtf8(char16_t character, std::array<char, 3>& out) {
  if (character < 0x800) {
    out[0] = static_cast<char>(0xC0 | (character >> 6));
    out[1] = static_cast<char>(0x80 | (character & 0x3F));
    return 2;
  }
  out[0] = static_cast<char>(0xE0 | (character >> 12));
  out[1] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
  out[2] = static_cast<char>(0x80 | (character & 0x3F));
  return 3;
}

char16_t CharacterOf(unsigned char byte, MapEncoding encoding) {
  return encoding == MapEncoding::Windows1252 ? windows_1252::CharacterOfByte(byte) : char16_t{byte};
}

/** The code point that starts at at, and its length; nothing for bytes that are not UTF-8. */
std::optional<std::pair<char32_t, std::size_t>> DecodeUtf8(std::string_view text, std::size_t at) {
  const std::size_t length = Utf8CharacterLength(text, at);
  if (length == 0) return std::nullopt;
  const auto lead = static_cast<unsigned char>(text[at]);
  if (length == 1) return std::make_pair(char32_t{lead}, std::size_t{1});
  char32_t point = lead & (0x7F >> length);
  for (std::size_t n = 1; n < length; ++n) point = (point << 6) | (static_cast<unsigned char>(text[at + n]) & 0x3F);
  return std::make_pair(point, length);
}

}  // namespace

CHighBytes::CHighBytes(MapEncoding encoding) {
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
    const char16_t character = CharacterOf(static_cast<unsigned char>(byte), encoding);
    m_length[byte - 0x80] = static_cast<std::uint8_t>(EncodeUtf8(character, m_utf8[byte - 0x80]));
    m_control[byte - 0x80] = character >= 0x80 && character <= 0x9F;
  }
}

const CHighBytes& HighBytesOf(MapEncoding encoding) {
  static const CHighBytes kWindows1252(MapEncoding::Windows1252);
  static const CHighBytes kLatin1(MapEncoding::Latin1);
  return encoding == MapEncoding::Windows1252 ? kWindows1252 : kLatin1;
}

std::optional<std::string> MapBytesOfUtf8(std::string_view utf8, MapEncoding encoding) {
  std::string bytes;
  bytes.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const auto decoded = DecodeUtf8(utf8, at);
    if (!decoded) return std::nullopt;
    const char32_t point = decoded->first;
    at += decoded->second;
    if (point > 0xFFFF) return std::nullopt;  // no code page of maps reaches past the BMP
    std::optional<unsigned char> byte;
    if (encoding == MapEncoding::Windows1252) {
      byte = windows_1252::ByteOfCharacter(static_cast<char16_t>(point));
    } else if (point <= 0xFF) {
      byte = static_cast<unsigned char>(point);
    }
    if (!byte) return std::nullopt;
    bytes.push_back(static_cast<char>(*byte));
  }
  return bytes;
}

std::size_t Utf8CharacterLength(std::string_view name, std::size_t at) {
  const auto byte = [&](std::size_t n) { return static_cast<unsigned char>(name[at + n]); };
  const auto continuation = [&](std::size_t n) { return at + n < name.size() && (byte(n) & 0xC0) == 0x80; };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!continuation(1) || !continuation(2)) return 0;
    // No overlong forms, no surrogates.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) >= 0xA0)) return 0;
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!continuation(1) || !continuation(2) || !continuation(3)) return 0;
    if ((lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) >= 0x90)) return 0;
    return 4;
  }
  return 0;
}

}  // namespace kestrum::cli
