#include "map_commands.h"

#include <memory>
#include <optional>

#include "entity_list.h"
#include "entity_parser.h"
#include "entity_search.h"
#include "file.h"
#include "list_target.h"
#include "locator.h"
#include "lump_messages.h"
#include "lump_text.h"
#include "output.h"

namespace kestrum::cli {
namespace {

/**
 * How much a search collects before it prints, when it may print early: enough to keep
 * the writes few, little enough that the text's memory stays in the cache.
 */
constexpr std::size_t kEarlyOutputSize = std::size_t{256} << 10;

/** A map, opened, with where its entities begin. */
struct LocatedMap {
  std::shared_ptr<const IByteSource> bytes;
  std::optional<std::int32_t> entityOffset;  ///< nothing: the map has no entities
};

/**
 * Opens the map and finds its first entity, as Open BSP does; nothing, with the reason
 * in the report, when the map cannot be read. A map without entities says so.
 */
std::optional<LocatedMap> OpenAndLocate(const MapSource& source, MapReport& report, const std::string& prefix) {
  try {
    LocatedMap map{sources::OpenMap(source), std::nullopt};
    report.bytesRead += static_cast<std::uint64_t>(map.bytes->Size());
    LookBackWindow window{};
    map.entityOffset = LocateEntityLump(*map.bytes, window);
    if (!map.entityOffset) AddMessage(report, prefix, messages::kNoEntities);
    return map;
  } catch (const CInputError& error) {
    AddFailure(report, prefix, source, error);
    return std::nullopt;
  }
}

}  // namespace

std::string MapPrefix(const MapSource& source, const MapNaming& naming) {
  return naming.severalMaps ? EscapeName(source.name) + ": " : std::string();
}

void AddFailure(MapReport& report, const std::string& prefix, const MapSource& source, const CInputError& error) {
  const std::string_view message = error.what();
  const std::string repeated = "\"" + source.name + "\": ";
  const bool named = !prefix.empty() && message.substr(0, repeated.size()) == repeated;
  AddMessage(report, prefix, named ? message.substr(repeated.size()) : message);
  report.result = MapResult::Failed;
}

void AddMessage(MapReport& report, std::string_view prefix, std::string_view text) {
  // The names a message quotes come from the maps and archives: escaped, so that none can
  // drive the terminal or forge a line.
  report.err.append("kestrum-cli: ").append(prefix).append(EscapeName(text)).append("\n");
}

MapReport LocateMap(const MapSource& source, const MapNaming& naming) {
  MapReport report;
  const std::string prefix = MapPrefix(source, naming);
  const std::optional<LocatedMap> map = OpenAndLocate(source, report, prefix);
  if (!map) return report;
  report.result = map->entityOffset ? MapResult::Found : MapResult::NothingFound;
  report.out = prefix + std::to_string(map->entityOffset.value_or(0)) + "\n";
  return report;
}

MapReport ListMap(const MapSource& source, const std::string& listPath, const CFilesRead& filesRead,
                  const MapNaming& naming) {
  MapReport report;
  const std::string prefix = MapPrefix(source, naming);
  const std::optional<LocatedMap> map = OpenAndLocate(source, report, prefix);
  if (!map) return report;
  if (!map->entityOffset) {
    // Unlike the dialog, where the user has just chosen the list and confirmed it, a
    // script's list may hold the results of an earlier run: an empty list would lose them.
    AddMessage(report, prefix, "no list written; \"" + EscapeName(listPath) + "\" is left as it was");
    return report;
  }
  try {
    CFile file;
    CListTarget list(file, listPath, filesRead);
    EntityWindow window{};
    std::string record;
    const ListResult listed = ListEntities(*map->bytes, *map->entityOffset, window, record,
                                           [&file](std::string_view bytes) { file.Write(bytes.data(), bytes.size()); });
    list.Commit();
    report.result = MapResult::Found;
    if (listed.cutEntityOffset) {
      AddMessage(report, prefix, messages::CutEntityMessage(*listed.cutEntityOffset, listed.written));
      report.result = MapResult::Damaged;
    }
  } catch (const CInputError& error) {
    AddFailure(report, prefix, source, error);
  }
  return report;
}

MapReport SearchMap(const MapSource& source, const SearchOptions& options, const MapNaming& naming,
                    const EarlyOutput& early) {
  MapReport report;
  const std::string prefix = MapPrefix(source, naming);
  const std::optional<LocatedMap> map = OpenAndLocate(source, report, prefix);
  if (!map) return report;
  const std::int32_t entityOffset = map->entityOffset.value_or(0);
  const std::string jsonMap = naming.severalMaps ? source.name : std::string();
  const CByteSearcher text(options.text);
  SearchBuffers buffers;
  ShownPress shown;
  shown.search.cursor = entityOffset;
  CTextBuffer out;
  bool cutEntityReported = false;
  for (int press = 1; options.all || press <= options.presses; ++press) {
    bool matched = false;
    try {
      matched = SearchPress(*map->bytes, entityOffset, text, shown.search, buffers, shown.Slots());
    } catch (const CInputError& error) {
      AddFailure(report, prefix, source, error);
      break;
    }
    if (matched && report.result != MapResult::Damaged) report.result = MapResult::Found;
    // Every press that starts over runs into the same entity: it is told once.
    if (buffers.cutEntityOffset && !cutEntityReported) {
      AddMessage(report, prefix, messages::CutEntitySearchMessage(*buffers.cutEntityOffset));
      report.result = MapResult::Damaged;
      cutEntityReported = true;
    }
    if (options.json) {
      AppendJsonPress(out, press, shown, options.encoding, jsonMap);
    } else if (matched) {
      AppendFoundEntity(out, press, shown, options.encoding, prefix);
    }
    // Without a match the search has reached the end of the entities.
    if (options.all && !matched) break;
    if (early && out.Size() >= kEarlyOutputSize) {
      if (!early(out.Text())) {
        report.outputFailed = true;
        break;
      }
      out.Clear();  // keeps its memory for the next presses
    }
  }
  if (early && !report.outputFailed && out.Size() != 0) {
    report.outputFailed = !early(out.Text());
    out.Clear();
  }
  report.out = out.Take();
  return report;
}

MapReport MapEntities(const MapSource& source, const MapNaming& naming, MapEncoding encoding,
                      const EarlyOutput& early) {
  MapReport report;
  const std::string prefix = MapPrefix(source, naming);
  const std::optional<LocatedMap> map = OpenAndLocate(source, report, prefix);
  if (!map || !map->entityOffset) return report;
  const std::int32_t lumpOffset = *map->entityOffset;
  std::string fromLump;
  try {
    fromLump = ReadLumpText(*map->bytes, lumpOffset);
  } catch (const CInputError& error) {
    AddFailure(report, prefix, source, error);
    return report;
  }
  const std::string mapPrefix = EscapeName(source.name) + ": ";
  CTextBuffer json;
  bool damaged = false;
  ParseEntityLump(
      fromLump, lumpOffset,
      [&](const ParsedEntity& entity) {
        if (report.outputFailed) return;  // standard output is gone: the rest would go nowhere
        AppendEntityJson(json, source.name, entity, encoding);
        report.result = MapResult::Found;
        if (json.Size() >= kEarlyOutputSize) {
          report.outputFailed = !early(json.Text());
          json.Clear();
        }
      },
      [&](const EntityParseError& error) {
        AddMessage(report, mapPrefix,
                   "malformed entity " + std::to_string(error.index) + " at offset " + std::to_string(error.offset) +
                       ": " + error.reason + "; skipped");
        damaged = true;
      });
  if (damaged) report.result = MapResult::Damaged;
  report.out = json.Take();
  return report;
}

}  // namespace kestrum::cli
