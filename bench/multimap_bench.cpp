// kestrum-cli over many maps, timed as a script runs it (a process, output to
// /dev/null), against the tools a script would otherwise use: unzip and grep.
#include <benchmark/benchmark.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "archive_builder.h"
#include "bench_support.h"
#include "entity_window.h"
#include "headless_dialog.h"
#include "map_builder.h"
#include "test_files.h"

namespace {

using kestrum::bench::Folder;
namespace mapgen = kestrum::mapgen;

constexpr const char* kSearchText = "monster_dog";

/** Runs a shell command; its exit status must be one of those expected. */
void RunShell(benchmark::State& state, const std::string& command, std::initializer_list<int> expected = {0}) {
  const int status = std::system(command.c_str());
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  for (const int ok : expected) {
    if (code == ok) return;
  }
  state.SkipWithError(("exit status " + std::to_string(code) + ": " + command).c_str());
}

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

/** Every entity holds "classname": one press per entity, 100,000 presses. */
void CliSearchAll100000Entities(benchmark::State& state, const std::string& format) {
  const std::string command = Cli() + " search " + kestrum::bench::MapOf100000Entities().path +
                              " '\"classname\"' --all" + format + " > /dev/null";
  for (auto _ : state) RunShell(state, command);
}

void CliList100000Entities(benchmark::State& state) {
  const std::string command =
      Cli() + " list " + kestrum::bench::MapOf100000Entities().path + " " + Folder().File("list100000.txt");
  for (auto _ : state) RunShell(state, command);
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
  auto bytes = kestrum::BytesInMemory(mapgen::BuildMap(lump, 10 * lump.size(), 1000).bytes);
  kestrum::CHeadlessDialog session;
  session.services.logEvents = false;
  session.dialog.HoldMap({"aaa.bsp", bytes});
  if (session.Open("aaa.bsp") != kestrum::CommandOutcome::Done) state.SkipWithError("no entities found");
  const std::string text = std::string(100'000, 'a') + "b";
  for (auto _ : state) {
    if (session.Search(text) != kestrum::CommandOutcome::NothingFound) state.SkipWithError("found a match");
  }
}

BENCHMARK(CliSearchZipOf500Maps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(UnzipAllMaps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CliSearch1000Maps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GrepCount1000Maps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CliEntities1000Maps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CliList1000Maps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(CliSearchAll100000Entities, text, "")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(CliSearchAll100000Entities, json, " --json")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CliList100000Entities)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SearchAlmostMatching)->Unit(benchmark::kMillisecond);

}  // namespace
