// Zip archives in a build without libzip (KESTRUM_WITH_ZIP=OFF).
#include "archive.h"
#include "file.h"

namespace kestrum::cli {

bool ZipArchivesSupported() {
  return false;
}

std::unique_ptr<CArchive> OpenZipArchive(const std::string& path) {
  throw CFileException(path,
                       "this build of kestrum-cli reads no zip archives (.pk3, .pk4, .zip); "
                       "extract the maps, or use a build with zip support");
}

}  // namespace kestrum::cli
