// Byte searches that take linear time whatever the bytes, on every platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrum {

/**
 * Finds one fixed text in many byte ranges, in time linear in the bytes searched and
 * the text's length, however alike they are. A short text in a short range (most
 * searches, through one entity at a time) is found by its first byte and a compare of
 * at most kShortNeedle bytes. Otherwise the C library's memmem does it where it is known
 * to (glibc's is the two-way algorithm, vectorised); elsewhere the search is
 * Knuth-Morris-Pratt, jumping with memchr to the next candidate first byte while no
 * part of the text is matched. Its table is built once per text, not per range.
 */
class CByteSearcher {
 public:
  explicit CByteSearcher(std::string_view needle);
  CByteSearcher(const CByteSearcher&) = delete;
  CByteSearcher& operator=(const CByteSearcher&) = delete;

  /** The index of the first occurrence in haystack, or std::string_view::npos. */
  std::size_t FindIn(std::string_view haystack) const;
  bool IsIn(std::string_view haystack) const { return FindIn(haystack) != std::string_view::npos; }
  /** FindIn by the portable search alone, whatever the C library offers. */
  std::size_t FindByPrefixTable(std::string_view haystack) const;
  /**
   * A text of kShortNeedle bytes at most in a range of kShortHaystack bytes at most is
   * found by FindShort: the C library's linear search prepares tables on every call,
   * which costs more than searching a short entity, and a compare of a few bytes at
   * each byte keeps the time linear. Longer ranges (the locator's blocks) go to it.
   */
  static constexpr std::size_t kShortNeedle = 32;
  static constexpr std::size_t kShortHaystack = 4096;

 private:
  /** FindIn by the first byte and a compare at each place it occurs; for a text of one byte or more. */
  std::size_t FindShort(std::string_view haystack) const;
  /** The prefix table, built when the portable search first needs it. */
  const std::vector<std::size_t>& Fallback() const;

  const std::string m_needle;
  /** For each matched length n, the longest proper prefix of the text that ends it. */
  mutable std::vector<std::size_t> m_fallback;
};

/** The last byte equal to value in [begin, end), or nullptr. */
const char* FindLastByte(const char* begin, const char* end, char value);

}  // namespace kestrum
