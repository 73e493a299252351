#include "map_file.h"

#include <limits>

namespace kestrum {

std::int32_t OpenMapForReading(CFile& file, const std::string& path) {
  file.Open(path, CFile::Mode::Read);
  const std::int64_t length = file.GetLength();
  if (length > std::numeric_limits<std::int32_t>::max()) {
    throw CFileException(path, "the file is 2 GiB or larger; Kestrum reads maps of up to 2 GiB - 1 bytes");
  }
  return static_cast<std::int32_t>(length);
}

}  // namespace kestrum
