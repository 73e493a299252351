// Byte searches that take linear time whatever the bytes, on every platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrum {

/**
 * Finds one fixed text in many byte ranges, in time linear in the bytes searched and
 * the text's length, however alike they are. The C library's memmem does so where it
 * is known to (glibc's is the two-way algorithm, vectorised); elsewhere the search is
 * Knuth-Morris-Pratt, jumping with memchr to the next candidate first byte while no
 * part of the text is matched. The table is built once per text, not per range.
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

 private:
  const std::string m_needle;
  /** The prefix table, built when the portable search first needs it. */
  const std::vector<std::size_t>& Fallback() const;

  /** For each matched length n, the longest proper prefix of the text that ends it. */
  mutable std::vector<std::size_t> m_fallback;
};

/** The last byte equal to value in [begin, end), or nullptr. */
const char* FindLastByte(const char* begin, const char* end, char value);

}  // namespace kestrum
