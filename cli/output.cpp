#include "output.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <utility>

#include "dialog_templates.h"
#include "map_text.h"
#include "plain_words.h"
#include "text_buffer.h"

namespace kestrum::cli {
namespace {

constexpr bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F;
}

constexpr char kHex[] = "0123456789abcdef";

/** How a byte is written in a JSON string. */
enum class JsonByte : unsigned char {
  Plain,    ///< as it is: printable ASCII but the quote and the backslash
  Escaped,  ///< after a backslash: the quote and the backslash
  Control,  ///< as \u00XX
  High,     ///< 0x80 up: the code page's character, in UTF-8
};

constexpr std::array<JsonByte, 256> kJsonBytes = [] {
  std::array<JsonByte, 256> kinds{};
  for (int byte = 0; byte < 256; ++byte) {
    const auto value = static_cast<unsigned char>(byte);
    kinds[value] = byte == '"' || byte == '\\' ? JsonByte::Escaped
                   : IsControl(value)          ? JsonByte::Control
                   : byte >= 0x80              ? JsonByte::High
                                               : JsonByte::Plain;
  }
  return kinds;
}();

/** The longest JSON text of one byte: \u00XX. */
constexpr std::size_t kLongestJsonByte = 6;

/** Writes a byte below 0x80 as a JSON string holds it; returns its end. */
char* WriteJsonAscii(char* at, unsigned char byte) {
  switch (kJsonBytes[byte]) {
    case JsonByte::Plain: *at++ = static_cast<char>(byte); break;
    case JsonByte::Escaped:
      *at++ = '\\';
      *at++ = static_cast<char>(byte);
      break;
    case JsonByte::Control:
    case JsonByte::High:  // not below 0x80: the callers write those themselves
      std::memcpy(at, "\\u00", 4);
      at[4] = kHex[byte >> 4];
      at[5] = kHex[byte & 0xF];
      at += 6;
      break;
  }
  return at;
}

/**
 * Writes map bytes as a JSON string at at, which has room for 2 + kLongestJsonByte per
 * byte; returns its end.
 */
char* WriteJsonByteString(char* at, std::string_view bytes, const CHighBytes& high) {
  *at++ = '"';
  if (plain_words::CopyIfPlain(at, bytes, [](auto word) { return plain_words::JsonEscapedBytes(word); })) {
    *at++ = '"';
    return at;
  }
  for (const char signedByte : bytes) {
    const auto byte = static_cast<unsigned char>(signedByte);
    if (kJsonBytes[byte] == JsonByte::High) {
      std::memcpy(at, high.Utf8(byte).data(), high.Utf8(byte).size());  // the room holds the longest
      at += high.Length(byte);
    } else {
      at = WriteJsonAscii(at, byte);
    }
  }
  *at++ = '"';
  return at;
}

/**
 * Written through a pointer, into room for the longest outcome claimed once: the texts
 * are short, and a search through a whole map writes hundreds of thousands.
 */
void PutJsonByteString(CTextBuffer& json, std::string_view bytes, const CHighBytes& high) {
  json.Keep(WriteJsonByteString(json.Claim(2 + kLongestJsonByte * bytes.size()), bytes, high));
}

/** ", \"\"" for each of count slots: the longest run of empty slots in an array. */
template <std::size_t count>
constexpr std::array<char, 4 * count> EmptySlotRun() {
  std::array<char, 4 * count> run{};
  for (std::size_t n = 0; n < count; ++n) {
    run[4 * n] = ',';
    run[4 * n + 1] = ' ';
    run[4 * n + 2] = '"';
    run[4 * n + 3] = '"';
  }
  return run;
}

/** Which slots of an array are filled, and how many bytes they hold in all. */
struct FilledSlots {
  std::uint32_t bits = 0;  ///< bit n-1 for slot n
  std::size_t bytes = 0;
};

template <std::size_t N, std::size_t... bit>
FilledSlots FindFilledSlots(const std::array<std::string, N>& slots, std::index_sequence<bit...>) {
  return {((std::uint32_t{!slots[bit + 1].empty()} << bit) | ...), (slots[bit + 1].size() + ...)};
}

/**
 * The filled slots from 1 to N-1. Spelled out slot by slot, so that no test waits for
 * the one before it.
 */
template <std::size_t N>
FilledSlots FindFilledSlots(const std::array<std::string, N>& slots) {
  static_assert(N >= 2 && N - 1 <= 32, "one bit per slot");
  return FindFilledSlots(slots, std::make_index_sequence<N - 1>());
}

/**
 * The shown slots 1 to N-1 as a JSON array, written through one pointer into room claimed
 * once. Which slots are filled differs from press to press (the flags above all), so they
 * are taken as bits, and each run of empty slots between them is copied whole and kept
 * as far as it goes: no test of a slot or of a run's length that a branch predictor
 * could get wrong.
 */
template <std::size_t N>
void PutJsonArray(CTextBuffer& json, const std::array<std::string, N>& slots, const CHighBytes& high) {
  static constexpr std::array<char, 4 * (N - 2)> kEmptyRun = EmptySlotRun<N - 2>();
  const FilledSlots filled = FindFilledSlots(slots);
  // "[" and "]", ", " and two quotes for each slot, and the longest text of the bytes;
  // a run of empty slots is copied whole before it is cut, so the whole run's room too.
  const std::size_t room = 2 + 4 * (N - 1) + kLongestJsonByte * filled.bytes + kEmptyRun.size();
  char* at = json.Claim(room);
  [[maybe_unused]] const char* const roomEnd = at + room;
  const auto writeEmptySlots = [&](std::size_t count) {
    assert(at + kEmptyRun.size() <= roomEnd && "the whole run is copied into the room claimed");
    std::memcpy(at, kEmptyRun.data(), kEmptyRun.size());
    at += 4 * count;
  };

  *at++ = '[';
  at = WriteJsonByteString(at, slots[1], high);  // the first, without a comma
  std::size_t next = 2;                          // the first slot not written yet
  for (std::uint32_t later = filled.bits & ~std::uint32_t{1}; later != 0; later &= later - 1) {
    const std::size_t slot = static_cast<std::size_t>(__builtin_ctz(later)) + 1;
    writeEmptySlots(slot - next);
    *at++ = ',';
    *at++ = ' ';
    at = WriteJsonByteString(at, slots[slot], high);
    next = slot + 1;
  }
  writeEmptySlots(N - next);
  *at++ = ']';
  json.Keep(at);
}

/** Writes a control character's escape: \n, \r, \t, or \xNN; returns its end. */
char* WriteEscape(char* at, unsigned char byte) {
  if (byte == '\n' || byte == '\r' || byte == '\t') {
    at[0] = '\\';
    at[1] = byte == '\n' ? 'n' : byte == '\r' ? 'r' : 't';
    return at + 2;
  }
  at[0] = '\\';
  at[1] = 'x';
  at[2] = kHex[byte >> 4];
  at[3] = kHex[byte & 0xF];
  return at + 4;
}

constexpr std::size_t kLongestTextPerByte = 4;  // \xNN; no character of a code page takes more

/** Map bytes for a line of text: the code page's characters in UTF-8, control characters escaped. */
void PutEscaped(CTextBuffer& text, std::string_view bytes, const CHighBytes& high) {
  char* at = text.Claim(kLongestTextPerByte * bytes.size());
  if (plain_words::CopyIfPlain(at, bytes, [](auto word) { return plain_words::TextEscapedBytes(word); })) {
    text.Keep(at);
    return;
  }
  for (const char signedByte : bytes) {
    const auto byte = static_cast<unsigned char>(signedByte);
    if (byte >= 0x80 && !high.IsControl(byte)) {
      std::memcpy(at, high.Utf8(byte).data(), high.Utf8(byte).size());
      at += high.Length(byte);
    } else if (byte >= 0x80 || IsControl(byte)) {
      at = WriteEscape(at, byte);
    } else {
      *at++ = signedByte;
    }
  }
  text.Keep(at);
}

/**
 * A name as the system gives it (a path, ARCHIVE:MEMBER, a typed text) for a line of
 * text: UTF-8 as it is, control characters (C1 too) and bytes that are not UTF-8 escaped
 * byte by byte, so that a name can neither forge a line nor drive the terminal.
 */
void PutEscapedName(CTextBuffer& text, std::string_view name) {
  char* at = text.Claim(kLongestTextPerByte * name.size());
  for (std::size_t from = 0; from < name.size();) {
    const std::size_t length = Utf8CharacterLength(name, from);
    const auto lead = static_cast<unsigned char>(name[from]);
    const bool c1 = length == 2 && lead == 0xC2 && static_cast<unsigned char>(name[from + 1]) <= 0x9F;
    if (length == 0 || (length == 1 && IsControl(lead)) || c1) {
      const std::size_t escaped = length == 0 ? 1 : length;
      for (std::size_t n = 0; n < escaped; ++n) at = WriteEscape(at, static_cast<unsigned char>(name[from + n]));
      from += escaped;
    } else {
      std::memcpy(at, name.data() + from, length);
      at += length;
      from += length;
    }
  }
  text.Keep(at);
}

/** A name as a JSON string: UTF-8 as it is, control characters escaped, other bytes U+FFFD. */
void PutJsonName(CTextBuffer& json, std::string_view name) {
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD, in UTF-8
  char* at = json.Claim(2 + kLongestJsonByte * name.size());
  *at++ = '"';
  for (std::size_t from = 0; from < name.size();) {
    const std::size_t length = Utf8CharacterLength(name, from);
    if (length == 0) {
      std::memcpy(at, kReplacement.data(), kReplacement.size());
      at += kReplacement.size();
      ++from;
    } else if (length == 1) {
      at = WriteJsonAscii(at, static_cast<unsigned char>(name[from++]));
    } else {
      std::memcpy(at, name.data() + from, length);
      at += length;
      from += length;
    }
  }
  *at++ = '"';
  json.Keep(at);
}

}  // namespace

std::string JsonMapText(std::string_view bytes, MapEncoding encoding) {
  CTextBuffer json;
  PutJsonByteString(json, bytes, HighBytesOf(encoding));
  return json.Take();
}

std::string EscapeMapText(std::string_view bytes, MapEncoding encoding) {
  CTextBuffer text;
  PutEscaped(text, bytes, HighBytesOf(encoding));
  return text.Take();
}

std::string JsonName(std::string_view name) {
  CTextBuffer json;
  PutJsonName(json, name);
  return json.Take();
}

std::string EscapeName(std::string_view name) {
  CTextBuffer text;
  PutEscapedName(text, name);
  return text.Take();
}

void AppendJsonPress(CTextBuffer& json, int press, const ShownPress& shown, MapEncoding encoding,
                     std::string_view mapName) {
  const CHighBytes& high = HighBytesOf(encoding);
  json.Put('{');
  if (!mapName.empty()) {
    json.Put("\"map\": ");
    PutJsonName(json, mapName);
    json.Put(", ");
  }
  json.Put("\"press\": ");
  json.PutNumber(press);
  json.Put(", \"matchCount\": ");
  json.PutNumber(shown.search.matchCount);
  json.Put(", \"cursor\": ");
  json.PutNumber(shown.search.cursor);
  json.Put(", \"keys\": ");
  PutJsonArray(json, shown.keys, high);
  json.Put(", \"values\": ");
  PutJsonArray(json, shown.values, high);
  json.Put(", \"flags\": ");
  PutJsonArray(json, shown.flags, high);
  json.Put("}\n");
}

void AppendFoundEntity(CTextBuffer& text, int press, const ShownPress& shown, MapEncoding encoding,
                       std::string_view linePrefix) {
  const CHighBytes& high = HighBytesOf(encoding);
  int lastPair = 0;
  for (int n = 1; n <= kPairSlots; ++n) {
    if (!shown.keys[n].empty() || !shown.values[n].empty()) lastPair = n;
  }
  text.Put(linePrefix);
  text.Put("press ");
  text.PutNumber(press);
  text.Put(": entity at offset ");
  text.PutNumber(shown.search.foundOffset);
  text.Put('\n');
  for (int n = 1; n <= lastPair; ++n) {
    text.Put(linePrefix);
    text.Put("  \"");
    PutEscaped(text, shown.keys[n], high);
    text.Put("\" \"");
    PutEscaped(text, shown.values[n], high);
    text.Put("\"\n");
  }
  // Which flag slots are filled, as bits taken in order: they differ from entity to
  // entity, and a test of each slot would be mispredicted as often.
  unsigned filledFlags = 0;
  for (int slot = 1; slot <= kFlagSlots; ++slot) {
    filledFlags |= unsigned{!shown.flags[slot].empty()} << slot;
  }
  if (filledFlags == 0) return;
  text.Put(linePrefix);
  text.Put("  flags: ");
  for (unsigned bits = filledFlags; bits != 0; bits &= bits - 1) {
    const int slot = __builtin_ctz(bits);
    if (bits != filledFlags) text.Put(", ");
    text.Put(shown.flags[slot]);
    if (slot > 9) {
      text.Put(" (");
      text.Put(res::FlagSlotCaption(slot));
      text.Put(')');
    }
  }
  text.Put('\n');
}

void WriteFlagSlots(std::ostream& out, const FlagSlots& flags) {
  for (int slot = 1; slot <= kFlagSlots; ++slot) {
    if (!flags[slot].empty()) {
      out << "slot " << slot << " (" << res::FlagSlotCaption(slot) << "): " << flags[slot] << '\n';
    }
  }
}

void AppendEntityJson(CTextBuffer& json, std::string_view mapName, const ParsedEntity& entity, MapEncoding encoding) {
  const CHighBytes& high = HighBytesOf(encoding);
  json.Put("{\"map\": ");
  PutJsonName(json, mapName);
  json.Put(", \"offset\": ");
  json.PutNumber(entity.offset);
  json.Put(", \"index\": ");
  json.PutNumber(entity.index);
  json.Put(", \"pairs\": [");
  bool first = true;
  for (const auto& [key, value] : entity.pairs) {
    if (!first) json.Put(", ");
    first = false;
    json.Put('[');
    PutJsonByteString(json, key, high);
    json.Put(", ");
    PutJsonByteString(json, value, high);
    json.Put(']');
  }
  json.Put("]}\n");
}

}  // namespace kestrum::cli
