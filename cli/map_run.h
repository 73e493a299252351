// Runs one map command over every map of the inputs, in parallel, and prints the
// results in input order.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "map_inputs.h"
#include "map_report.h"

namespace kestrum::cli {

struct RunSummary {
  std::size_t found = 0;  ///< damaged maps included
  std::size_t damaged = 0;
  std::size_t failed = 0;
  bool outputFailed = false;  ///< standard output could not be written; the run stopped there
};

/**
 * The command for one map: the map's index in the sources, the map, and where it may
 * print early.
 */
using MapWork = std::function<MapReport(std::size_t index, const sources::MapSource& source, const EarlyOutput& early)>;

/**
 * Processes the maps on all cores, a few maps per worker at a time, and writes each
 * map's report (messages to err, results to out) in input order. Every write to out is
 * checked: when one fails, the run stops with a message. A progress line goes to err
 * when errIsTerminal.
 */
RunSummary RunOverMaps(const std::vector<sources::MapSource>& sources, const MapWork& work, std::ostream& out,
                       std::ostream& err, bool errIsTerminal);

/**
 * Writes text to standard output and flushes it. Nothing when that worked; else what to
 * tell the user, which is nothing when the reader of a pipe has closed it.
 */
std::optional<std::string> WriteChecked(std::ostream& out, std::string_view text);

/**
 * The exit status of a run: 3 if any map failed, else 4 if any map's entities are
 * damaged, else 1 if no map had a result, else 0.
 */
int ExitStatusOf(const RunSummary& summary);

}  // namespace kestrum::cli
