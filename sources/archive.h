// Game archives that hold maps: zip archives (.pk3, .pk4, .zip) and Quake's PACK files
// (.pak). The zip reader is the only code that uses the zip library, so a build without
// it (KESTRUM_WITH_ZIP=OFF) still reads PACK files and says what it lacks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "byte_source.h"
#include "member_bytes.h"

namespace kestrum::sources {

struct ArchiveMember {
  std::string name;            ///< the path inside the archive, e.g. "maps/q3dm1.bsp"
  std::uint64_t size = 0;      ///< uncompressed
  std::uint64_t location = 0;  ///< where its reader finds it: the directory index (zip), the offset (PACK)
};

/**
 * One open archive, its directory read once. Members may be read from several threads
 * at once.
 */
class CArchive {
 public:
  virtual ~CArchive() = default;

  const std::string& Path() const { return m_path; }
  /** Every member, in the order of the archive's directory. */
  const std::vector<ArchiveMember>& Members() const { return m_members; }
  /**
   * A map member's bytes, as a map to read: refuses members of 2 GiB and more, which no
   * map offset can reach, and members that are not what the directory says they are.
   */
  std::shared_ptr<const IByteSource> ReadMap(const ArchiveMember& member) const;

 protected:
  explicit CArchive(std::string path) : m_path(std::move(path)) {}
  /** Hands the member's bytes to into, a block at a time; throws CInputError naming it. */
  virtual void ReadBytes(const ArchiveMember& member, CMemberBytes& into) const = 0;

  std::string m_path;
  std::vector<ArchiveMember> m_members;
};

/** True for the names of archives: .pk3, .pk4, .zip and .pak, in any letter case. */
bool IsArchiveName(const std::string& path);

/** Opens an archive by its name's extension; throws CInputError naming it. */
std::shared_ptr<const CArchive> OpenArchive(const std::string& path);

/** Whether this build reads zip archives (.pk3, .pk4, .zip). */
bool ZipArchivesSupported();

/** The reader of each kind; OpenArchive chooses between them. */
std::shared_ptr<const CArchive> OpenZipArchive(const std::string& path);
std::shared_ptr<const CArchive> OpenPakArchive(const std::string& path);

}  // namespace kestrum::sources
