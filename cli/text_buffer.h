// Text built from many small pieces at the speed of a copy.
#pragma once

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace kestrum::cli {

/**
 * Text appended piece by piece through a pointer into room made beforehand. A search
 * through a whole map prints some thirty pieces for each of a hundred thousand entities,
 * and a checked std::string::append per piece was most of the time of printing them.
 * The room grows as needed, so it never limits what is written, and Clear keeps it.
 */
class CTextBuffer {
 public:
  std::string_view Text() const { return {m_bytes.data(), m_used}; }
  std::size_t Size() const { return m_used; }
  /** Empties the text and keeps its room, for the next piece of output. */
  void Clear() { m_used = 0; }
  /** The text, moved out; the buffer is left empty. */
  std::string Take() {
    m_bytes.resize(m_used);
    std::string text = std::move(m_bytes);
    m_bytes.clear();
    m_used = 0;
    return text;
  }

  /** bytes must not be a view of this buffer's own text: making room may move it. */
  void Put(std::string_view bytes) {
    if (bytes.empty()) return;  // most line prefixes: no call to copy nothing
    Room(bytes.size());
    std::memcpy(m_bytes.data() + m_used, bytes.data(), bytes.size());
    m_used += bytes.size();
  }
  /**
   * A string literal: its length is known when compiled, so copying it takes a few moves.
   * Any other array of char would be copied whole as well, whatever its text: pass those
   * as a std::string_view.
   */
  template <std::size_t N>
  void Put(const char (&literal)[N]) {
    Room(N - 1);
    std::memcpy(m_bytes.data() + m_used, literal, N - 1);
    m_used += N - 1;
  }
  void Put(char byte) {
    Room(1);
    m_bytes[m_used++] = byte;
  }
  /**
   * Room for at most count bytes, to be written through the pointer returned, and then
   * kept up to where the writing ended with Keep.
   */
  char* Claim(std::size_t count) {
    Room(count);
    return m_bytes.data() + m_used;
  }
  void Keep(const char* end) {
    assert(end >= m_bytes.data() + m_used && end <= m_bytes.data() + m_bytes.size() && "kept more than claimed");
    m_used = static_cast<std::size_t>(end - m_bytes.data());
  }

  void PutNumber(long long number) {
    constexpr std::size_t kLongest = 20;  // -9223372036854775808
    char* const at = Claim(kLongest);
    Keep(std::to_chars(at, at + kLongest, number).ptr);
  }

 private:
  void Room(std::size_t count) {
    if (m_bytes.size() - m_used < count) Grow(count);
  }
  void Grow(std::size_t count) { m_bytes.resize(std::max(2 * m_bytes.size(), m_used + count + 256)); }

  std::string m_bytes;  ///< the text, then room: its size is the buffer's capacity
  std::size_t m_used = 0;
};

}  // namespace kestrum::cli
