#include "entity_window.h"

#include <algorithm>
#include <limits>

namespace kestrum {
namespace {

constexpr char kOpeningBrace = '{';
constexpr char kClosingBrace = '}';

/** Reads one window and appends its text; true when the text fills the whole window. */
bool AppendWindowText(CFile& file, EntityWindow& window, std::string& text) {
  const std::size_t got = file.Read(window.data(), window.size());
  const char* const begin = window.data();
  const char* const textEnd = std::find(begin, begin + got, '\0');
  text.append(begin, textEnd);
  return textEnd == begin + window.size();
}

}  // namespace

std::optional<EntityStep> ReadEntityWindow(CFile& file, std::int32_t offset, EntityWindow& window,
                                           std::string& record) {
  record.clear();
  std::size_t searched = 0;
  std::size_t close = std::string::npos;
  for (;;) {
    const bool windowFull = AppendWindowText(file, window, record);
    close = record.find(kClosingBrace, searched);
    if (close != std::string::npos) break;
    if (!windowFull) return std::nullopt;  // a NUL or the end of the file: no more entities
    if (record.size() >= kMaxEntityLength) {
      throw CFileException(file.GetFilePath(), "the entity at offset " + std::to_string(offset) +
                                                   " has no closing brace within its first " +
                                                   std::to_string(kMaxEntityLength / 1024 / 1024) +
                                                   " MiB, so the entities after it cannot be read");
    }
    searched = record.size();
  }
  const std::size_t open = record.find(kOpeningBrace);
  const std::size_t first = open < close ? open : 0;
  record.resize(close + 1);
  record.erase(0, first);

  const std::int64_t next = std::min<std::int64_t>(static_cast<std::int64_t>(offset) + close + 2,
                                                   std::numeric_limits<std::int32_t>::max());
  file.Seek(next);
  return EntityStep{static_cast<std::int32_t>(offset + static_cast<std::int64_t>(first)),
                    static_cast<std::int32_t>(next)};
}

}  // namespace kestrum
