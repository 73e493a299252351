// The inputs of the map commands: map files, folders of maps, archives, and maps inside
// archives named ARCHIVE:MEMBER, expanded to the list of maps to process, in order.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive.h"
#include "byte_source.h"

namespace kestrum::sources {

/** One map to process, or an input that gave none. */
struct MapSource {
  std::string name;                         ///< how results and messages name it: the path, or ARCHIVE:MEMBER
  std::string path;                         ///< the map file, or the archive that holds it
  std::shared_ptr<const CArchive> archive;  ///< for a map inside an archive: the archive, open for the run
  std::optional<ArchiveMember> member;      ///< set for a map inside an archive
  std::string problem;  ///< why the input gave no map (already worded for the user); empty for a map
};

/**
 * Expands the inputs in the order given: a folder to every *.bsp below it (any letter
 * case, links to files followed, sorted by path), an archive to every *.bsp member
 * (sorted by name), ARCHIVE:MEMBER to that member, anything else to a map file (which
 * the map commands open, and report if they cannot). Each archive is opened once, here,
 * and its sources share it.
 */
std::vector<MapSource> ExpandInputs(const std::vector<std::string>& inputs);

/** The map one name gives: a map file's path, or ARCHIVE:MEMBER; the problem says why when none. */
MapSource FindMap(const std::string& name);

/** The names of the maps (*.bsp) inside an archive, sorted. Throws CInputError naming the archive. */
std::vector<std::string> MapsInArchive(const std::string& archivePath);

/** How a map inside an archive is named: ARCHIVE:MEMBER. */
std::string MemberName(const std::string& archivePath, const std::string& member);

/** What is said of an archive that holds no map. */
std::string NoMapsInArchive(const std::string& archivePath);

/**
 * The list name offered for a map: after the member for a map inside an archive (the
 * archive's own name is no part of it), else after the map file.
 */
std::string ListNameOf(const MapSource& source);

/**
 * The bytes of a map: a member taken out of its archive, or a map file held open and
 * read through blocks. Throws CInputError naming the map; refuses maps of 2 GiB and more.
 */
std::shared_ptr<const IByteSource> OpenMap(const MapSource& source);

/** Whether an argument names one map: a map file or ARCHIVE:MEMBER, not a folder or a whole archive. */
bool NamesOneMap(const std::string& argument);

/** Whether an argument names something that ExpandInputs reads maps from, rather than a list file. */
bool LooksLikeMapInput(const std::string& argument);

}  // namespace kestrum::sources
