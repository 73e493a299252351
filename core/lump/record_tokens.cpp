#include "record_tokens.h"

#include <algorithm>
#include <cstddef>

#include "format_keys.h"
#include "int_conversion.h"
#include "spawnflags.h"

namespace kestrum {
namespace {

constexpr char kQuote = '"';

/**
 * The first quote in record at or after from, or npos. Keys and values are mostly a few
 * bytes long: the first bytes are looked at in place, and only a longer token is left to
 * memchr, whose call costs more than reading a short one.
 */
std::size_t FindQuote(std::string_view record, std::size_t from) {
  constexpr std::size_t kInPlace = 16;
  const std::size_t inPlaceEnd = std::min(record.size(), from + kInPlace);
  for (std::size_t at = from; at < inPlaceEnd; ++at) {
    if (record[at] == kQuote) return at;
  }
  return record.find(kQuote, inPlaceEnd);
}

}  // namespace

void ShowRecordTokens(std::string_view record, EntitySlots slots) {
  std::size_t from = 0;
  int pair = 1;
  bool keyDue = true;
  bool afterSpawnflags = false;
  while (pair <= kPairSlots) {
    const std::size_t open = FindQuote(record, from);
    if (open == std::string_view::npos) return;
    const std::size_t close = FindQuote(record, open + 1);
    if (close == std::string_view::npos) return;
    const std::string_view token = record.substr(open + 1, close - open - 1);
    if (keyDue) {
      slots.keys[pair] = token;
    } else {
      slots.values[pair++] = token;
    }
    keyDue = !keyDue;
    if (afterSpawnflags) DecodeSpawnflags(AtoiSaturating(token), slots.flags);
    afterSpawnflags = token == keys::kSpawnflags;
    from = close + 1;
  }
}

}  // namespace kestrum
