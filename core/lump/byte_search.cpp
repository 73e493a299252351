#include "byte_search.h"

#include <algorithm>
#include <cstring>

namespace kestrum {

CByteSearcher::CByteSearcher(std::string_view needle) : m_needle(needle) {}

const std::vector<std::size_t>& CByteSearcher::Fallback() const {
  if (!m_fallback.empty()) return m_fallback;
  m_fallback.assign(m_needle.size() + 1, 0);
  std::size_t border = 0;
  for (std::size_t matched = 2; matched <= m_needle.size(); ++matched) {
    while (border > 0 && m_needle[matched - 1] != m_needle[border]) border = m_fallback[border];
    if (m_needle[matched - 1] == m_needle[border]) ++border;
    m_fallback[matched] = border;
  }
  return m_fallback;
}

std::size_t CByteSearcher::FindIn(std::string_view haystack) const {
  const std::size_t length = m_needle.size();
  if (length == 0) return 0;
  if (length <= kShortNeedle && haystack.size() <= kShortHaystack) return FindShort(haystack);
#if defined(__GLIBC__)
  const void* const found = ::memmem(haystack.data(), haystack.size(), m_needle.data(), length);
  return found ? static_cast<std::size_t>(static_cast<const char*>(found) - haystack.data()) : std::string_view::npos;
#else
  return FindByPrefixTable(haystack);
#endif
}

std::size_t CByteSearcher::FindShort(std::string_view haystack) const {
  const std::size_t length = m_needle.size();
  if (haystack.size() < length) return std::string_view::npos;
  const char first = m_needle[0];
  const char* const data = haystack.data();
  const char* const lastStart = data + (haystack.size() - length);
  for (const char* at = data; at <= lastStart; ++at) {
    at = static_cast<const char*>(std::memchr(at, first, static_cast<std::size_t>(lastStart - at) + 1));
    if (!at) return std::string_view::npos;
    if (std::memcmp(at + 1, m_needle.data() + 1, length - 1) == 0) return static_cast<std::size_t>(at - data);
  }
  return std::string_view::npos;
}

std::size_t CByteSearcher::FindByPrefixTable(std::string_view haystack) const {
  const std::size_t length = m_needle.size();
  if (length == 0) return 0;
  const std::vector<std::size_t>& fallback = Fallback();
  const char* const data = haystack.data();
  const std::size_t size = haystack.size();
  std::size_t matched = 0;
  for (std::size_t at = 0; at < size;) {
    if (matched == 0) {
      const void* const candidate = std::memchr(data + at, m_needle[0], size - at);
      if (!candidate) return std::string_view::npos;
      at = static_cast<std::size_t>(static_cast<const char*>(candidate) - data);
    }
    if (data[at] == m_needle[matched]) {
      ++at;
      if (++matched == length) return at - length;
    } else if (matched > 0) {
      matched = fallback[matched];
    } else {
      ++at;
    }
  }
  return std::string_view::npos;
}

const char* FindLastByte(const char* begin, const char* end, char value) {
  const auto reversed = std::find(std::make_reverse_iterator(end), std::make_reverse_iterator(begin), value);
  return reversed.base() == begin ? nullptr : std::prev(reversed.base());
}

}  // namespace kestrum
