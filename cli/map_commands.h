// The map commands on one map, each on the lump's readers, collecting what it prints in
// a report.
#pragma once

#include <string>
#include <vector>

#include "input_error.h"
#include "list_target.h"
#include "map_inputs.h"
#include "map_report.h"
#include "map_text.h"

namespace kestrum::cli {

using sources::MapSource;

struct SearchOptions {
  std::string text;  ///< map bytes, already in the encoding
  MapEncoding encoding = MapEncoding::Windows1252;
  int presses = 1;
  bool all = false;
  bool json = false;
};

/** How a map is named in its results: not at all when it is the only one. */
struct MapNaming {
  bool severalMaps = false;
};

/** Message prefix naming the map: only when several maps share the output. */
std::string MapPrefix(const MapSource& source, const MapNaming& naming);

/**
 * Reports a failure and marks the map failed: the message names the map, archive or file
 * it concerns, except that where the prefix names the map already, the same name in front
 * of the reason goes.
 */
void AddFailure(MapReport& report, const std::string& prefix, const MapSource& source, const CInputError& error);

MapReport LocateMap(const MapSource& source, const MapNaming& naming);

/**
 * Writes the list into listPath; a map without entities leaves listPath as it was.
 * filesRead: every map and archive of the run, none of which the list may be.
 */
MapReport ListMap(const MapSource& source, const std::string& listPath, const CFilesRead& filesRead,
                  const MapNaming& naming);

MapReport SearchMap(const MapSource& source, const SearchOptions& options, const MapNaming& naming,
                    const EarlyOutput& early);

/** Every entity of the map, as engines read them, one JSON line each. */
MapReport MapEntities(const MapSource& source, const MapNaming& naming, MapEncoding encoding, const EarlyOutput& early);

}  // namespace kestrum::cli
