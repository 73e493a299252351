// kestrum-cli run as a process, on maps laid out like compiled ones.
#include <gtest/gtest.h>

#include <filesystem>

#include "map_builder.h"
#include "process.h"
#include "system_facts.h"
#include "test_files.h"

namespace kestrum {
namespace {

using test::ProcessResult;
using test::RunProcess;

class CliProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_entities = mapgen::DemoEntities();
    m_map = mapgen::BuildMap(mapgen::EntityLump(m_entities), 1'100'000, 20'000, 99);
    ASSERT_GT(m_map.bytes.size(), 1'000'000u);
    test::WriteFile(m_bspPath, m_map.bytes);
  }

  ProcessResult Run(const std::vector<std::string>& args) { return RunProcess(KESTRUM_CLI_PATH, args, m_dir.Path()); }

  std::string ExpectedList() const {
    std::string list;
    for (const mapgen::Entity& entity : m_entities) list += mapgen::EntityText(entity) + "\r\n\r\n";
    return list;
  }

  test::TempDir m_dir;
  const std::string m_bspPath = m_dir.File("e1m1.bsp");
  std::vector<mapgen::Entity> m_entities;
  mapgen::BuiltMap m_map;
};

TEST_F(CliProcessTest, locatePrintsTheFirstEntitysOffset) {
  const ProcessResult result = Run({"locate", m_bspPath});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, std::to_string(m_map.lumpOffset) + "\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(CliProcessTest, locateWithoutEntitiesPrintsZeroAndTheMessage) {
  // A large file whose lump has lost its key: the last tenth and then the whole file are scanned.
  std::string lump = mapgen::EntityLump(m_entities);
  lump.replace(lump.find("worldspawn"), 10, "worldSpawn");
  test::WriteFile(m_bspPath, mapgen::BuildMap(lump, 1000, 1'200'000).bytes);
  const ProcessResult result = Run({"locate", m_bspPath});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "0\n");
  EXPECT_EQ(result.err, "kestrum-cli: There is no entities available in this file\n");
}

TEST_F(CliProcessTest, unreadableMapsExitWithThreeAndTheReason) {
  const std::string missing = m_dir.File("missing.bsp");
  // A path that starts with a slash is a path on every system, never an option.
  const std::string slashed = "/no-such-folder/missing.bsp";
  for (const auto& args : std::vector<std::vector<std::string>>{{"locate", missing},
                                                                {"list", missing, "out.txt"},
                                                                {"search", missing, "x"},
                                                                {"entities", missing},
                                                                {"locate", slashed}}) {
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitCode, 3) << args[0];
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("Cannot open \"" + args[1] + "\""), std::string::npos) << result.err;
  }
}

TEST_F(CliProcessTest, listWritesTheSameBytesAsTheDialog) {
  const std::string out = m_dir.File("entities.txt");
  const ProcessResult result = Run({"list", m_bspPath, out});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(test::ReadFile(out), ExpectedList());
}

TEST_F(CliProcessTest, aListWrittenToDevStderrArrivesOnStandardError) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no /dev/stderr";
#endif
  const ProcessResult result = Run({"list", m_bspPath, "/dev/stderr"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, ExpectedList());
  EXPECT_EQ(result.out, "");
}

TEST_F(CliProcessTest, pathsOutsideTheAnsiCodePageArriveWhole) {
  // Accented Latin, Cyrillic and Chinese: no single-byte code page holds them all.
  const std::string map =
      m_dir.File("\xc3\xa9t\xc3\xa9-\xd0\xba\xd0\xb0\xd1\x80\xd1\x82\xd0\xb0-\xe5\x9c\xb0\xe5\x9b\xbe.bsp");
  const std::string out = m_dir.File("\xc3\xa9t\xc3\xa9.txt");
  test::WriteFile(map, m_map.bytes);
  const ProcessResult result = Run({"list", map, out});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(test::ReadFile(out), ExpectedList());
}

TEST_F(CliProcessTest, listWithoutOutWritesTheDefaultNameInTheCurrentFolder) {
  test::TempDir elsewhere;
  const ProcessResult result = RunProcess(KESTRUM_CLI_PATH, {"list", m_bspPath}, elsewhere.Path());
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(test::ReadFile(elsewhere.File("e1m1.txt")), ExpectedList());
}

TEST_F(CliProcessTest, listOnAFullDiskExitsWithThree) {
  const std::string full = test::FullDevice();
  if (full.empty()) GTEST_SKIP() << "no device here is always full; the core's fault injection tests fill the disk";
  const ProcessResult result = Run({"list", m_bspPath, full});
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_NE(result.err.find("\"" + full + "\": " + test::Reasons().diskFull), std::string::npos) << result.err;
}

TEST_F(CliProcessTest, searchPrintsEachFoundEntityWithItsFlags) {
  const ProcessResult result = Run({"search", m_bspPath, "monster_dog"});
  EXPECT_EQ(result.exitCode, 0);
  const std::string lump = mapgen::EntityLump(m_entities);
  const auto entityOffset = m_map.lumpOffset + static_cast<std::int32_t>(lump.find("{\n\"classname\" \"monster_dog\""));
  EXPECT_EQ(result.out, "press 1: entity at offset " + std::to_string(entityOffset) +
                            "\n"
                            "  \"classname\" \"monster_dog\"\n"
                            "  \"origin\" \"192 512 24\"\n"
                            "  \"spawnflags\" \"768\"\n"
                            "  \"targetname\" \"t2\"\n"
                            "  flags: 256 (Easy), 512 (Medium)\n");
}

TEST_F(CliProcessTest, searchWritesOneJsonLinePerPress) {
  const std::string lump = mapgen::EntityLump(m_entities);
  const std::string teleport = "{\n\"classname\" \"info_teleport_destination\"";
  const auto second = m_map.lumpOffset + static_cast<std::int32_t>(lump.find(teleport));
  const std::string afterFirst = std::to_string(second);
  const std::string afterSecond =
      std::to_string(second + static_cast<std::int32_t>(lump.find('}', lump.find(teleport)) - lump.find(teleport)) + 2);

  const ProcessResult result = Run({"search", m_bspPath, "teleport", "--presses", "4", "--json"});
  EXPECT_EQ(result.exitCode, 0);
  const std::string empty30 = "[" + [] {
    std::string slots;
    for (int n = 0; n < 30; ++n) slots += n ? ", \"\"" : "\"\"";
    return slots;
  }() + "]";
  const std::string empty12 = R"(["", "", "", "", "", "", "", "", "", "", "", ""])";
  auto pairs = [](std::vector<std::string> shown) {
    shown.resize(30);
    std::string json = "[";
    for (std::size_t n = 0; n < shown.size(); ++n) json += (n ? ", \"" : "\"") + shown[n] + "\"";
    return json + "]";
  };
  const std::string line1 = "{\"press\": 1, \"matchCount\": 1, \"cursor\": " + afterFirst +
                            ", \"keys\": " + pairs({"classname", "target", "model"}) +
                            ", \"values\": " + pairs({"trigger_teleport", "dest1", "*6"}) + ", \"flags\": " + empty12 +
                            "}\n";
  const std::string line2 = "{\"press\": 2, \"matchCount\": 2, \"cursor\": " + afterSecond +
                            ", \"keys\": " + pairs({"classname", "targetname", "origin", "angle"}) +
                            ", \"values\": " + pairs({"info_teleport_destination", "dest1", "640 640 40", "270"}) +
                            ", \"flags\": " + empty12 + "}\n";
  const std::string line3 = "{\"press\": 3, \"matchCount\": 2, \"cursor\": " + std::to_string(m_map.lumpOffset) +
                            ", \"keys\": " + empty30 + ", \"values\": " + empty30 + ", \"flags\": " + empty12 + "}\n";
  const std::string line4 =
      "{\"press\": 4, \"matchCount\": 3, \"cursor\": " + afterFirst + line1.substr(line1.find(", \"keys\""));
  EXPECT_EQ(result.out, line1 + line2 + line3 + line4);
}

TEST_F(CliProcessTest, searchAllGoesOnceThroughTheLump) {
  const ProcessResult result = Run({"search", m_bspPath, "\"light\"", "--all", "--json"});
  EXPECT_EQ(result.exitCode, 0);
  int lines = 0;
  for (const char c : result.out) lines += c == '\n';
  EXPECT_EQ(lines, 13);  // twelve lights, then the press that reaches the end
  EXPECT_NE(result.out.find("{\"press\": 13, \"matchCount\": 12, "), std::string::npos);
}

TEST_F(CliProcessTest, searchWithoutAMatchExitsWithOne) {
  const ProcessResult result = Run({"search", m_bspPath, "no such thing", "--all"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "kestrum-cli: no entity contains \"no such thing\"\n");
}

TEST_F(CliProcessTest, usageErrorsExitWithTwoAndHelpWithZero) {
  EXPECT_EQ(Run({}).exitCode, 2);
  EXPECT_EQ(Run({"search", m_bspPath}).exitCode, 2);
  EXPECT_EQ(Run({"search", m_bspPath, "x", "--all", "--presses", "2"}).exitCode, 2);
  const ProcessResult noPresses = Run({"search", m_bspPath, "x", "--presses", "0"});
  EXPECT_EQ(noPresses.exitCode, 2);
  EXPECT_EQ(noPresses.err, "kestrum-cli: --presses must be at least 1\n");
  EXPECT_EQ(Run({"explode"}).exitCode, 2);
  const ProcessResult help = Run({"list", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: kestrum-cli list"), std::string::npos) << help.out;
  const ProcessResult version = Run({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "Kestrum version 1.0\n");
}

TEST_F(CliProcessTest, helpExplainsInputsWhereACommandTakesThem) {
  const std::string inputs = "Each INPUT is a map file, a folder";
  for (const char* command : {"locate", "list", "search", "entities"}) {
    const ProcessResult help = Run({command, "--help"});
    EXPECT_NE(help.out.find(inputs), std::string::npos) << command << ": " << help.out;
  }
  const ProcessResult flags = Run({"flags", "--help"});
  EXPECT_EQ(flags.exitCode, 0);
  EXPECT_NE(flags.out.find("Usage: kestrum-cli flags"), std::string::npos) << flags.out;
  EXPECT_EQ(flags.out.find("INPUT"), std::string::npos) << flags.out;
  EXPECT_EQ(flags.out.find("archive"), std::string::npos) << flags.out;
#ifdef KESTRUM_WITH_ZIP
  // A build that reads zip archives says nothing against them.
  const ProcessResult help = Run({"--help"});
  EXPECT_NE(help.out.find(inputs), std::string::npos) << help.out;
  EXPECT_EQ(help.out.find("reads no zip"), std::string::npos) << help.out;
#endif
}

TEST_F(CliProcessTest, aPipeWhoseReaderHasGoneEndsTheRunWithoutAWord) {
  // Enough maps that the output outlasts any buffer between the program and the pipe.
  std::filesystem::create_directories(std::filesystem::u8path(m_dir.File("many")));
  for (int n = 0; n < 400; ++n) test::WriteFile(m_dir.File("many/m" + std::to_string(n) + ".bsp"), m_map.bytes);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"locate", "many"}, {"search", "many", "light", "--all"}, {"flags", "4095"}}) {
    const ProcessResult result = RunProcess(KESTRUM_CLI_PATH, args, m_dir.Path(), test::StandardOutput::ClosedPipe);
    EXPECT_EQ(result.err, "") << args[0];
#ifdef _WIN32
    EXPECT_EQ(result.exitCode, 3) << args[0];
#else
    EXPECT_NE(result.exitCode, 0) << args[0];  // ended by SIGPIPE
#endif
  }
}

TEST_F(CliProcessTest, flagsShowsTheFilledSlots) {
  const ProcessResult result = Run({"flags", "  778junk"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "slot 2 (Spawnflags): 2\nslot 4 (Spawnflags): 8\nslot 10 (Easy): 256\nslot 11 (Medium): 512\n");
  EXPECT_EQ(Run({"flags", "-5"}).out, "");
  EXPECT_EQ(Run({"flags", "9999999999999999999999999999999999999999"}).out.size(), Run({"flags", "4095"}).out.size());
}

TEST_F(CliProcessTest, flagLabelsNameEverySlotAsTheDialogDoes) {
  const ProcessResult all = Run({"flags", "4095"});
  EXPECT_EQ(all.out,
            "slot 1 (Spawnflags): 1\nslot 2 (Spawnflags): 2\nslot 3 (Spawnflags): 4\nslot 4 (Spawnflags): 8\n"
            "slot 5 (Spawnflags): 16\nslot 6 (Spawnflags): 32\nslot 7 (Spawnflags): 64\nslot 8 (Spawnflags): 128\n"
            "slot 9 (Spawnflags): 2048\nslot 10 (Easy): 256\nslot 11 (Medium): 512\nslot 12 (Difficult): 1024\n");
  EXPECT_EQ(Run({"flags", "4096"}).out, "");  // bit 12 has no box
  EXPECT_EQ(Run({"flags", "6145"}).out, "slot 1 (Spawnflags): 1\nslot 9 (Spawnflags): 2048\n");

  // The search's text output names the difficulty flags, and 2048 stays a plain flag.
  const ProcessResult knight = Run({"search", m_bspPath, "monster_knight"});
  EXPECT_NE(knight.out.find("  flags: 1, 512 (Medium), 1024 (Difficult)\n"), std::string::npos) << knight.out;
  const ProcessResult ogre = Run({"search", m_bspPath, "monster_ogre"});
  EXPECT_NE(ogre.out.find("  flags: 2048\n"), std::string::npos) << ogre.out;
}

TEST_F(CliProcessTest, searchJsonWithoutAMatchPrintsEveryPressAndExitsWithOne) {
  const ProcessResult result = Run({"search", m_bspPath, "no such thing", "--presses", "2", "--json"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "");  // the JSON says it: every press has matchCount 0
  const std::string cursor = std::to_string(m_map.lumpOffset);
  const std::string empty30 = "[" + [] {
    std::string slots;
    for (int n = 0; n < 30; ++n) slots += n ? ", \"\"" : "\"\"";
    return slots;
  }() + "]";
  std::string empty12 = "[\"\"";
  for (int n = 1; n < 12; ++n) empty12 += ", \"\"";
  empty12 += "]";
  std::string expected;
  for (int press = 1; press <= 2; ++press) {
    expected += "{\"press\": " + std::to_string(press) + ", \"matchCount\": 0, \"cursor\": " + cursor +
                ", \"keys\": " + empty30 + ", \"values\": " + empty30 + ", \"flags\": " + empty12 + "}\n";
  }
  EXPECT_EQ(result.out, expected);
}

TEST(SampleMap, isWhatTheGeneratorMakes) {
  EXPECT_EQ(test::ReadFile(KESTRUM_SOURCE_DIR "/samples/demo.bsp"), mapgen::DemoMap().bytes);
}

TEST(SampleMap, theGeneratorAnswersHelpAndWritesNoMapUnderAnOptionsName) {
  const test::TempDir dir;
  for (const char* help : {"--help", "-h"}) {
    const test::ProcessResult result = test::RunProcess(KESTRUM_MAPGEN_PATH, {help}, dir.Path());
    EXPECT_EQ(result.exitCode, 0) << help;
    EXPECT_NE(result.out.find("Usage: "), std::string::npos) << help;
  }
  for (const char* option : {"-x", "--version", "-"}) {
    const test::ProcessResult result = test::RunProcess(KESTRUM_MAPGEN_PATH, {option}, dir.Path());
    EXPECT_EQ(result.exitCode, 2) << option;
    EXPECT_NE(result.err.find("Usage: "), std::string::npos) << option;
  }
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::u8path(dir.Path())));
  ASSERT_EQ(test::RunProcess(KESTRUM_MAPGEN_PATH, {"demo.bsp"}, dir.Path()).exitCode, 0);
  EXPECT_EQ(test::ReadFile(dir.File("demo.bsp")), mapgen::DemoMap().bytes);
}

}  // namespace
}  // namespace kestrum
