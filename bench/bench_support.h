// What the benchmarks share: the folder of generated data, the large entity lump, and
// the reporter that prints each benchmark's ratio to its baseline.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "test_files.h"

namespace kestrum::bench {

/** The temporary folder of all generated data, removed at exit. */
test::TempDir& Folder();

struct LumpMap {
  std::string path;
  std::int32_t lumpOffset;
  std::size_t lumpSize;
};

/**
 * A map whose entity lump holds 100,000 entities (7.4 MB), in its last tenth. Their
 * spawnflags run through every value from 0 to 4095, so a search shows six flags per
 * entity on average, in an order no branch predictor learns.
 */
const LumpMap& MapOf100000Entities();
/** The same map with spawnflags 0 to 7 only, as most entities of real maps have. */
const LumpMap& MapOf100000EntitiesWithFewFlags();

/** Runs a shell command, as a script would; an exit status other than those expected ends the benchmark. */
void RunShell(benchmark::State& state, const std::string& command, std::initializer_list<int> expected = {0});
/** Runs a shell command as RunShell does and returns its wall time in seconds. */
double TimedShell(benchmark::State& state, const std::string& command);
/** The median of values (0 for none): on a shared machine a few slow runs must not move a figure. */
double Median(std::vector<double> values);

/** Prints as usual and keeps each run's wall time, for the ratios at the end. */
class CRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  /** measured / baseline against a target ratio. */
  void PrintRatio(const std::string& what, const std::string& measured, const std::string& baseline,
                  double target) const;
  /**
   * Two counters of one benchmark, measured / baseline, against a target ratio. The
   * benchmark is named by the start of its name, without what Google Benchmark adds to
   * it ("/min_time:5.000/real_time").
   */
  void PrintCounterRatio(const std::string& what, const std::string& benchmark, const std::string& measured,
                         const std::string& baseline, double target) const;
  /** measured against a limit in seconds. */
  void PrintLimit(const std::string& what, const std::string& measured, double seconds) const;

 private:
  static void PrintAgainstTarget(const std::string& what, double ratio, double target);

  std::map<std::string, double> m_seconds;
  std::map<std::string, std::map<std::string, double>> m_counters;  ///< by benchmark, then by counter
};

}  // namespace kestrum::bench
