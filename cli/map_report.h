// What processing one map produced, held until its turn to be printed comes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kestrum::cli {

enum class MapResult {
  Found,  ///< the command had something to show: an offset, a match, a list, entities
  /**
   * The command gave its results, but the map's entities are damaged: they end in an
   * entity cut short, or an entity could not be read.
   */
  Damaged,
  NothingFound,  ///< no entities, or no match
  Failed,        ///< the map, its archive or a list could not be read or written
};

struct MapReport {
  std::string out;  ///< for standard output
  std::string err;  ///< messages, each a whole line
  MapResult result = MapResult::NothingFound;
  std::uint64_t bytesRead = 0;
  bool outputFailed = false;  ///< an early write to standard output failed; the command stopped
};

/**
 * Where a command writes its results before it ends, once it holds a good many: the call
 * waits until every map before this one has printed, then prints. A long search thus
 * prints as it goes instead of holding megabytes, and memory stays bounded however much
 * the maps after the first have to say. Returns false when standard output could not be
 * written, or the run stopped.
 */
using EarlyOutput = std::function<bool(std::string_view text)>;

/** Adds "kestrum-cli: " + prefix + text as a line of report.err, the text's control characters escaped. */
void AddMessage(MapReport& report, std::string_view prefix, std::string_view text);

}  // namespace kestrum::cli
