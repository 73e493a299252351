#include "windows_1252.h"

#include <algorithm>
#include <array>

namespace kestrum::windows_1252 {
namespace {

/** Characters of the bytes 0x80 to 0x9F; every other byte is the character of its value. */
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

constexpr unsigned char kFirstHigh = 0x80;
constexpr unsigned char kLastHigh = 0x9F;

}  // namespace

char16_t CharacterOfByte(unsigned char byte) {
  if (byte >= kFirstHigh && byte <= kLastHigh) return kHighControls[byte - kFirstHigh];
  return byte;
}

std::optional<unsigned char> ByteOfCharacter(char16_t character) {
  if (character <= 0xFF && (character < kFirstHigh || character > kLastHigh)) {
    return static_cast<unsigned char>(character);
  }
  for (std::size_t n = 0; n < kHighControls.size(); ++n) {
    if (kHighControls[n] == character) return static_cast<unsigned char>(kFirstHigh + n);
  }
  return std::nullopt;
}

std::u16string TextOfBytes(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  std::transform(bytes.begin(), bytes.end(), text.begin(),
                 [](char byte) { return CharacterOfByte(static_cast<unsigned char>(byte)); });
  return text;
}

std::string BytesOfText(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (const char16_t character : text) {
    if (const auto byte = ByteOfCharacter(character)) bytes.push_back(static_cast<char>(*byte));
  }
  return bytes;
}

bool IsWritable(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char16_t character) { return ByteOfCharacter(character).has_value(); });
}

}  // namespace kestrum::windows_1252
