#include "lump_text.h"

#include <cstring>
#include <vector>

namespace kestrum {

std::string ReadLumpText(const IByteSource& map, std::int32_t lumpOffset) {
  std::vector<char> block(std::size_t{64} << 10);
  std::string text;
  for (std::int64_t offset = lumpOffset;;) {
    const std::size_t got = map.ReadAt(offset, block.data(), block.size());
    const char* const begin = block.data();
    const char* const nul = static_cast<const char*>(std::memchr(begin, '\0', got));
    text.append(begin, nul ? nul : begin + got);
    if (nul || got < block.size()) return text;
    offset += static_cast<std::int64_t>(got);
  }
}

}  // namespace kestrum
