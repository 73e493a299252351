// kestrum-cli over many maps, timed as a script runs it (a process, output to
// /dev/null), against the tools a script would otherwise use: unzip and grep.
#include <benchmark/benchmark.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "archive_builder.h"
#include "bench_support.h"
#include "byte_source.h"
#include "entity_search.h"
#include "locator.h"
#include "map_builder.h"
#include "test_files.h"

namespace {

using kestrum::bench::Folder;
using kestrum::bench::Median;
using kestrum::bench::RunShell;
using kestrum::bench::TimedShell;
namespace mapgen = kestrum::mapgen;

constexpr const char* kSearchText = "monster_dog";

std::string Cli() {
  return std::string(KESTRUM_CLI_PATH);
}

/**
 * A map of realistic shape, about 220 KiB: binary lumps around an entity lump of a few
 * hundred entities of common classes; the seed varies the bytes and the entities.
 */
std::string GameMap(std::uint32_t seed) {
  std::vector<mapgen::Entity> entities = mapgen::DemoEntities();
  for (std::uint32_t n = 0; n < 200 + seed % 100; ++n) {
    const std::string origin = std::to_string(n * 16 % 2048) + " " + std::to_string(seed % 512) + " 64";
    entities.push_back({{{"classname", n % 4 ? "light" : "func_door"},
                         {"origin", origin},
                         {"spawnflags", std::to_string((n * seed) % 64)},
                         {"targetname", "t" + std::to_string(n)}}});
  }
  return mapgen::BuildMap(mapgen::EntityLump(entities), 180'000, 20'000, seed).bytes;
}

const std::string& ZipOf500Maps() {
  static const std::string path = [] {
    kestrum::test::ArchiveContents maps;
    for (std::uint32_t n = 0; n < 500; ++n) maps.emplace_back("maps/m" + std::to_string(n) + ".bsp", GameMap(n));
    maps.emplace_back("scripts/shaders.txt", std::string(100'000, 's'));
    const std::string zip = Folder().File("pak500.pk3");
    kestrum::test::WriteZip(zip, maps);
    return zip;
  }();
  return path;
}

const std::string& FolderOf1000Maps() {
  static const std::string path = [] {
    const std::string folder = Folder().File("maps1000");
    std::filesystem::create_directories(folder);
    for (std::uint32_t n = 0; n < 1000; ++n) {
      kestrum::test::WriteFile(folder + "/m" + std::to_string(n) + ".bsp", GameMap(n));
    }
    return folder;
  }();
  return path;
}

void CliSearchZipOf500Maps(benchmark::State& state) {
  const std::string command = Cli() + " search " + ZipOf500Maps() + " " + kSearchText + " > /dev/null";
  for (auto _ : state) RunShell(state, command);
}

/** Decompressing every map once: what any reader of the archive must do. */
void UnzipAllMaps(benchmark::State& state) {
  const std::string command = "unzip -p " + ZipOf500Maps() + " '*.bsp' > /dev/null";
  for (auto _ : state) RunShell(state, command);
}

void CliSearch1000Maps(benchmark::State& state) {
  const std::string command = Cli() + " search " + FolderOf1000Maps() + " " + kSearchText + " > /dev/null";
  for (auto _ : state) RunShell(state, command);
}

/** Reading every map once and counting the matching lines. */
void GrepCount1000Maps(benchmark::State& state) {
  const std::string command = "grep -c " + std::string(kSearchText) + " " + FolderOf1000Maps() + "/*.bsp > /dev/null";
  for (auto _ : state) RunShell(state, command);
}

void CliEntities1000Maps(benchmark::State& state) {
  const std::string command = Cli() + " entities " + FolderOf1000Maps() + " > /dev/null";
  for (auto _ : state) RunShell(state, command);
}

void CliList1000Maps(benchmark::State& state) {
  const std::string command = Cli() + " list " + FolderOf1000Maps() + " --output-dir " + Folder().File("lists");
  for (auto _ : state) RunShell(state, command);
}

/**
 * search --all, in text and in JSON, against list, on a 100,000-entity map: every
 * entity holds "classname", so 100,001 presses. The three run in turns in each
 * iteration, so that a ratio compares runs made under the same load, and the medians
 * are kept: on a shared virtual machine a core's speed can change by half from one
 * second to the next.
 */
void CliSearchAllAgainstList100000Entities(benchmark::State& state, const kestrum::bench::LumpMap& (*mapOf)()) {
  const std::string map = mapOf().path;
  const std::string search = Cli() + " search " + map + " '\"classname\"' --all";
  const std::string list = Cli() + " list " + map + " " + Folder().File("list100000.txt");
  std::vector<double> listSeconds, textSeconds, jsonSeconds;
  for (auto _ : state) {
    listSeconds.push_back(TimedShell(state, list));
    textSeconds.push_back(TimedShell(state, search + " > /dev/null"));
    jsonSeconds.push_back(TimedShell(state, search + " --json > /dev/null"));
  }
  state.counters["list_ms"] = 1000 * Median(listSeconds);
  state.counters["text_ms"] = 1000 * Median(textSeconds);
  state.counters["json_ms"] = 1000 * Median(jsonSeconds);
}

/**
 * The search itself on three entities of 1 MiB of "a" with a search text that almost
 * matches everywhere ("a" x 100,000 + "b"): the presses of one search through the lump,
 * on a map held in memory, without the process around them.
 */
void SearchAlmostMatching(benchmark::State& state) {
  // Just under the longest entity the stepping reads, so that each is searched whole.
  const std::string value(kestrum::kMaxEntityLength - 64, 'a');
  std::vector<mapgen::Entity> entities{{{{"classname", "worldspawn"}}}};
  for (int n = 0; n < 3; ++n) entities.push_back({{{"message", value}}});
  const std::string lump = mapgen::EntityLump(entities);
  // The lump must begin in the map's last tenth, where a large map is scanned.
  const kestrum::CMemoryBytes map("aaa.bsp", mapgen::BuildMap(lump, 10 * lump.size(), 1000).bytes);
  kestrum::LookBackWindow window{};
  const std::optional<std::int32_t> entityOffset = kestrum::LocateEntityLump(map, window);
  if (!entityOffset) {
    state.SkipWithError("no entities found");
    return;
  }
  const kestrum::CByteSearcher text(std::string(100'000, 'a') + "b");
  kestrum::SearchBuffers buffers;
  kestrum::PairSlots keys;
  kestrum::PairSlots values;
  kestrum::FlagSlots flags;
  for (auto _ : state) {
    kestrum::SearchState search;  // a new text: the press starts at the first entity
    if (kestrum::SearchPress(map, *entityOffset, text, search, buffers, {keys, values, flags})) {
      state.SkipWithError("found a match");
    }
  }
}

BENCHMARK(CliSearchZipOf500Maps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(UnzipAllMaps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CliSearch1000Maps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GrepCount1000Maps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CliEntities1000Maps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CliList1000Maps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(CliSearchAllAgainstList100000Entities, all_flags, &kestrum::bench::MapOf100000Entities)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(5.0);
BENCHMARK_CAPTURE(CliSearchAllAgainstList100000Entities, few_flags, &kestrum::bench::MapOf100000EntitiesWithFewFlags)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(5.0);
BENCHMARK(SearchAlmostMatching)->Unit(benchmark::kMillisecond);

}  // namespace
