// The entity round trip against the copy it cannot beat: importing edited entities into
// a 10 MB map, as a script runs kestrum-cli, against `cp` of the same map.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_support.h"
#include "format_map_builder.h"
#include "map_builder.h"
#include "test_files.h"

namespace {

using kestrum::bench::Folder;
using kestrum::bench::Median;
using kestrum::bench::TimedShell;
namespace mapgen = kestrum::mapgen;

/**
 * A Quake 3 map of 10 MB: sixteen binary lumps of 640 KiB around an entity lump of 500
 * entities in the middle, and the same entities with every light's value changed.
 */
struct RoundTripFiles {
  std::string map;
  std::string edited;
};

const RoundTripFiles& Files() {
  static const RoundTripFiles files = [] {
    std::vector<mapgen::Entity> entities = mapgen::DemoEntities();
    std::string edits;
    for (int n = 0; n < 500; ++n) {
      entities.push_back({{{"classname", "light"},
                           {"origin", std::to_string(n * 16 % 2048) + " 0 64"},
                           {"light", std::to_string(100 + n % 400)}}});
    }
    std::string text;
    for (const mapgen::Entity& entity : entities) text += mapgen::EntityText(entity) + "\n";
    const mapgen::HeaderKind quake3 = mapgen::SupportedHeaders()[5];
    RoundTripFiles made{Folder().File("q3map.bsp"), Folder().File("edited.ent")};
    kestrum::test::WriteFile(
        made.map, mapgen::BuildFormatMap(quake3, text + '\0', mapgen::LumpPosition::Middle, 640 << 10).bytes);
    std::string edited = text;
    for (std::size_t at = edited.find("\"light\" \"1"); at != std::string::npos;
         at = edited.find("\"light\" \"1", at)) {
      edited[at + 9] = '2';
    }
    kestrum::test::WriteFile(made.edited, edited);
    return made;
  }();
  return files;
}

/**
 * In turns in each iteration, so that the ratios compare runs under the same load: `cp`
 * of the map; import into a new map (-o); import in place, with the old map kept as .bak.
 */
void ImportAgainstCopy(benchmark::State& state) {
  const RoundTripFiles& files = Files();
  const std::string cli = KESTRUM_CLI_PATH;
  const std::string work = Folder().File("work.bsp");
  const std::string copy = "cp " + files.map + " " + Folder().File("copy.bsp");
  const std::string importNew =
      cli + " import " + files.map + " " + files.edited + " -o " + Folder().File("imported.bsp") + " > /dev/null";
  const std::string importInPlace = cli + " import " + work + " " + files.edited + " > /dev/null";
  TimedShell(state, "cp " + files.map + " " + work);
  std::vector<double> copySeconds, newSeconds, inPlaceSeconds;
  for (auto _ : state) {
    copySeconds.push_back(TimedShell(state, copy));
    newSeconds.push_back(TimedShell(state, importNew));
    inPlaceSeconds.push_back(TimedShell(state, importInPlace));
  }
  state.counters["cp_ms"] = 1000 * Median(copySeconds);
  state.counters["import_ms"] = 1000 * Median(newSeconds);
  state.counters["in_place_ms"] = 1000 * Median(inPlaceSeconds);
}

}  // namespace

BENCHMARK(ImportAgainstCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(30);
