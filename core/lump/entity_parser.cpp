#include "entity_parser.h"

#include <optional>

namespace kestrum {
namespace {

constexpr char kQuote = '"';

/** Why an entity could not be read, and where reading may go on. */
struct Malformed {
  std::string reason;
  std::size_t at;        ///< where the fault shows: the unclosed quote, the key, the text's end
  std::size_t resumeAt;  ///< an entity's "{", just after a "}", or the text's end
};

bool IsSeparator(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

class CLumpReader {
 public:
  /** The lump ends at the first NUL: nothing after it is read, not even to recover. */
  explicit CLumpReader(std::string_view text) : m_text(text.substr(0, text.find('\0'))) {}

  /** Skips separators and comments; true when a token stands at the position. */
  bool SkipToToken() {
    while (m_position < m_text.size()) {
      const char c = m_text[m_position];
      if (IsSeparator(c)) {
        ++m_position;
      } else if (c == '/' && Next() == '/') {
        SkipPast("\n");
      } else if (c == '/' && Next() == '*') {
        m_position += 2;
        SkipPast("*/");
      } else {
        return true;
      }
    }
    return false;
  }

  char Peek() const { return m_text[m_position]; }
  std::size_t Position() const { return m_position; }
  std::size_t End() const { return m_text.size(); }
  void Advance() { ++m_position; }
  void MoveTo(std::size_t position) { m_position = position; }

  /**
   * A key or value at the position: a quoted string, on as many lines as it takes, or a
   * bare word. Nothing when the lump ends before the string's closing quote.
   */
  std::optional<std::string_view> ReadString() {
    const std::size_t begin = m_position;
    if (m_text[begin] != kQuote) {
      while (m_position < m_text.size() && !IsSeparator(m_text[m_position])) ++m_position;
      return m_text.substr(begin, m_position - begin);
    }
    const std::size_t close = m_text.find(kQuote, begin + 1);
    if (close == std::string_view::npos) return std::nullopt;
    m_position = close + 1;
    return m_text.substr(begin + 1, close - begin - 1);
  }

  /** Where reading may go on after a malformed entity: the next line that begins with "{". */
  std::size_t NextEntityLine(std::size_t from) const {
    for (std::size_t lineEnd = m_text.find('\n', from); lineEnd != std::string_view::npos;
         lineEnd = m_text.find('\n', lineEnd + 1)) {
      std::size_t first = lineEnd + 1;
      while (first < m_text.size() && m_text[first] != '\n' && IsSeparator(m_text[first])) ++first;
      if (first < m_text.size() && m_text[first] == '{') return first;
    }
    return m_text.size();
  }

 private:
  char Next() const { return m_position + 1 < m_text.size() ? m_text[m_position + 1] : '\0'; }

  void SkipPast(std::string_view end) {
    const std::size_t at = m_text.find(end, m_position);
    m_position = at == std::string_view::npos ? m_text.size() : at + end.size();
  }

  std::string_view m_text;
  std::size_t m_position = 0;
};

std::string Quoted(std::string_view token) {
  return "\"" + std::string(token) + "\"";
}

/** Reads the pairs up to the closing "}"; the reader stands after the opening "{". */
std::optional<Malformed> ReadPairs(CLumpReader& reader, ParsedEntity& entity) {
  for (;;) {
    if (!reader.SkipToToken()) return Malformed{"missing closing brace", reader.End(), reader.End()};
    const char c = reader.Peek();
    if (c == '}') {
      reader.Advance();
      return std::nullopt;
    }
    if (c == '{')
      return Malformed{"missing closing brace before the next entity", reader.Position(), reader.Position()};
    const std::size_t keyAt = reader.Position();
    const std::optional<std::string_view> key = reader.ReadString();
    if (!key) return Malformed{"missing closing quote", keyAt, reader.NextEntityLine(keyAt)};
    const std::string noValue = "the key " + Quoted(*key) + " has no value";
    if (!reader.SkipToToken()) return Malformed{noValue, keyAt, reader.End()};
    if (reader.Peek() == '{') return Malformed{noValue, keyAt, reader.Position()};
    if (reader.Peek() == '}') return Malformed{noValue, keyAt, reader.Position() + 1};
    const std::size_t valueAt = reader.Position();
    const std::optional<std::string_view> value = reader.ReadString();
    if (!value) return Malformed{"missing closing quote", valueAt, reader.NextEntityLine(valueAt)};
    entity.pairs.emplace_back(*key, *value);
  }
}

}  // namespace

std::size_t ParseEntityLump(std::string_view text, std::int64_t textOffset,
                            const std::function<void(const ParsedEntity&)>& onEntity,
                            const std::function<void(const EntityParseError&)>& onError) {
  CLumpReader reader(text);
  ParsedEntity entity;
  for (int index = 0; reader.SkipToToken() && reader.Peek() == '{'; ++index) {
    entity.offset = textOffset + static_cast<std::int64_t>(reader.Position());
    entity.index = index;
    entity.pairs.clear();
    reader.Advance();
    const std::optional<Malformed> malformed = ReadPairs(reader, entity);
    if (!malformed) {
      onEntity(entity);
      continue;
    }
    onError(EntityParseError{entity.offset, index, malformed->reason,
                             textOffset + static_cast<std::int64_t>(malformed->at)});
    reader.MoveTo(malformed->resumeAt);
  }
  return reader.Position();
}

}  // namespace kestrum
