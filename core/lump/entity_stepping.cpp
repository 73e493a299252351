#include "entity_stepping.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

#include "input_error.h"

namespace kestrum {
namespace {

constexpr char kOpeningBrace = '{';
constexpr char kClosingBrace = '}';

/** Reads the window at offset and appends its text; true when the text fills the whole window. */
bool AppendWindowText(const IByteSource& map, std::int64_t offset, EntityWindow& window, std::string& text) {
  const std::size_t got = map.ReadAt(offset, window.data(), window.size());
  const char* const begin = window.data();
  const char* const textEnd = std::find(begin, begin + got, '\0');
  text.append(begin, textEnd);
  return textEnd == begin + window.size();
}

/**
 * Reads on, past a window full of text without a "}", to the entity's first "}".
 * The record then holds all the text read; nothing when a NUL or the file's end comes
 * first, and the record then holds the text up to there.
 */
std::optional<std::size_t> ReadLongEntity(const IByteSource& map, std::int32_t offset, EntityWindow& window,
                                          std::string& record) {
  record.assign(window.data(), window.size());
  for (;;) {
    if (record.size() >= kMaxEntityLength) {
      throw CInputError(map.Name(), "the entity at offset " + std::to_string(offset) +
                                        " has no closing brace within its first " +
                                        std::to_string(kMaxEntityLength / 1024 / 1024) +
                                        " MiB, so the entities after it cannot be read");
    }
    const std::size_t searched = record.size();
    const bool windowFull = AppendWindowText(map, offset + static_cast<std::int64_t>(searched), window, record);
    const std::size_t close = record.find(kClosingBrace, searched);
    if (close != std::string::npos) return close;
    if (!windowFull) return std::nullopt;
  }
}

/** The end of the entities at a text that ends without a "}": cut short if it holds a "{". */
StepResult EndOfEntities(std::int32_t offset, std::string_view text) {
  const std::size_t open = text.find(kOpeningBrace);
  if (open == std::string_view::npos) return {};
  return {std::nullopt, static_cast<std::int32_t>(offset + static_cast<std::int64_t>(open))};
}

}  // namespace

StepResult ReadEntityWindow(const IByteSource& map, std::int32_t offset, EntityWindow& window, std::string& record) {
  const std::size_t got = map.ReadAt(offset, window.data(), window.size());
  const char* const begin = window.data();
  // Most entities are short: look for the "}" first, then make sure no NUL cuts the
  // text before it, so that only the entity's own bytes are scanned.
  std::size_t close = 0;
  std::size_t first = 0;
  if (const void* brace = std::memchr(begin, kClosingBrace, got)) {
    close = static_cast<std::size_t>(static_cast<const char*>(brace) - begin);
    if (const void* nul = std::memchr(begin, '\0', close)) {
      return EndOfEntities(offset, {begin, static_cast<std::size_t>(static_cast<const char*>(nul) - begin)});
    }
    const void* open = std::memchr(begin, kOpeningBrace, close);
    first = open ? static_cast<std::size_t>(static_cast<const char*>(open) - begin) : 0;
    record.assign(begin + first, close + 1 - first);
  } else {
    const char* const textEnd = std::find(begin, begin + got, '\0');
    if (textEnd != begin + window.size())
      return EndOfEntities(offset, {begin, static_cast<std::size_t>(textEnd - begin)});
    const std::optional<std::size_t> longClose = ReadLongEntity(map, offset, window, record);
    if (!longClose) return EndOfEntities(offset, record);
    close = *longClose;
    const std::size_t open = record.find(kOpeningBrace);
    first = open < close ? open : 0;
    record.resize(close + 1);
    record.erase(0, first);
  }

  const std::int64_t next =
      std::min<std::int64_t>(static_cast<std::int64_t>(offset) + static_cast<std::int64_t>(close) + 2,
                             std::numeric_limits<std::int32_t>::max());
  return {
      EntityStep{static_cast<std::int32_t>(offset + static_cast<std::int64_t>(first)), static_cast<std::int32_t>(next)},
      std::nullopt};
}

}  // namespace kestrum
