#include "archive.h"

#include "map_size.h"
#include "name_matching.h"

namespace kestrum::sources {

std::string CArchive::ReadMap(const ArchiveMember& member) const {
  CheckedMapSize(member.size, m_path + ":" + member.name, "member");
  return ReadBytes(member);
}

bool IsArchiveName(const std::string& path) {
  return EndsWithIgnoringCase(path, ".pk3") || EndsWithIgnoringCase(path, ".pk4") ||
         EndsWithIgnoringCase(path, ".zip") || EndsWithIgnoringCase(path, ".pak");
}

std::shared_ptr<const CArchive> OpenArchive(const std::string& path) {
  if (EndsWithIgnoringCase(path, ".pak")) return OpenPakArchive(path);
  return OpenZipArchive(path);
}

}  // namespace kestrum::sources
