// Small game archives built by the tests themselves: zip archives (through libzip) and
// Quake PACK files.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestrum::test {

using ArchiveContents = std::vector<std::pair<std::string, std::string>>;  ///< member name, bytes

/** A PACK file: header, the members' bytes, then the directory, as Quake's tools write it. */
std::string PakBytes(const ArchiveContents& members);

/** A zip archive with every member deflated (stored when store is true); in builds with zip support. */
void WriteZip(const std::string& path, const ArchiveContents& members, bool store = false);

/**
 * A zip archive whose members are each size zero bytes, deflated: a few hundred kilobytes
 * on disk that unpack to as much as size says. The bytes are never held by the tests.
 */
void WriteZipOfZeros(const std::string& path, const std::vector<std::string>& names, std::uint64_t size);

/**
 * Changes the uncompressed size that a zip archive's central directory claims for its
 * first member, leaving the member as it is.
 */
void ClaimZipMemberSize(const std::string& path, std::uint32_t size);

}  // namespace kestrum::test
