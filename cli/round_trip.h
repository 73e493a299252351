// The entity round trip: `export` writes a map's entity lump as the engines that load
// external entity files expect it, `import` puts edited entities back into the map.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "map_commands.h"

namespace kestrum::cli {

/** Writes the map's entity lump, up to its first NUL, to outPath ("/dev/stdout" for standard output). */
/** Writes the map's entity lump to outPath, which may be none of filesRead (the run's maps and archives). */
MapReport ExportMap(const MapSource& source, const std::string& outPath, const CFilesRead& filesRead,
                    const MapNaming& naming);

enum class ImportInput {
  Detect,     ///< told apart by content
  Text,       ///< entity text: a .ent, an export, a list
  JsonLines,  ///< the lines `entities` prints
};

struct ImportOptions {
  std::string mapPath;
  std::string inPath;   ///< "-": standard input
  std::string outPath;  ///< empty: in place
  bool backup = true;   ///< in place: keep the old map as MAP.bak
  bool force = false;   ///< allow a first entity that is not the world
  ImportInput input = ImportInput::Detect;
  MapEncoding encoding = MapEncoding::Windows1252;
};

/**
 * Replaces the map's entity lump with the entities read from options.inPath (or in),
 * checked, written beside the target, read back and compared, and only then put in
 * place. Returns 0 when written, 3 when refused or failed (nothing changed on disk; the
 * reason goes to err).
 */
int ImportMap(const ImportOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace kestrum::cli
