// An output stream that writes into a string the caller keeps.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace kestrum::cli {

/** The stream buffer of CAppendingStream: every character goes straight to the string. */
class CStringAppendBuffer final : public std::streambuf {
 public:
  explicit CStringAppendBuffer(std::string& target) : m_target(target) {}

 private:
  int_type overflow(int_type character) override {
    if (!traits_type::eq_int_type(character, traits_type::eof())) {
      m_target.push_back(traits_type::to_char_type(character));
    }
    return traits_type::not_eof(character);
  }
  std::streamsize xsputn(const char_type* text, std::streamsize count) override {
    m_target.append(text, static_cast<std::size_t>(count));
    return count;
  }

  std::string& m_target;
};

/**
 * Appends whatever is written to a string, in place: a command's whole output is built
 * where the report keeps it, with no copy at the end (a search --all prints megabytes).
 */
class CAppendingStream final : public std::ostream {
 public:
  explicit CAppendingStream(std::string& target) : std::ostream(nullptr), m_buffer(target) { rdbuf(&m_buffer); }

 private:
  CStringAppendBuffer m_buffer;
};

}  // namespace kestrum::cli
