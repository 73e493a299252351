#include "utf8_split.h"

namespace kestrum::cli {

std::size_t LengthOfWholeCharacters(std::string_view utf8) {
  // The last character's lead byte is at most three continuation bytes back.
  const std::size_t size = utf8.size();
  for (std::size_t back = 1; back <= 4 && back <= size; ++back) {
    const auto byte = static_cast<unsigned char>(utf8[size - back]);
    if ((byte & 0xC0) == 0x80) continue;
    const std::size_t announced = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return announced > back ? size - back : size;
  }
  return size;
}

}  // namespace kestrum::cli
