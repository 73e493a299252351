// Zip archives in a build without libzip (KESTRUM_WITH_ZIP=OFF).
#include "archive.h"
#include "input_error.h"

namespace kestrum::sources {

bool ZipArchivesSupported() {
  return false;
}

std::shared_ptr<const CArchive> OpenZipArchive(const std::string& path) {
  throw CInputError(path,
                    "this build of kestrum-cli reads no zip archives (.pk3, .pk4, .zip); "
                    "extract the maps, or use a build with zip support");
}

}  // namespace kestrum::sources
