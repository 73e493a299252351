// The inputs of the map commands: map files, folders of maps, archives, and maps inside
// archives named ARCHIVE:MEMBER, expanded to the list of maps to process, in order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive.h"

namespace kestrum::cli {

/** One map to process, or an input that gave none. */
struct MapSource {
  std::string name;                     ///< how results and messages name it: the path, or ARCHIVE:MEMBER
  std::string path;                     ///< the map file, or the archive that holds it
  std::optional<ArchiveMember> member;  ///< set for a map inside an archive
  std::string problem;                  ///< why the input gave no map (already worded for the user); empty for a map
};

/**
 * Expands the inputs in the order given: a folder to every *.bsp below it (any letter
 * case, links to files followed, sorted by path), an archive to every *.bsp member
 * (sorted by name), ARCHIVE:MEMBER to that member, anything else to a map file (which
 * the map commands open, and report if they cannot). Archives are opened here to list
 * their members.
 */
std::vector<MapSource> ExpandInputs(const std::vector<std::string>& inputs);

/** Whether an argument names something that ExpandInputs reads maps from, rather than a list file. */
bool LooksLikeMapInput(const std::string& argument);

}  // namespace kestrum::cli
