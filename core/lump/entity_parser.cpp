#include "entity_parser.h"

#include <optional>

namespace kestrum {
namespace {

/** Why an entity could not be read, and where reading may go on. */
struct Malformed {
  std::string reason;
  std::size_t resumeAt;  ///< an entity's "{", or the text's end
};

class CLumpReader {
 public:
  /** The lump ends at the first NUL: nothing after it is read, not even to recover. */
  explicit CLumpReader(std::string_view text) : m_text(text.substr(0, text.find('\0'))) {}

  /** Skips separators and comments; true when a token stands at the position. */
  bool SkipToToken() {
    while (m_position < m_text.size()) {
      const char c = m_text[m_position];
      if (static_cast<unsigned char>(c) <= ' ') {
        ++m_position;
      } else if (c == '/' && m_position + 1 < m_text.size() && m_text[m_position + 1] == '/') {
        SkipPastLineEnd();
      } else {
        return true;
      }
    }
    return false;
  }

  char Peek() const { return m_text[m_position]; }
  std::size_t Position() const { return m_position; }
  void Advance() { ++m_position; }

  /** The string between the quote at the position and its closing quote on the same line. */
  bool ReadQuoted(std::string_view& token) {
    const std::size_t begin = m_position + 1;
    const std::size_t close = m_text.find('"', begin);
    const std::size_t lineEnd = m_text.find_first_of("\r\n", begin);
    if (close == std::string_view::npos || (lineEnd != std::string_view::npos && lineEnd < close)) return false;
    token = m_text.substr(begin, close - begin);
    m_position = close + 1;
    return true;
  }

  /** Where reading may go on after a malformed entity: the next line that begins with "{". */
  std::size_t NextEntityLine(std::size_t from) const {
    for (std::size_t lineEnd = m_text.find('\n', from); lineEnd != std::string_view::npos;
         lineEnd = m_text.find('\n', lineEnd + 1)) {
      std::size_t first = lineEnd + 1;
      while (first < m_text.size() && m_text[first] != '\n' && static_cast<unsigned char>(m_text[first]) <= ' ') {
        ++first;
      }
      if (first < m_text.size() && m_text[first] == '{') return first;
    }
    return m_text.size();
  }

  void MoveTo(std::size_t position) { m_position = position; }

 private:
  void SkipPastLineEnd() {
    const std::size_t lineEnd = m_text.find('\n', m_position);
    m_position = lineEnd == std::string_view::npos ? m_text.size() : lineEnd + 1;
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
    if (!reader.SkipToToken()) return Malformed{"missing closing brace", reader.Position()};
    const char c = reader.Peek();
    if (c == '}') {
      reader.Advance();
      return std::nullopt;
    }
    if (c == '{') return Malformed{"missing closing brace before the next entity", reader.Position()};
    if (c != '"') {
      return Malformed{"unexpected text where a quoted key or \"}\" belongs", reader.NextEntityLine(reader.Position())};
    }
    std::string_view key;
    if (!reader.ReadQuoted(key)) {
      return Malformed{"missing closing quote", reader.NextEntityLine(reader.Position())};
    }
    const bool tokenFollows = reader.SkipToToken();
    if (!tokenFollows || reader.Peek() != '"') {
      const bool braceFollows = tokenFollows && reader.Peek() == '{';
      const std::size_t resume = braceFollows ? reader.Position() : reader.NextEntityLine(reader.Position());
      return Malformed{"the key " + Quoted(key) + " has no value", resume};
    }
    std::string_view value;
    if (!reader.ReadQuoted(value)) {
      return Malformed{"missing closing quote", reader.NextEntityLine(reader.Position())};
    }
    entity.pairs.emplace_back(key, value);
  }
}

}  // namespace

void ParseEntityLump(std::string_view text, std::int64_t textOffset,
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
    onError(EntityParseError{entity.offset, index, malformed->reason});
    reader.MoveTo(malformed->resumeAt);
  }
}

}  // namespace kestrum
