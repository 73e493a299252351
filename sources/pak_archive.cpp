// Quake's PACK files: a 12-byte header ("PACK", directory offset, directory length) and
// a directory of 64-byte entries (a NUL-padded name of 56 bytes, offset, length), all
// numbers 32-bit little-endian. Small enough to read without a library.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "archive.h"
#include "file.h"

namespace kestrum::sources {
namespace {

constexpr char kMagic[] = "PACK";
constexpr std::size_t kMagicSize = 4;
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kEntrySize = 64;
constexpr std::size_t kNameSize = 56;
constexpr std::uint64_t kReadBlock = std::uint64_t{1} << 20;

std::uint32_t LittleEndian32(const char* bytes) {
  std::uint32_t value = 0;
  for (int n = 3; n >= 0; --n) value = (value << 8) | static_cast<unsigned char>(bytes[n]);
  return value;
}

class CPakArchive final : public CArchive {
 public:
  explicit CPakArchive(const std::string& path) : CArchive(path) {
    m_file.Open(path, CFile::Mode::Read);
    const std::int64_t length = m_file.GetLength();
    std::array<char, kHeaderSize> header{};
    const std::size_t got = m_file.ReadAt(0, header.data(), header.size());
    if (std::memcmp(header.data(), kMagic, std::min(got, kMagicSize)) != 0) {
      throw CFileException(path, "not a PACK archive (no \"PACK\" header)");
    }
    if (got < header.size()) {
      throw CFileException(path, "damaged PACK archive: the file is " + std::to_string(got) +
                                     " bytes long, shorter than its 12-byte header");
    }
    const std::uint32_t directoryOffset = LittleEndian32(header.data() + 4);
    const std::uint32_t directoryLength = LittleEndian32(header.data() + 8);
    if (directoryLength % kEntrySize != 0) {
      throw CFileException(path, "damaged PACK archive: its directory of " + std::to_string(directoryLength) +
                                     " bytes is no whole number of 64-byte entries");
    }
    if (std::int64_t{directoryOffset} + directoryLength > length) {
      throw CFileException(path, "damaged PACK archive: its directory does not fit the file");
    }
    std::string directory(directoryLength, '\0');
    if (m_file.ReadAt(directoryOffset, directory.data(), directory.size()) != directory.size()) {
      throw CFileException(path, "damaged PACK archive: its directory cannot be read");
    }
    for (std::size_t entry = 0; entry < directory.size(); entry += kEntrySize) {
      const char* bytes = directory.data() + entry;
      ArchiveMember member;
      member.name.assign(bytes, ::strnlen(bytes, kNameSize));
      member.location = LittleEndian32(bytes + kNameSize);
      member.size = LittleEndian32(bytes + kNameSize + 4);
      m_members.push_back(std::move(member));
    }
    m_length = length;
  }

 protected:
  /** Reads at the member's offset, which several threads may do at once. */
  void ReadBytes(const ArchiveMember& member, CMemberBytes& into) const override {
    if (member.location + member.size > static_cast<std::uint64_t>(m_length)) {
      throw CFileException(m_path + ":" + member.name, "damaged PACK archive: the member runs past its end");
    }
    // One block per thread for the whole run: a fresh one per member would cost its pages
    // again for every map.
    thread_local std::vector<char> block(kReadBlock);
    for (std::uint64_t done = 0; done < member.size;) {
      const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(member.size - done, block.size()));
      if (m_file.ReadAt(static_cast<std::int64_t>(member.location + done), block.data(), want) != want) {
        throw CFileException(m_path + ":" + member.name, "the archive ended while the member was read");
      }
      into.Append(block.data(), want);
      done += want;
    }
  }

 private:
  CFile m_file;
  std::int64_t m_length = 0;
};

}  // namespace

std::shared_ptr<const CArchive> OpenPakArchive(const std::string& path) {
  return std::make_shared<const CPakArchive>(path);
}

}  // namespace kestrum::sources
