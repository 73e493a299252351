#include "output.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <utility>

#include "dialog_templates.h"
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
  Plain,     ///< as it is: printable ASCII but the quote and the backslash
  Escaped,   ///< after a backslash: the quote and the backslash
  Control,   ///< as \u00XX
  TwoBytes,  ///< U+0080 to U+00FF in UTF-8
};

constexpr std::array<JsonByte, 256> kJsonBytes = [] {
  std::array<JsonByte, 256> kinds{};
  for (int byte = 0; byte < 256; ++byte) {
    const auto value = static_cast<unsigned char>(byte);
    kinds[value] = byte == '"' || byte == '\\' ? JsonByte::Escaped
                   : IsControl(value)          ? JsonByte::Control
                   : byte >= 0x80              ? JsonByte::TwoBytes
                                               : JsonByte::Plain;
  }
  return kinds;
}();

/** The longest JSON text of one byte: \u00XX. */
constexpr std::size_t kLongestJsonByte = 6;

/** Writes bytes as a JSON string at at, which has room for 2 + kLongestJsonByte per byte; returns its end. */
char* WriteJsonByteString(char* at, std::string_view bytes) {
  *at++ = '"';
  if (plain_words::CopyIfPlain(at, bytes, [](auto word) { return plain_words::JsonEscapedBytes(word); })) {
    *at++ = '"';
    return at;
  }
  for (const char signedByte : bytes) {
    const auto byte = static_cast<unsigned char>(signedByte);
    switch (kJsonBytes[byte]) {
      case JsonByte::Plain: *at++ = signedByte; break;
      case JsonByte::Escaped:
        *at++ = '\\';
        *at++ = signedByte;
        break;
      case JsonByte::Control:
        std::memcpy(at, "\\u00", 4);
        at[4] = kHex[byte >> 4];
        at[5] = kHex[byte & 0xF];
        at += 6;
        break;
      case JsonByte::TwoBytes:
        *at++ = static_cast<char>(0xC0 | (byte >> 6));
        *at++ = static_cast<char>(0x80 | (byte & 0x3F));
        break;
    }
  }
  *at++ = '"';
  return at;
}

/**
 * Written through a pointer, into room for the longest outcome claimed once: the texts
 * are short, and a search through a whole map writes hundreds of thousands.
 */
void PutJsonByteString(CTextBuffer& json, std::string_view bytes) {
  json.Keep(WriteJsonByteString(json.Claim(2 + kLongestJsonByte * bytes.size()), bytes));
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
void PutJsonArray(CTextBuffer& json, const std::array<std::string, N>& slots) {
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
  at = WriteJsonByteString(at, slots[1]);  // the first, without a comma
  std::size_t next = 2;                    // the first slot not written yet
  for (std::uint32_t later = filled.bits & ~std::uint32_t{1}; later != 0; later &= later - 1) {
    const std::size_t slot = static_cast<std::size_t>(__builtin_ctz(later)) + 1;
    writeEmptySlots(slot - next);
    *at++ = ',';
    *at++ = ' ';
    at = WriteJsonByteString(at, slots[slot]);
    next = slot + 1;
  }
  writeEmptySlots(N - next);
  *at++ = ']';
  json.Keep(at);
}

void PutEscaped(CTextBuffer& text, std::string_view bytes) {
  constexpr std::size_t kLongestPerByte = 4;  // \xNN
  char* at = text.Claim(kLongestPerByte * bytes.size());
  if (plain_words::CopyIfPlain(at, bytes, [](auto word) { return plain_words::ControlBytes(word); })) {
    text.Keep(at);
    return;
  }
  for (const char signedByte : bytes) {
    const auto byte = static_cast<unsigned char>(signedByte);
    if (!IsControl(byte)) {
      *at++ = signedByte;
    } else if (byte == '\n' || byte == '\r' || byte == '\t') {
      *at++ = '\\';
      *at++ = byte == '\n' ? 'n' : byte == '\r' ? 'r' : 't';
    } else {
      at[0] = '\\';
      at[1] = 'x';
      at[2] = kHex[byte >> 4];
      at[3] = kHex[byte & 0xF];
      at += 4;
    }
  }
  text.Keep(at);
}

}  // namespace

std::string JsonByteString(std::string_view bytes) {
  CTextBuffer json;
  PutJsonByteString(json, bytes);
  return json.Take();
}

std::string EscapeControls(std::string_view bytes) {
  CTextBuffer text;
  PutEscaped(text, bytes);
  return text.Take();
}

void AppendJsonPress(CTextBuffer& json, int press, const ShownPress& shown, std::string_view mapName) {
  json.Put('{');
  if (!mapName.empty()) {
    json.Put("\"map\": ");
    PutJsonByteString(json, mapName);
    json.Put(", ");
  }
  json.Put("\"press\": ");
  json.PutNumber(press);
  json.Put(", \"matchCount\": ");
  json.PutNumber(shown.search.matchCount);
  json.Put(", \"cursor\": ");
  json.PutNumber(shown.search.cursor);
  json.Put(", \"keys\": ");
  PutJsonArray(json, shown.keys);
  json.Put(", \"values\": ");
  PutJsonArray(json, shown.values);
  json.Put(", \"flags\": ");
  PutJsonArray(json, shown.flags);
  json.Put("}\n");
}

void AppendFoundEntity(CTextBuffer& text, int press, const ShownPress& shown, std::string_view linePrefix) {
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
    PutEscaped(text, shown.keys[n]);
    text.Put("\" \"");
    PutEscaped(text, shown.values[n]);
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

void AppendEntityJson(CTextBuffer& json, std::string_view mapName, const ParsedEntity& entity) {
  json.Put("{\"map\": ");
  PutJsonByteString(json, mapName);
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
    PutJsonByteString(json, key);
    json.Put(", ");
    PutJsonByteString(json, value);
    json.Put(']');
  }
  json.Put("]}\n");
}

}  // namespace kestrum::cli
