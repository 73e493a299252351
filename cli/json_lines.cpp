#include "json_lines.h"

#include <optional>
#include <utility>
#include <vector>

#include "input_error.h"

namespace kestrum::cli {
namespace {

bool IsJsonSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

/** A failure to read one line, worded for the user. */
struct CJsonError {
  std::string reason;
};

/**
 * Reads one line's JSON: the "pairs" of its object, in UTF-8. Every other member's value
 * is read too, so that a malformed line is refused whatever member holds the fault.
 */
class CJsonLineReader {
 public:
  explicit CJsonLineReader(std::string_view line) : m_line(line) {}

  std::vector<std::pair<std::string, std::string>> Pairs() {
    std::optional<std::vector<std::pair<std::string, std::string>>> pairs;
    Expect('{', "an object");
    if (!Consume('}')) {
      do {
        const std::string name = String();
        Expect(':', "\":\" after a member name");
        if (name == "pairs") {
          pairs = PairArray();
        } else {
          SkipValue();
        }
      } while (Consume(','));
      Expect('}', "\",\" or \"}\" in the object");
    }
    SkipSpace();
    if (m_at != m_line.size()) throw CJsonError{"text after the object"};
    if (!pairs) throw CJsonError{"the object has no \"pairs\""};
    return *pairs;
  }

 private:
  void SkipSpace() {
    while (m_at < m_line.size() && IsJsonSpace(m_line[m_at])) ++m_at;
  }

  bool Consume(char c) {
    SkipSpace();
    if (m_at < m_line.size() && m_line[m_at] == c) {
      ++m_at;
      return true;
    }
    return false;
  }

  void Expect(char c, const char* what) {
    if (!Consume(c)) throw CJsonError{std::string("expected ") + what + " at column " + std::to_string(m_at + 1)};
  }

  std::vector<std::pair<std::string, std::string>> PairArray() {
    std::vector<std::pair<std::string, std::string>> pairs;
    Expect('[', "the array of pairs");
    if (Consume(']')) return pairs;
    do {
      Expect('[', "a [key, value] pair");
      std::string key = String();
      Expect(',', "\",\" between a key and its value");
      std::string value = String();
      Expect(']', "\"]\" after a pair's value");
      pairs.emplace_back(std::move(key), std::move(value));
    } while (Consume(','));
    Expect(']', "\",\" or \"]\" in the array of pairs");
    return pairs;
  }

  void SkipValue() {
    SkipSpace();
    if (m_at >= m_line.size()) throw CJsonError{"a member has no value"};
    const char c = m_line[m_at];
    if (c == '"') {
      String();
    } else if (c == '{' || c == '[') {
      const char close = c == '{' ? '}' : ']';
      ++m_at;
      if (Consume(close)) return;
      do {
        if (close == '}') {
          String();
          Expect(':', "\":\" after a member name");
        }
        SkipValue();
      } while (Consume(','));
      Expect(close, close == '}' ? "\",\" or \"}\"" : "\",\" or \"]\"");
    } else {
      // A number, true, false or null.
      const std::size_t begin = m_at;
      while (m_at < m_line.size() && !IsJsonSpace(m_line[m_at]) && m_line[m_at] != ',' && m_line[m_at] != '}' &&
             m_line[m_at] != ']') {
        ++m_at;
      }
      if (m_at == begin) throw CJsonError{"a value is missing at column " + std::to_string(begin + 1)};
    }
  }

  std::string String() {
    Expect('"', "a string");
    std::string text;
    for (;;) {
      if (m_at >= m_line.size()) throw CJsonError{"a string is not closed"};
      const char c = m_line[m_at++];
      if (c == '"') return text;
      if (static_cast<unsigned char>(c) < 0x20) throw CJsonError{"a control character inside a string"};
      if (c != '\\') {
        text.push_back(c);
        continue;
      }
      if (m_at >= m_line.size()) throw CJsonError{"a string is not closed"};
      const char escaped = m_line[m_at++];
      switch (escaped) {
        case '"': text.push_back('"'); break;
        case '\\': text.push_back('\\'); break;
        case '/': text.push_back('/'); break;
        case 'b': text.push_back('\b'); break;
        case 'f': text.push_back('\f'); break;
        case 'n': text.push_back('\n'); break;
        case 'r': text.push_back('\r'); break;
        case 't': text.push_back('\t'); break;
        case 'u': AppendUtf8(text, CodePoint()); break;
        default: throw CJsonError{std::string("an unknown escape \\") + escaped};
      }
    }
  }

  /** The code point of a \u escape, a surrogate pair joined. */
  char32_t CodePoint() {
    const char32_t first = Hex4();
    if (first < 0xD800 || first > 0xDFFF) return first;
    if (first > 0xDBFF || m_line.substr(m_at, 2) != "\\u") throw CJsonError{"a lone surrogate in a \\u escape"};
    m_at += 2;
    const char32_t second = Hex4();
    if (second < 0xDC00 || second > 0xDFFF) throw CJsonError{"a lone surrogate in a \\u escape"};
    return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
  }

  char32_t Hex4() {
    if (m_at + 4 > m_line.size()) throw CJsonError{"a \\u escape cut short"};
    char32_t value = 0;
    for (int n = 0; n < 4; ++n) {
      const char c = m_line[m_at++];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) throw CJsonError{"a \\u escape with a bad digit"};
      value = value * 16 + static_cast<char32_t>(digit);
    }
    return value;
  }

  static void AppendUtf8(std::string& out, char32_t point) {
    if (point < 0x80) {
      out.push_back(static_cast<char>(point));
    } else if (point < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (point >> 6)));
      out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (point >> 12)));
      out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (point >> 18)));
      out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    }
  }

  std::string_view m_line;
  std::size_t m_at = 0;
};

/** The map bytes of a key or value, or the reason it cannot stand in entity text. */
std::string MapBytesOf(const std::string& utf8, MapEncoding encoding, int index, const std::string& key,
                       const char* what) {
  const std::string where = "entity " + std::to_string(index) + ", key \"" + key + "\": the " + what;
  if (utf8.find('"') != std::string::npos) throw CInputError(where + " holds a double quote, which entity text cannot");
  if (utf8.find('\0') != std::string::npos) throw CInputError(where + " holds a NUL, which would end the lump");
  const std::optional<std::string> bytes = MapBytesOfUtf8(utf8, encoding);
  if (!bytes) throw CInputError(where + " holds a character the map's code page lacks");
  return *bytes;
}

}  // namespace

bool LooksLikeJsonLines(std::string_view input) {
  std::size_t at = 0;
  const auto skipSpace = [&] {
    while (at < input.size() && IsJsonSpace(input[at])) ++at;
  };
  skipSpace();
  if (at >= input.size() || input[at] != '{') return false;
  ++at;
  skipSpace();
  if (at >= input.size() || input[at] != '"') return false;
  for (++at; at < input.size() && input[at] != '"'; ++at) {
    if (input[at] == '\\') ++at;
  }
  ++at;
  skipSpace();
  return at < input.size() && input[at] == ':';
}

std::string EntityTextOfJsonLines(std::string_view input, MapEncoding encoding) {
  std::string text;
  int index = 0;
  int lineNumber = 0;
  for (std::size_t begin = 0; begin < input.size();) {
    std::size_t end = input.find('\n', begin);
    if (end == std::string_view::npos) end = input.size();
    std::string_view line = input.substr(begin, end - begin);
    begin = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    std::vector<std::pair<std::string, std::string>> pairs;
    try {
      pairs = CJsonLineReader(line).Pairs();
    } catch (const CJsonError& error) {
      throw CInputError("line " + std::to_string(lineNumber) + " is not an entity of JSON Lines: " + error.reason);
    }
    text += "{\n";
    for (const auto& [key, value] : pairs) {
      text += '"' + MapBytesOf(key, encoding, index, key, "key") + "\" \"" +
              MapBytesOf(value, encoding, index, key, "value") + "\"\n";
    }
    text += "}\n";
    ++index;
  }
  return text;
}

}  // namespace kestrum::cli
