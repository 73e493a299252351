#include "map_file.h"

#include <limits>

namespace kestrum {
namespace {

std::int32_t CheckedMapLength(std::int64_t length, const std::string& path) {
  if (length > std::numeric_limits<std::int32_t>::max()) {
    throw CFileException(path, "the file is 2 GiB or larger; Kestrum reads maps of up to 2 GiB - 1 bytes");
  }
  return static_cast<std::int32_t>(length);
}

}  // namespace

std::int32_t OpenMapForReading(CFile& file, const std::string& path, const HeldMap* held) {
  if (held && held->path == path) {
    file.OpenHeld(path, held->bytes);
  } else {
    file.Open(path, CFile::Mode::Read);
  }
  return CheckedMapLength(file.GetLength(), path);
}

HeldMap HoldMapFile(const std::string& path) {
  return {path, std::make_shared<const CMapFileBlocks>(path)};
}

}  // namespace kestrum
