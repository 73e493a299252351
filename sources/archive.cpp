#include "archive.h"

#include "map_size.h"
#include "name_matching.h"

namespace kestrum::sources {

std::shared_ptr<const IByteSource> CArchive::ReadMap(const ArchiveMember& member) const {
  const std::string name = m_path + ":" + member.name;
  CheckedMapSize(member.size, name, "member");
  CMemberBytes bytes(name);
  ReadBytes(member, bytes);
  return bytes.Finish();
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
