// The run over many maps, in process: what a terminal shows when results and the
// progress line share it.
#include "map_run.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <thread>

namespace kestrum::cli {
namespace {

TEST(MapRun, theProgressLineIsErasedBeforeAnyResultOnTheSameTerminal) {
  std::vector<sources::MapSource> maps(8);
  for (std::size_t n = 0; n < maps.size(); ++n) maps[n].name = "m" + std::to_string(n) + ".bsp";
  std::ostringstream terminal;  // standard output and standard error on one terminal
  const MapWork work = [](std::size_t index, const sources::MapSource& source, const EarlyOutput& early) {
    // Slow enough for the progress line to show between the results.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    MapReport report;
    report.result = MapResult::Found;
    if (index % 2 == 0) {
      EXPECT_TRUE(early(source.name + ": printed as it goes\n"));
    }
    report.out = source.name + ": " + std::to_string(index) + "\n";
    return report;
  };
  const RunSummary summary = RunOverMaps(maps, work, terminal, terminal, true);
  EXPECT_EQ(summary.found, maps.size());

  // Everything between two erasures of the line is either the progress line alone or
  // whole lines of results.
  const std::string shown = terminal.str();
  EXPECT_NE(shown.find("kestrum-cli: "), std::string::npos) << "the run was too quick to show its progress";
  const std::regex progress("kestrum-cli: [0-9]+/8 maps, [0-9.]+ MB read, [0-9.]+ s");
  const std::regex results("(m[0-9]\\.bsp: [^\\n]*\\n)*");
  const std::string erase = "\r\x1b[K";
  std::size_t from = 0;
  while (from <= shown.size()) {
    const std::size_t next = shown.find(erase, from);
    const std::string piece = shown.substr(from, next == std::string::npos ? std::string::npos : next - from);
    EXPECT_TRUE(std::regex_match(piece, progress) || std::regex_match(piece, results)) << "[" << piece << "]";
    if (next == std::string::npos) break;
    from = next + erase.size();
  }
  for (std::size_t n = 0; n < maps.size(); ++n) {
    EXPECT_NE(shown.find("m" + std::to_string(n) + ".bsp: " + std::to_string(n) + "\n"), std::string::npos) << n;
  }
}

}  // namespace
}  // namespace kestrum::cli
