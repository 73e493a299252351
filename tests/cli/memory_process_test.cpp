// The memory a run may take, whatever its maps claim or print: peak resident sizes of
// kestrum-cli, measured by the system.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

#include "archive_builder.h"
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

#ifdef KESTRUM_WITH_ZIP
TEST(Memory, anArchiveMemberTakesBoundedMemoryWhateverItUnpacksTo) {
  const test::TempDir dir;
  // Three members of 260 MiB of zeros each, about a megabyte on disk.
  test::WriteZipOfZeros(dir.File("bomb.pk3"), {"maps/a.bsp", "maps/b.bsp", "maps/c.bsp"}, std::uint64_t{260} << 20);
  const std::string cli = std::string("'") + KESTRUM_CLI_PATH + "'";
  EXPECT_LE(PeakOfChildren(cli + " locate bomb.pk3:maps/a.bsp > /dev/null; test $? = 1", dir.Path()), 256 * kMiB);
  EXPECT_LE(PeakOfChildren(cli + " locate bomb.pk3 > /dev/null; test $? = 1", dir.Path()), 384 * kMiB);
}

TEST(Memory, anArchiveMemberTakesNothingForTheSizeItsDirectoryClaims) {
  const test::TempDir dir;
  // A small member whose directory claims just under 2 GiB.
  test::WriteZip(dir.File("claims.pk3"), {{"maps/small.bsp", "a small map"}}, true);
  test::ClaimZipMemberSize(dir.File("claims.pk3"), 0x7FFFFFFF);
  const std::string cli = std::string("'") + KESTRUM_CLI_PATH + "'";
  EXPECT_LE(PeakOfChildren(cli + " locate claims.pk3 2> /dev/null; test $? = 3", dir.Path()), 64 * kMiB);
}
#endif

}  // namespace
}  // namespace kestrum
