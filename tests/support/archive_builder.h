// Small game archives built by the tests themselves: zip archives (through libzip) and
// Quake PACK files.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kestrum::test {

using ArchiveContents = std::vector<std::pair<std::string, std::string>>;  ///< member name, bytes

/** A PACK file: header, the members' bytes, then the directory, as Quake's tools write it. */
std::string PakBytes(const ArchiveContents& members);

/** A zip archive with every member deflated (stored when store is true); in builds with zip support. */
void WriteZip(const std::string& path, const ArchiveContents& members, bool store = false);

}  // namespace kestrum::test
