#include "archive_builder.h"

namespace kestrum::test {
namespace {

void AppendLittleEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

}  // namespace

std::string PakBytes(const ArchiveContents& members) {
  std::string data;
  std::string directory;
  constexpr std::uint32_t kHeaderSize = 12;
  for (const auto& [name, bytes] : members) {
    std::string entryName = name;
    entryName.resize(56, '\0');
    directory += entryName;
    AppendLittleEndian32(directory, kHeaderSize + static_cast<std::uint32_t>(data.size()));
    AppendLittleEndian32(directory, static_cast<std::uint32_t>(bytes.size()));
    data += bytes;
  }
  std::string pak = "PACK";
  AppendLittleEndian32(pak, kHeaderSize + static_cast<std::uint32_t>(data.size()));
  AppendLittleEndian32(pak, static_cast<std::uint32_t>(directory.size()));
  return pak + data + directory;
}

}  // namespace kestrum::test
