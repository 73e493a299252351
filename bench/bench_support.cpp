#include "bench_support.h"

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>

#include "map_builder.h"

namespace kestrum::bench {

test::TempDir& Folder() {
  static test::TempDir folder;
  return folder;
}

namespace {

/** 100,000 entities, each with a spawnflags value made of its number by flagsOf. */
LumpMap BuildMapOf100000Entities(const std::string& name, int (*flagsOf)(int)) {
  std::vector<mapgen::Entity> entities = mapgen::DemoEntities();
  for (int n = static_cast<int>(entities.size()); n < 100'000; ++n) {
    entities.push_back({{{"classname", n % 3 ? "light" : "info_null"},
                         {"origin", std::to_string(n % 4096) + " " + std::to_string(n / 4096) + " 64"},
                         {"spawnflags", std::to_string(flagsOf(n))}}});
  }
  const std::string lump = mapgen::EntityLump(entities);
  // The lump must begin in the map's last tenth, where a large map is scanned.
  const mapgen::BuiltMap built = mapgen::BuildMap(lump, 10 * lump.size(), 64 << 10);
  LumpMap result{Folder().File(name), built.lumpOffset, lump.size()};
  test::WriteFile(result.path, built.bytes);
  return result;
}

}  // namespace

const LumpMap& MapOf100000Entities() {
  static const LumpMap map = BuildMapOf100000Entities("lump.bsp", [](int n) { return n % 4096; });
  return map;
}

const LumpMap& MapOf100000EntitiesWithFewFlags() {
  static const LumpMap map = BuildMapOf100000Entities("few_flags.bsp", [](int n) { return n % 8; });
  return map;
}

void CRatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (!run.error_occurred) {
      m_seconds[run.benchmark_name()] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      for (const auto& [name, counter] : run.counters) m_counters[run.benchmark_name()][name] = counter.value;
    }
  }
}

void CRatioReporter::PrintRatio(const std::string& what, const std::string& measured, const std::string& baseline,
                                double target) const {
  const auto a = m_seconds.find(measured);
  const auto b = m_seconds.find(baseline);
  if (a == m_seconds.end() || b == m_seconds.end()) return;
  PrintAgainstTarget(what, a->second / b->second, target);
}

void CRatioReporter::PrintCounterRatio(const std::string& what, const std::string& benchmark,
                                       const std::string& measured, const std::string& baseline, double target) const {
  for (const auto& [name, counters] : m_counters) {
    if (name.compare(0, benchmark.size(), benchmark) != 0) continue;
    const auto a = counters.find(measured);
    const auto b = counters.find(baseline);
    if (a != counters.end() && b != counters.end()) PrintAgainstTarget(what, a->second / b->second, target);
  }
}

void CRatioReporter::PrintAgainstTarget(const std::string& what, double ratio, double target) {
  std::cout << what << ": " << ratio << " x baseline (target at most " << target << ") "
            << (ratio <= target ? "met" : "MISSED") << '\n';
}

void CRatioReporter::PrintLimit(const std::string& what, const std::string& measured, double seconds) const {
  const auto a = m_seconds.find(measured);
  if (a == m_seconds.end()) return;
  std::cout << what << ": " << a->second << " s (target under " << seconds << " s) "
            << (a->second < seconds ? "met" : "MISSED") << '\n';
}

void RunShell(benchmark::State& state, const std::string& command, std::initializer_list<int> expected) {
  const int status = std::system(command.c_str());
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  for (const int ok : expected) {
    if (code == ok) return;
  }
  state.SkipWithError(("exit status " + std::to_string(code) + ": " + command).c_str());
}

double TimedShell(benchmark::State& state, const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  RunShell(state, command);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

}  // namespace kestrum::bench
