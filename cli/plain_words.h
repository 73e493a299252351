// Texts that need no escaping, found and copied a machine word at a time.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kestrum::cli::plain_words {

template <typename Word>
constexpr Word kOnes = static_cast<Word>(~Word{0}) / 0xFF;  // 0x0101...
template <typename Word>
constexpr Word kHighBits = static_cast<Word>(kOnes<Word> * 0x80);

// Each function below sets the high bit of every byte of a word that is of its kind,
// all bytes at once, and may set it in bytes above one that is (a borrow runs on): the
// result is exact as to whether any byte is of the kind, not as to which.

template <typename Word>
constexpr Word BytesEqualTo(Word word, unsigned char value) {
  const Word difference = word ^ static_cast<Word>(kOnes<Word> * value);
  return static_cast<Word>(static_cast<Word>(difference - kOnes<Word>) & ~difference & kHighBits<Word>);
}

/** Control characters: below 0x20, and 0x7F. */
template <typename Word>
constexpr Word ControlBytes(Word word) {
  const Word below0x20 = static_cast<Word>(static_cast<Word>(word - kOnes<Word> * 0x20) & ~word & kHighBits<Word>);
  return static_cast<Word>(below0x20 | BytesEqualTo(word, 0x7F));
}

/** What a line of text does not hold as it is: controls, and 0x80 up (a character of the code page). */
template <typename Word>
constexpr Word TextEscapedBytes(Word word) {
  return static_cast<Word>(ControlBytes(word) | (word & kHighBits<Word>));
}

/** What a JSON string does not hold as it is: controls, the quote, the backslash, and 0x80 up. */
template <typename Word>
constexpr Word JsonEscapedBytes(Word word) {
  return static_cast<Word>(ControlBytes(word) | (word & kHighBits<Word>) | BytesEqualTo(word, '"') |
                           BytesEqualTo(word, '\\'));
}

/**
 * Copies bytes, at least one Word long, to at a Word at a time when marked finds no byte
 * in them; false, with at not moved, when it finds one (some bytes may have been written
 * in at's room already). The last Word ends with the bytes, overlapping the one before
 * it, so that no byte past them is read.
 */
template <typename Word, typename Marked>
bool CopyWords(char*& at, std::string_view bytes, Marked marked) {
  const std::size_t size = bytes.size();
  assert(size >= sizeof(Word) && "the last word ends with the bytes, so there is one at least");
  for (std::size_t from = 0; from < size; from += sizeof(Word)) {
    const std::size_t start = std::min(from, size - sizeof(Word));
    Word word;
    std::memcpy(&word, bytes.data() + start, sizeof(Word));
    if (marked(word) != 0) return false;
    std::memcpy(at + start, &word, sizeof(Word));
  }
  at += size;
  return true;
}

/**
 * Copies bytes to at, in words of eight or four bytes, when marked (a function of any
 * Word, such as JsonEscapedBytes) finds none of them to escape; false, with at not moved,
 * when it finds one or the text is shorter than four bytes. Most keys and values are
 * plain: they take a few steps this way instead of a test for each byte.
 */
template <typename Marked>
bool CopyIfPlain(char*& at, std::string_view bytes, Marked marked) {
  if (bytes.size() >= sizeof(std::uint64_t)) return CopyWords<std::uint64_t>(at, bytes, marked);
  if (bytes.size() >= sizeof(std::uint32_t)) return CopyWords<std::uint32_t>(at, bytes, marked);
  return false;
}

}  // namespace kestrum::cli::plain_words
