// The memory a run may take, whatever its maps claim or print: peak resident sizes of
// kestrum-cli, measured by the system.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

#include "map_builder.h"
#include "process.h"
#include "test_files.h"

namespace kestrum {
namespace {

constexpr long kMiB = 1024;  // ru_maxrss counts kilobytes

/** Runs a shell command line; returns the largest peak resident size of what it ran, in KiB. */
long PeakOfChildren(const std::string& commandLine, const std::string& folder) {
  const test::ProcessResult result = test::RunProcess("/bin/sh", {"-c", commandLine}, folder);
  EXPECT_EQ(result.exitCode, 0) << commandLine << "\n" << result.err;
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_maxrss;
}

TEST(Memory, aLongSearchOfTheSecondMapPrintsAsItGoesInsteadOfWaiting) {
  const test::TempDir dir;
  const std::string map = mapgen::BuildMap(mapgen::EntityLump(mapgen::DemoEntities()), 100, 100).bytes;
  test::WriteFile(dir.File("a.bsp"), map);
  test::WriteFile(dir.File("b.bsp"), map);
  // Each map's 150,000 presses print about 200 MB of JSON: the second map's would wait
  // for the first's in memory.
  const long peak = PeakOfChildren(
      std::string("'") + KESTRUM_CLI_PATH + "' search a.bsp b.bsp light -n 150000 --json > /dev/null", dir.Path());
  EXPECT_LE(peak, 100 * kMiB);
}

TEST(Memory, entitiesReadsTheLumpNotTheMapBehindIt) {
  const test::TempDir dir;
  const std::string path = dir.File("sparse.bsp");
  test::WriteFile(path, "IBSP{\n\"classname\" \"worldspawn\"\n}\n");
  // 2000 MB, nearly all of it a hole in the file: it costs no disk.
  std::filesystem::resize_file(std::filesystem::u8path(path), std::uintmax_t{2000} << 20);
  const long peak =
      PeakOfChildren(std::string("'") + KESTRUM_CLI_PATH + "' entities sparse.bsp > /dev/null", dir.Path());
  EXPECT_LE(peak, 256 * kMiB);
}

}  // namespace
}  // namespace kestrum
