#include "bench_support.h"

#include <iostream>

#include "map_builder.h"

namespace kestrum::bench {

test::TempDir& Folder() {
  static test::TempDir folder;
  return folder;
}

const LumpMap& MapOf100000Entities() {
  static const LumpMap map = [] {
    std::vector<mapgen::Entity> entities = mapgen::DemoEntities();
    for (int n = static_cast<int>(entities.size()); n < 100'000; ++n) {
      entities.push_back({{{"classname", n % 3 ? "light" : "info_null"},
                           {"origin", std::to_string(n % 4096) + " " + std::to_string(n / 4096) + " 64"},
                           {"spawnflags", std::to_string(n % 4096)}}});
    }
    const std::string lump = mapgen::EntityLump(entities);
    // The lump must begin in the map's last tenth, where a large map is scanned.
    const mapgen::BuiltMap built = mapgen::BuildMap(lump, 10 * lump.size(), 64 << 10);
    LumpMap result{Folder().File("lump.bsp"), built.lumpOffset, lump.size()};
    test::WriteFile(result.path, built.bytes);
    return result;
  }();
  return map;
}

void CRatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (!run.error_occurred) {
      m_seconds[run.benchmark_name()] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
  }
}

void CRatioReporter::PrintRatio(const std::string& what, const std::string& measured, const std::string& baseline,
                                double target) const {
  const auto a = m_seconds.find(measured);
  const auto b = m_seconds.find(baseline);
  if (a == m_seconds.end() || b == m_seconds.end()) return;
  const double ratio = a->second / b->second;
  std::cout << what << ": " << ratio << " x baseline (target at most " << target << ") "
            << (ratio <= target ? "met" : "MISSED") << '\n';
}

void CRatioReporter::PrintLimit(const std::string& what, const std::string& measured, double seconds) const {
  const auto a = m_seconds.find(measured);
  if (a == m_seconds.end()) return;
  std::cout << what << ": " << a->second << " s (target under " << seconds << " s) "
            << (a->second < seconds ? "met" : "MISSED") << '\n';
}

}  // namespace kestrum::bench
