// The list file of each map when `list` is given several maps.
#pragma once

#include <string>
#include <vector>

#include "map_inputs.h"

namespace kestrum::cli {

using sources::MapSource;

/**
 * One list path per source, in folder (empty: the current folder): each map's default
 * list name, taken from its member's name for a map inside an archive
 * ("pak0.pk3:maps/q3dm1.bsp" gives "q3dm1.txt"). Where two maps would share a name, each
 * of them gets its archive's name in front ("pak0-q3dm1.txt"), or for a map file its
 * folder's name; any name still shared gets "-2", "-3", ... in input order, skipping
 * the names other maps hold, so that no two maps of a run share a list.
 */
std::vector<std::string> ListPathsFor(const std::vector<MapSource>& sources, const std::string& folder);

}  // namespace kestrum::cli
