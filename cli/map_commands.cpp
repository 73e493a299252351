#include "map_commands.h"

#include <filesystem>

#include "entity_parser.h"
#include "file.h"
#include "headless_dialog.h"
#include "map_file.h"
#include "output.h"

namespace kestrum::cli {
namespace {

/**
 * How much a search collects before it prints, when it may print early: enough to keep
 * the writes few, little enough that the text's memory stays in the cache.
 */
constexpr std::size_t kEarlyOutputSize = std::size_t{256} << 10;

/** Message prefix naming the map: only when several maps share the output. */
std::string MapPrefix(const MapSource& source, const MapNaming& naming) {
  return naming.severalMaps ? EscapeControls(source.name) + ": " : std::string();
}

/** The dialog's commands without a window; their messages go to the map's report. */
class CCliDialog : public CHeadlessDialog {
 public:
  CCliDialog(MapReport& report, const std::string& prefix) {
    services.logEvents = false;
    services.searchBoxOnly = true;
    services.onMessage = [&report, prefix](const std::string& text) { AddMessage(report, prefix, text); };
  }
};

/** The map's bytes, from its archive or its file; nothing (reported) when they cannot be read. */
std::optional<HeldMap> ReadMap(const MapSource& source, CArchiveCache& archives, MapReport& report,
                               const std::string& prefix) {
  try {
    HeldMap map;
    if (source.member) {
      map = {source.name, BytesInMemory(archives.Open(source.path).ReadMap(*source.member))};
    } else {
      map = HoldMapFile(source.path);
    }
    report.bytesRead += static_cast<std::uint64_t>(map.bytes->Size());
    return map;
  } catch (const CFileException& error) {
    AddMessage(report, prefix, error.what());
    report.result = MapResult::Failed;
    return std::nullopt;
  }
}

/**
 * The path by which the dialog opens the map. Maps inside archives are held in memory;
 * map files are read where they lie, as the dialog reads them, unless held asks for
 * the file to be held open for many presses.
 */
std::optional<std::string> PrepareMap(const MapSource& source, bool held, CCliDialog& session, CArchiveCache& archives,
                                      MapReport& report, const std::string& prefix) {
  if (!source.problem.empty()) {
    AddMessage(report, prefix, source.problem);
    report.result = MapResult::Failed;
    return std::nullopt;
  }
  if (!source.member && !held) {
    std::error_code ignored;
    const std::uintmax_t size = std::filesystem::file_size(source.path, ignored);
    report.bytesRead += size == static_cast<std::uintmax_t>(-1) ? 0 : size;
    return source.path;
  }
  std::optional<HeldMap> map = ReadMap(source, archives, report, prefix);
  if (!map) return std::nullopt;
  std::string path = map->path;
  session.dialog.HoldMap(std::move(*map));
  return path;
}

MapResult ResultOf(CommandOutcome outcome) {
  switch (outcome) {
    case CommandOutcome::Done: return MapResult::Found;
    case CommandOutcome::FileError: return MapResult::Failed;
    case CommandOutcome::ListCutShort: return MapResult::ListCutShort;
    case CommandOutcome::NothingFound:
    case CommandOutcome::Cancelled:
    case CommandOutcome::NoBspLoaded: break;  // no chooser is cancelled here, and a map is always opened
  }
  return MapResult::NothingFound;
}

}  // namespace

void AddMessage(MapReport& report, std::string_view prefix, std::string_view text) {
  report.err.append("kestrum-cli: ").append(prefix).append(text).append("\n");
}

MapReport LocateMap(const MapSource& source, const MapNaming& naming, CArchiveCache& archives) {
  MapReport report;
  const std::string prefix = MapPrefix(source, naming);
  CCliDialog session(report, prefix);
  const std::optional<std::string> path = PrepareMap(source, false, session, archives, report, prefix);
  if (!path) return report;
  report.result = ResultOf(session.Open(*path));
  if (report.result != MapResult::Failed) report.out = prefix + std::to_string(session.dialog.m_entityOffset) + "\n";
  return report;
}

MapReport ListMap(const MapSource& source, const std::string& listPath, const MapNaming& naming,
                  CArchiveCache& archives) {
  MapReport report;
  const std::string prefix = MapPrefix(source, naming);
  CCliDialog session(report, prefix);
  const std::optional<std::string> path = PrepareMap(source, false, session, archives, report, prefix);
  if (!path) return report;
  const CommandOutcome opened = session.Open(*path);
  if (opened == CommandOutcome::NothingFound) {
    // Unlike the dialog, where the user has just chosen the list and confirmed it, a
    // script's list may hold the results of an earlier run: an empty list would lose them.
    AddMessage(report, prefix, "no list written; \"" + EscapeControls(listPath) + "\" is left as it was");
  }
  report.result = opened == CommandOutcome::Done ? ResultOf(session.CreateList(listPath)) : ResultOf(opened);
  return report;
}

MapReport SearchMap(const MapSource& source, const SearchOptions& options, const MapNaming& naming,
                    CArchiveCache& archives, const EarlyOutput& early) {
  MapReport report;
  const std::string prefix = MapPrefix(source, naming);
  CCliDialog session(report, prefix);
  const std::optional<std::string> path = PrepareMap(source, true, session, archives, report, prefix);
  if (!path) return report;
  if (session.Open(*path) == CommandOutcome::FileError) {
    report.result = MapResult::Failed;
    return report;
  }
  const std::string jsonMap = naming.severalMaps ? source.name : std::string();
  CTextBuffer text;
  for (int press = 1; options.all || press <= options.presses; ++press) {
    const CommandOutcome outcome = session.Search(options.text);
    if (outcome == CommandOutcome::FileError) {
      report.result = MapResult::Failed;
      break;
    }
    const bool matched = outcome == CommandOutcome::Done;
    if (matched) report.result = MapResult::Found;
    if (options.json) {
      AppendJsonPress(text, press, session.dialog, jsonMap);
    } else if (matched) {
      AppendFoundEntity(text, press, session.dialog, prefix);
    }
    // Without a match the search has reached the end of the entities.
    if (options.all && !matched) break;
    if (early && text.Size() >= kEarlyOutputSize) {
      if (!early(text.Text())) {
        report.outputFailed = true;
        break;
      }
      text.Clear();  // keeps its memory for the next presses
    }
  }
  if (early && !report.outputFailed && text.Size() != 0) {
    report.outputFailed = !early(text.Text());
    text.Clear();
  }
  report.out = text.Take();
  return report;
}

MapReport MapEntities(const MapSource& source, const MapNaming& naming, CArchiveCache& archives) {
  MapReport report;
  const std::string prefix = MapPrefix(source, naming);
  CCliDialog session(report, prefix);
  if (!source.problem.empty()) {
    AddMessage(report, prefix, source.problem);
    report.result = MapResult::Failed;
    return report;
  }
  const std::optional<HeldMap> map = ReadMap(source, archives, report, prefix);
  if (!map) return report;
  const std::shared_ptr<const CMapBytes> bytes = map->bytes;
  session.dialog.HoldMap(*map);
  const CommandOutcome opened = session.Open(map->path);
  if (opened != CommandOutcome::Done) {
    report.result = ResultOf(opened);
    return report;
  }
  const std::int32_t lumpOffset = session.dialog.m_entityOffset;
  std::string fromLump(static_cast<std::size_t>(bytes->Size() - lumpOffset), '\0');
  fromLump.resize(bytes->ReadAt(lumpOffset, fromLump.data(), fromLump.size()));
  const std::string mapPrefix = EscapeControls(source.name) + ": ";
  CTextBuffer json;
  ParseEntityLump(
      fromLump, lumpOffset,
      [&](const ParsedEntity& entity) {
        AppendEntityJson(json, source.name, entity);
        report.result = MapResult::Found;
      },
      [&](const EntityParseError& error) {
        AddMessage(report, mapPrefix,
                   "malformed entity " + std::to_string(error.index) + " at offset " + std::to_string(error.offset) +
                       ": " + error.reason + "; skipped");
      });
  report.out = json.Take();
  return report;
}

}  // namespace kestrum::cli
