#include "byte_source.h"

#include <algorithm>
#include <cstring>

namespace kestrum {

std::size_t CMemoryBytes::ReadAt(std::int64_t offset, char* out, std::size_t count) const {
  if (offset < 0 || offset >= Size()) return 0;
  const std::size_t got = std::min(count, static_cast<std::size_t>(Size() - offset));
  std::memcpy(out, m_bytes.data() + offset, got);
  return got;
}

}  // namespace kestrum
