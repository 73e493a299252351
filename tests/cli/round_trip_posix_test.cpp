// kestrum-cli import where POSIX has its say: a map reached through a symbolic link, its
// mode bits, JSON Lines through a pipe, and signals in the middle of a write.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "format_map_builder.h"
#include "process.h"
#include "test_files.h"

namespace kestrum {
namespace {

using mapgen::LumpPosition;

const std::string kWorld = "{\n\"classname\" \"worldspawn\"\n}\n";
const std::string kText = kWorld + "{\n\"classname\" \"light\"\n\"light\" \"300\"\n}\n";

mapgen::HeaderKind Quake3() {
  return mapgen::SupportedHeaders()[5];
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(RoundTripPosix, aSymlinkedMapIsReplacedWhereTheLinkPointsWithItsModeAndTheLinkStays) {
  const test::TempDir dir;
  std::filesystem::create_directory(dir.File("real"));
  const std::string original = mapgen::BuildFormatMap(Quake3(), kText + '\0', LumpPosition::Middle).bytes;
  test::WriteFile(dir.File("real/m.bsp"), original);
  ASSERT_EQ(::chmod(dir.File("real/m.bsp").c_str(), 0640), 0);
  std::filesystem::create_symlink("real/m.bsp", dir.File("m.bsp"));
  test::WriteFile(dir.File("w.ent"), kWorld);
  const test::ProcessResult result = test::RunProcess(KESTRUM_CLI_PATH, {"import", "m.bsp", "w.ent"}, dir.Path());
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("m.bsp")));
  EXPECT_EQ(std::filesystem::read_symlink(dir.File("m.bsp")), "real/m.bsp");
  struct stat status {};
  ASSERT_EQ(::stat(dir.File("real/m.bsp").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(test::RunProcess(KESTRUM_CLI_PATH, {"export", "real/m.bsp", "-"}, dir.Path()).out, kWorld);
  EXPECT_EQ(test::ReadFile(dir.File("m.bsp.bak")), original);
  EXPECT_EQ(FolderNames(dir.File("real")), std::vector<std::string>{"m.bsp"});
}

TEST(RoundTripPosix, jsonLinesComeThroughAPipe) {
  const test::TempDir dir;
  const std::string original = mapgen::BuildFormatMap(Quake3(), kText + '\0', LumpPosition::Last).bytes;
  test::WriteFile(dir.File("m.bsp"), original);
  const std::string cli = KESTRUM_CLI_PATH;
  const test::ProcessResult same =
      test::RunProcess("/bin/sh", {"-c", "\"$0\" entities m.bsp | \"$0\" import m.bsp - -o same.bsp", cli}, dir.Path());
  ASSERT_EQ(same.exitCode, 0) << same.err;
  EXPECT_EQ(test::ReadFile(dir.File("same.bsp")), original);
  const test::ProcessResult refused = test::RunProcess(
      "/bin/sh", {"-c", "printf '{\"pairs\": [[\"classname\", \"light\"]]}' | \"$0\" import m.bsp -", cli}, dir.Path());
  EXPECT_EQ(refused.exitCode, 3);
  EXPECT_NE(refused.err.find("kestrum-cli: \"standard input\": the first entity is not the world"), std::string::npos)
      << refused.err;
  EXPECT_EQ(test::ReadFile(dir.File("m.bsp")), original);
}

TEST(RoundTripPosix, aSignalDuringAnImportLeavesTheMapIntactAndNothingBehind) {
  const test::TempDir dir;
  // Large enough that a write in place with its backup takes a while: 16 MB after the
  // last lump, which engines and import leave as they are. The longer lump goes to the end.
  const std::string original = mapgen::BuildFormatMap(Quake3(), kText + '\0', LumpPosition::First).bytes +
                               std::string(std::size_t{16} << 20, '\x55');
  test::WriteFile(dir.File("m.bsp"), original);
  test::WriteFile(dir.File("long.ent"), kText + kText.substr(kWorld.size()));
  const std::string cli = KESTRUM_CLI_PATH;
  // What the map becomes when the import completes: a signal after the replace finds it so.
  ASSERT_EQ(test::RunProcess(cli, {"import", "m.bsp", "long.ent", "-o", "updated.bsp"}, dir.Path()).exitCode, 0);
  const std::string updated = test::ReadFile(dir.File("updated.bsp"));
  std::filesystem::remove(dir.File("updated.bsp"));
  int interrupted = 0;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    for (const int delayMs : {2, 10, 30, 60, 120}) {
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY);
        if (quiet < 0 || ::dup2(quiet, STDOUT_FILENO) < 0 || ::chdir(dir.Path().c_str()) != 0) ::_exit(126);
        ::execl(cli.c_str(), cli.c_str(), "import", "m.bsp", "long.ent", static_cast<char*>(nullptr));
        ::_exit(127);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      ::kill(child, signal);
      int status = 0;
      ::waitpid(child, &status, 0);
      const std::string map = test::ReadFile(dir.File("m.bsp"));
      const std::string when = "signal " + std::to_string(signal) + " after " + std::to_string(delayMs) + " ms";
      // Compared, not printed: the maps are 16 MB.
      EXPECT_TRUE(map == original || map == updated) << when << ": the map is neither the old one nor the new one";
      if (WIFSIGNALED(status) && map == original) ++interrupted;
      if (!WIFSIGNALED(status)) {
        EXPECT_EQ(WEXITSTATUS(status), 0) << when;
      }
      // A backup, when the signal came after it was complete, is the whole old map.
      if (test::FileExists(dir.File("m.bsp.bak"))) {
        EXPECT_TRUE(test::ReadFile(dir.File("m.bsp.bak")) == original) << when << ": a partial backup";
      }
      std::vector<std::string> names = FolderNames(dir.Path());
      names.erase(std::remove(names.begin(), names.end(), "m.bsp.bak"), names.end());
      EXPECT_EQ(names, (std::vector<std::string>{"long.ent", "m.bsp"})) << when;
      test::WriteFile(dir.File("m.bsp"), original);
      std::filesystem::remove(dir.File("m.bsp.bak"));
    }
  }
  EXPECT_GT(interrupted, 0) << "no signal came while an import ran";
}

}  // namespace
}  // namespace kestrum
