// Analyse Entity: find the next entity holding the search text and show its pairs.
#include <algorithm>

#include "byte_search.h"
#include "entity_dlg.h"
#include "int_conversion.h"
#include "texts.h"

namespace kestrum {

CommandOutcome CEntityDlg::OnAnalyseEntity() {
  UpdateData(true);
  if (m_lastSearch != m_search) {
    m_matchCount = 0;
    m_lastSearch = m_search;
  }
  if (m_bspPath.empty()) {
    MessageBox(texts::kNoBspLoaded);
    return CommandOutcome::NoBspLoaded;
  }

  std::int32_t cursor = m_matchCount == 0 ? m_entityOffset : m_cursor;
  const CByteSearcher search(m_search);
  bool matched = false;
  std::int32_t foundOffset = 0;
  {
    const AbortOnExit closeBsp(m_bspFile);
    try {
      const std::int32_t length = OpenBspFile(m_bspPath);
      m_bspFile.Seek(cursor);
      while (cursor < length) {
        const std::optional<EntityStep> step =
            ReadEntityWindow(m_bspFile, cursor, m_entityWindow, m_entityBytes).entity;
        if (!step) break;
        cursor = step->nextOffset;
        if (search.IsIn(m_entityBytes)) {
          matched = true;
          foundOffset = step->recordOffset;
          break;
        }
      }
      m_bspFile.Close();
    } catch (const CFileException& error) {
      // The search state stays where it was, so the next press repeats this one.
      MessageBox(error.what());
      return CommandOutcome::FileError;
    }
  }

  if (matched) {
    ++m_matchCount;
    m_cursor = cursor;
    m_foundOffset = foundOffset;
  } else {
    // The lump has been searched to its end, whether the entities ended or the file did:
    // the next press starts over at the first entity.
    m_cursor = m_entityOffset;
  }
  if (m_matchCount != 0) {
    ClearShownEntity();
    if (matched) ShowRecord(m_entityBytes);
  }
  UpdateData(false);
  return matched ? CommandOutcome::Done : CommandOutcome::NothingFound;
}

void CEntityDlg::ClearShownEntity() {
  for (int n = 1; n <= kPairSlots; ++n) {
    m_keys[n].clear();
    m_values[n].clear();
  }
  for (int n = 1; n <= kFlagSlots; ++n) m_flags[n].clear();
}

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

/**
 * Reads the quoted tokens of a record into the key and value slots, alternately. The
 * scan goes by position: it expects each closing quote to be followed by one byte and
 * then the next opening quote, as in a compiled map ("key" "value"\n), and looks for
 * each opening quote from one byte before where that layout puts it. A record laid out
 * otherwise is read as that rule reads it. The token after a "spawnflags" token is
 * decoded into the flag slots. The scan ends at a missing quote or after the 30th value.
 */
void CEntityDlg::ShowRecord(std::string_view record) {
  const std::size_t length = record.size();
  if (length <= 3) return;
  std::size_t position = 3;
  int pair = 1;
  bool keyDue = true;
  bool afterSpawnflags = false;
  while (position < length) {
    // In the compiled layout the opening quote stands right there: look before searching.
    const std::size_t open = record[position - 1] == kQuote ? position - 1 : FindQuote(record, position - 1);
    if (open == std::string_view::npos) return;
    const std::size_t close = FindQuote(record, open + 1);
    if (close == std::string_view::npos) return;
    const std::string_view token = record.substr(open + 1, close - open - 1);
    if (keyDue) {
      m_keys[pair] = token;
    } else {
      m_values[pair++] = token;
    }
    keyDue = !keyDue;
    if (afterSpawnflags) ShowSpawnflags(AtoiSaturating(token));
    afterSpawnflags = token == texts::kSpawnflags;
    position += token.size() + 3;
    if (pair > kPairSlots) return;
  }
}

}  // namespace kestrum
