#include "archive.h"

#include <limits>

#include "file.h"
#include "name_matching.h"

namespace kestrum::cli {

std::string CArchive::ReadMap(const ArchiveMember& member) {
  if (member.size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    throw CFileException(m_path + ":" + member.name,
                         "the member is 2 GiB or larger; Kestrum reads maps of up to 2 GiB - 1 bytes");
  }
  return ReadBytes(member);
}

bool IsArchiveName(const std::string& path) {
  return EndsWithIgnoringCase(path, ".pk3") || EndsWithIgnoringCase(path, ".pk4") ||
         EndsWithIgnoringCase(path, ".zip") || EndsWithIgnoringCase(path, ".pak");
}

std::unique_ptr<CArchive> OpenArchive(const std::string& path) {
  if (EndsWithIgnoringCase(path, ".pak")) return OpenPakArchive(path);
  return OpenZipArchive(path);
}

}  // namespace kestrum::cli
