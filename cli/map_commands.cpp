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
  return naming.severalMaps ? EscapeName(source.name) + ": " : std::string();
}

/**
 * A failure, worded by what failed. Its message names the file or member it concerns, so
 * the map's prefix comes first only when that is something else (the list), or when the
 * map's name holds characters that only the prefix shows escaped.
 */
void AddFailure(MapReport& report, const MapSource& source, std::string_view prefix, const CInputError& error) {
  const std::string_view message = error.what();
  const bool namesTheMap =
      message.find("\"" + source.name + "\"") != std::string_view::npos && EscapeName(source.name) == source.name;
  AddMessage(report, namesTheMap ? std::string_view() : prefix, message);
  report.result = MapResult::Failed;
}

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
    AddFailure(report, source, prefix, error);
    return std::nullopt;
  }
}

}  // namespace

void AddMessage(MapReport& report, std::string_view prefix, std::string_view text) {
  report.err.append("kestrum-cli: ").append(prefix).append(text).append("\n");
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

MapReport ListMap(const MapSource& source, const std::string& listPath, const MapNaming& naming) {
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
    CListTarget list(file, listPath, source.path);
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
    AddFailure(report, source, prefix, error);
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
      AddFailure(report, source, prefix, error);
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

MapReport MapEntities(const MapSource& source, const MapNaming& naming, MapEncoding encoding) {
  MapReport report;
  const std::string prefix = MapPrefix(source, naming);
  const std::optional<LocatedMap> map = OpenAndLocate(source, report, prefix);
  if (!map || !map->entityOffset) return report;
  const std::int32_t lumpOffset = *map->entityOffset;
  std::string fromLump(static_cast<std::size_t>(map->bytes->Size() - lumpOffset), '\0');
  try {
    fromLump.resize(map->bytes->ReadAt(lumpOffset, fromLump.data(), fromLump.size()));
  } catch (const CInputError& error) {
    AddFailure(report, source, prefix, error);
    return report;
  }
  const std::string mapPrefix = EscapeName(source.name) + ": ";
  CTextBuffer json;
  bool damaged = false;
  ParseEntityLump(
      fromLump, lumpOffset,
      [&](const ParsedEntity& entity) {
        AppendEntityJson(json, source.name, entity, encoding);
        report.result = MapResult::Found;
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
