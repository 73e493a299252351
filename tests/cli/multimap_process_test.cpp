// kestrum-cli on many maps at once: folders, zip and PACK archives, ARCHIVE:MEMBER, the
// entities command, and what scripts rely on (ordering, exit status, checked output).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "archive_builder.h"
#include "map_builder.h"
#include "process.h"
#include "system_facts.h"
#include "test_files.h"

namespace kestrum {
namespace {

using test::ProcessResult;

/** Every occurrence of from replaced by to. */
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

class MultiMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Three maps of different shapes: small, large (scanned in its last tenth), and one
    // laid out with CR LF.
    const mapgen::BuiltMap dm3 =
        mapgen::BuildMap(Replaced(mapgen::EntityLump(mapgen::DemoEntities()), "\"\n", "\"\r\n"), 100, 100, 3);
    m_dm3LumpOffset = dm3.lumpOffset;
    m_maps = {
        {"maps/e1m1.bsp", mapgen::BuildMap(mapgen::EntityLump(mapgen::DemoEntities()), 3000, 500, 1).bytes},
        {"maps/e1m2.bsp", mapgen::BuildMap(mapgen::EntityLump(mapgen::DemoEntities()), 1'100'000, 9000, 2).bytes},
        {"maps/dm3.bsp", dm3.bytes},
        {"progs.dat", "not a map"},
    };
    for (const auto& [name, bytes] : m_maps) {
      std::filesystem::create_directories(std::filesystem::path(m_dir.File("extracted/" + name)).parent_path());
      test::WriteFile(m_dir.File("extracted/" + name), bytes);
    }
    test::WriteFile(m_dir.File("pak0.pak"), test::PakBytes(m_maps));
  }

  ProcessResult Run(const std::vector<std::string>& args) {
    return test::RunProcess(KESTRUM_CLI_PATH, args, m_dir.Path());
  }

  /** The same command on the extracted file and on the member gives the same bytes. */
  void ExpectSameAsExtracted(const std::string& archive, const std::string& member,
                             const std::vector<std::string>& command) {
    std::vector<std::string> onFile = command;
    std::vector<std::string> onMember = command;
    onFile.insert(onFile.begin() + 1, "extracted/" + member);
    onMember.insert(onMember.begin() + 1, archive + ":" + member);
    const ProcessResult fromFile = Run(onFile);
    const ProcessResult fromMember = Run(onMember);
    EXPECT_EQ(fromMember.exitCode, fromFile.exitCode) << command[0] << " " << member;
    EXPECT_EQ(Replaced(fromMember.out, archive + ":", "extracted/"), fromFile.out) << command[0] << " " << member;
    EXPECT_EQ(Replaced(fromMember.err, archive + ":", "extracted/"), fromFile.err) << command[0] << " " << member;
    EXPECT_FALSE(fromFile.out.empty() && command[0] != "list");
  }

  void ExpectArchiveGivesTheExtractedResults(const std::string& archive) {
    for (const char* member : {"maps/e1m1.bsp", "maps/e1m2.bsp", "maps/dm3.bsp"}) {
      ExpectSameAsExtracted(archive, member, {"locate"});
      ExpectSameAsExtracted(archive, member, {"search", "light", "--all", "--json"});
      ExpectSameAsExtracted(archive, member, {"search", "monster_", "--presses", "3"});
      ExpectSameAsExtracted(archive, member, {"entities"});
      ExpectSameAsExtracted(archive, member, {"list", "out.txt"});
      const std::string fromMember = test::ReadFile(m_dir.File("out.txt"));
      ExpectSameAsExtracted(archive, member, {"list", "-"});
      EXPECT_EQ(Run({"list", "extracted/" + std::string(member), "-"}).out, fromMember);
    }
  }

  test::TempDir m_dir;
  test::ArchiveContents m_maps;
  std::int32_t m_dm3LumpOffset = 0;
};

TEST_F(MultiMapTest, mapsInAPakFileGiveByteForByteTheResultsOfTheExtractedFiles) {
  ExpectArchiveGivesTheExtractedResults("pak0.pak");
}

#ifdef KESTRUM_WITH_ZIP
TEST_F(MultiMapTest, mapsInAZipArchiveGiveByteForByteTheResultsOfTheExtractedFiles) {
  test::WriteZip(m_dir.File("pak0.pk3"), m_maps);
  ExpectArchiveGivesTheExtractedResults("pak0.pk3");
}
#endif

TEST_F(MultiMapTest, severalMapsArePrefixedWithTheirNamesInInputOrder) {
  const ProcessResult located = Run({"locate", "pak0.pak", "extracted/maps/e1m1.bsp", "extracted"});
  EXPECT_EQ(located.exitCode, 0) << located.err;
  std::vector<std::string> names;
  for (std::size_t line = 0; line < located.out.size(); line = located.out.find('\n', line) + 1) {
    names.push_back(located.out.substr(line, located.out.find(": ", line) - line));
  }
  EXPECT_EQ(names, (std::vector<std::string>{
                       "pak0.pak:maps/dm3.bsp", "pak0.pak:maps/e1m1.bsp", "pak0.pak:maps/e1m2.bsp",
                       "extracted/maps/e1m1.bsp", test::NativePath("extracted/maps/dm3.bsp"),
                       test::NativePath("extracted/maps/e1m1.bsp"), test::NativePath("extracted/maps/e1m2.bsp")}));

  const ProcessResult found = Run({"search", "pak0.pak:maps/e1m1.bsp", "extracted/maps/dm3.bsp", "monster_dog"});
  EXPECT_EQ(found.out.rfind("pak0.pak:maps/e1m1.bsp: press 1: entity at offset ", 0), 0u) << found.out;
  EXPECT_NE(found.out.find("\nextracted/maps/dm3.bsp:   \"classname\" \"monster_dog\"\n"), std::string::npos);
  const ProcessResult json = Run({"search", "pak0.pak:maps/e1m1.bsp", "extracted/maps/dm3.bsp", "dog", "--json"});
  EXPECT_EQ(json.out.rfind("{\"map\": \"pak0.pak:maps/e1m1.bsp\", \"press\": 1, ", 0), 0u) << json.out;
  EXPECT_NE(json.out.find("\n{\"map\": \"extracted/maps/dm3.bsp\", \"press\": 1, "), std::string::npos);
}

TEST_F(MultiMapTest, anArchiveWithoutMapsIsNamedOnceAndAListThatFailsAfterItsMap) {
  std::vector<std::string> noMaps{"small.pak"};
  test::WriteFile(m_dir.File("small.pak"), test::PakBytes({{"progs.dat", "not a map"}}));
#ifdef KESTRUM_WITH_ZIP
  noMaps.push_back("small.pk3");
  test::WriteZip(m_dir.File("small.pk3"), {{"progs.dat", "not a map"}});
#endif
  for (const std::string& archive : noMaps) {
    const ProcessResult result = Run({"locate", archive, "extracted/maps/dm3.bsp"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "kestrum-cli: " + archive + ": no maps (*.bsp) in this archive\n");
  }
  // A list that cannot be written is named by its own path: the map's name comes first.
  std::filesystem::create_directories(std::filesystem::u8path(m_dir.File("lists/dm3.txt")));
  const ProcessResult list =
      Run({"list", "extracted/maps/dm3.bsp", "extracted/maps/e1m1.bsp", "--output-dir", "lists"});
  EXPECT_EQ(list.exitCode, 3);
  EXPECT_EQ(list.err.rfind("kestrum-cli: extracted/maps/dm3.bsp: ", 0), 0u) << list.err;
}

TEST_F(MultiMapTest, aSlowMapsResultsStillComeBeforeThoseOfTheQuickMapsAfterIt) {
  std::vector<mapgen::Entity> entities(20'000, mapgen::Entity{{{"classname", "light"}}});
  entities[0] = mapgen::Entity{{{"classname", "worldspawn"}}};
  test::WriteFile(m_dir.File("slow.bsp"), mapgen::BuildMap(mapgen::EntityLump(entities), 100, 100).bytes);
  const ProcessResult result =
      Run({"search", "slow.bsp", "extracted/maps/dm3.bsp", "extracted/maps/e1m1.bsp", "light", "--all"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  std::vector<std::string> order;  // each map's name once, as its lines begin
  for (std::size_t line = 0; line < result.out.size(); line = result.out.find('\n', line) + 1) {
    const std::string name = result.out.substr(line, result.out.find(": ", line) - line);
    if (order.empty() || order.back() != name) order.push_back(name);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"slow.bsp", "extracted/maps/dm3.bsp", "extracted/maps/e1m1.bsp"}));
}

TEST_F(MultiMapTest, aMapNameWithControlCharactersIsEscapedWhereItPrefixesALine) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows file names hold no control characters";
#endif
  test::WriteFile(m_dir.File("new\nline.bsp"), m_maps[0].second);
  const ProcessResult result = Run({"locate", "new\nline.bsp", "missing\t.bsp"});
  EXPECT_EQ(result.out.rfind("new\\nline.bsp: ", 0), 0u) << result.out;
  EXPECT_EQ(result.err.rfind("kestrum-cli: missing\\t.bsp: ", 0), 0u) << result.err;
}

#ifndef _WIN32
TEST_F(MultiMapTest, anUnreadableFolderIsNamedAndTheMapsOfTheOthersAreRead) {
  namespace fs = std::filesystem;
  const std::string map = test::ReadFile(m_dir.File("extracted/maps/dm3.bsp"));
  for (const char* name : {"perm/a/1.bsp", "perm/locked/x.bsp", "perm/z/2.bsp"}) {
    fs::create_directories(fs::path(m_dir.File(name)).parent_path());
    test::WriteFile(m_dir.File(name), map);
  }
  // The folder holds nothing anyone may read. Root reads it all the same, so a run as
  // root becomes an ordinary user for the program; it runs from a copy that user may reach.
  const std::string program = m_dir.File("kestrum-cli");
  fs::copy_file(KESTRUM_CLI_PATH, program);
  for (const std::string& path : {m_dir.Path(), m_dir.File("perm"), m_dir.File("perm/a"), m_dir.File("perm/z")}) {
    ::chmod(path.c_str(), 0755);
  }
  for (const std::string& path : {program, m_dir.File("perm/a/1.bsp"), m_dir.File("perm/z/2.bsp")}) {
    ::chmod(path.c_str(), 0755);
  }
  ::chmod(m_dir.File("perm/locked").c_str(), 0);
  const bool root = ::geteuid() == 0;
  const test::ProcessResult result =
      root ? test::RunProcess("/usr/bin/setpriv",
                              {"--reuid=65534", "--regid=65534", "--clear-groups", program, "locate", "perm"},
                              m_dir.Path())
           : Run({"locate", "perm"});
  ::chmod(m_dir.File("perm/locked").c_str(), 0755);  // so that the folder can be removed
  EXPECT_EQ(result.exitCode, 3);
  const std::string offset = std::to_string(m_dm3LumpOffset);
  EXPECT_EQ(result.out, "perm/a/1.bsp: " + offset + "\nperm/z/2.bsp: " + offset + "\n");
  EXPECT_EQ(result.err, "kestrum-cli: perm/locked: cannot read the folder: Permission denied\n");
}
#endif

TEST_F(MultiMapTest, oneMapAndAFolderPutTheListInTheFolder) {
  std::filesystem::create_directories(m_dir.File("out"));
  for (const auto& [input, list] : std::vector<std::pair<std::string, std::string>>{
           {"extracted/maps/e1m1.bsp", "out/e1m1.txt"}, {"pak0.pak:maps/dm3.bsp", "out/dm3.txt"}}) {
    const ProcessResult result = Run({"list", input, "out"});
    EXPECT_EQ(result.exitCode, 0) << input << ": " << result.err;
    EXPECT_EQ(test::ReadFile(m_dir.File(list)), Run({"list", input, "-"}).out) << input;
  }
  // A folder of maps and a folder: both are read, as ever.
  const ProcessResult folders = Run({"list", "extracted", "out", "--output-dir", "lists"});
  EXPECT_NE(folders.err.find("kestrum-cli: out: no maps (*.bsp) in this folder or below it"), std::string::npos)
      << folders.err;
}

TEST_F(MultiMapTest, aMembersNameCannotDriveTheTerminalFromInsideAMessage) {
  const std::string name = "maps/\x1b[2J\x1b[31mfake\nkestrum-cli: all good.bsp";
  std::string pak = test::PakBytes({{name, "map"}});
  pak[pak.size() - 64 + 61] = '\x7f';  // the member runs past the archive's end
  test::WriteFile(m_dir.File("evil.pak"), pak);
  for (const std::vector<std::string>& inputs :
       {std::vector<std::string>{"evil.pak"}, std::vector<std::string>{"evil.pak", "extracted/maps/dm3.bsp"}}) {
    std::vector<std::string> command{"locate"};
    command.insert(command.end(), inputs.begin(), inputs.end());
    const ProcessResult result = Run(command);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find("maps/\\x1b[2J\\x1b[31mfake\\nkestrum-cli: all good.bsp"), std::string::npos)
        << result.err;
  }
}

TEST_F(MultiMapTest, aBadInputIsReportedInItsPlaceOnceNamedAndTheOthersStillRun) {
  test::WriteFile(m_dir.File("broken.pak"), "PACK\x7f\x7f");
  // A missing archive is a missing file, whether or not this build reads its kind.
  const ProcessResult result = Run({"search", "extracted/maps/e1m1.bsp", "missing.bsp", "gone.pk3", "broken.pak",
                                    "pak0.pak:maps/none.bsp", "extracted/maps/dm3.bsp", "monster_dog"});
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.err,
            "kestrum-cli: missing.bsp: Cannot open \"missing.bsp\": " + test::Reasons().noSuchFile +
                "\n"
                "kestrum-cli: gone.pk3: Cannot open \"gone.pk3\": " +
                test::Reasons().noSuchFile +
                "\n"
                "kestrum-cli: broken.pak: damaged PACK archive: the file is 6 bytes long, shorter than its 12-byte "
                "header\n"
                "kestrum-cli: pak0.pak:maps/none.bsp: the archive has no member \"maps/none.bsp\"\n");
  EXPECT_NE(result.out.find("extracted/maps/e1m1.bsp: press 1"), std::string::npos);
  EXPECT_NE(result.out.find("extracted/maps/dm3.bsp: press 1"), std::string::npos);

  const ProcessResult nothing = Run({"search", "pak0.pak", "extracted", "no such thing"});
  EXPECT_EQ(nothing.exitCode, 1);
  EXPECT_EQ(nothing.err, "kestrum-cli: no entity contains \"no such thing\"\n");
}

TEST_F(MultiMapTest, entitiesPrintsEveryPairOfEveryEntityAsJsonLines) {
  const ProcessResult result = Run({"entities", "pak0.pak:maps/dm3.bsp"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  std::size_t lines = 0;
  for (const char c : result.out) lines += c == '\n';
  EXPECT_EQ(lines, mapgen::DemoEntities().size());
  // The CR LF layout that the dialog's positional scan misreads is read pair by pair.
  EXPECT_EQ(result.out.rfind("{\"map\": \"pak0.pak:maps/dm3.bsp\", \"offset\": " + std::to_string(m_dm3LumpOffset) +
                                 ", \"index\": 0, \"pairs\": [[\"classname\", \"worldspawn\"], [\"message\", "
                                 "\"Kestrum demo keep\"], ",
                             0),
            0u)
      << result.out.substr(0, 200);
  EXPECT_NE(result.out.find(", \"index\": 1, \"pairs\": [[\"classname\", \"info_player_start\"], [\"origin\", "
                            "\"-480 352 88\"], [\"angle\", \"90\"]]}\n"),
            std::string::npos);
}

TEST_F(MultiMapTest, entitiesReportsAMalformedEntityWithItsMapAndOffsetGoesOnAndExitsWithFour) {
  const std::string lump =
      "{\n\"classname\" \"worldspawn\"\n}\n{\n\"classname\" \"light\"\n\"target\"\n}\n{\n\"classname\" "
      "\"info_null\"\n\"target\" \"a\"\n\"target\" \"b\"\n}\n";
  const mapgen::BuiltMap map = mapgen::BuildMap(lump + std::string(1, '\0'), 400, 100);
  test::WriteFile(m_dir.File("bad.bsp"), map.bytes);
  const ProcessResult result = Run({"entities", "bad.bsp"});
  EXPECT_EQ(result.exitCode, 4);
  const std::string second = std::to_string(map.lumpOffset + 29);
  EXPECT_EQ(result.err, "kestrum-cli: bad.bsp: malformed entity 1 at offset " + second +
                            ": the key \"target\" has no value; skipped\n");
  EXPECT_EQ(result.out, "{\"map\": \"bad.bsp\", \"offset\": " + std::to_string(map.lumpOffset) +
                            ", \"index\": 0, \"pairs\": [[\"classname\", \"worldspawn\"]]}\n"
                            "{\"map\": \"bad.bsp\", \"offset\": " +
                            std::to_string(map.lumpOffset + 62) +
                            ", \"index\": 2, \"pairs\": [[\"classname\", \"info_null\"], [\"target\", \"a\"], "
                            "[\"target\", \"b\"]]}\n");
  // A damaged map among good ones still gives 4; a map that cannot be read gives 3.
  EXPECT_EQ(Run({"entities", "extracted/maps/e1m1.bsp", "bad.bsp"}).exitCode, 4);
  EXPECT_EQ(Run({"entities", "bad.bsp", "missing.bsp"}).exitCode, 3);
}

TEST_F(MultiMapTest, entitiesReadsCommentsBareWordsAndValuesOnSeveralLines) {
  const std::string lump =
      "// worldspawn\n{\n\"classname\" \"worldspawn\"\n\"message\" \"two\nlines\"\n}\n"
      "{ /* a light */ classname light\n}\n";
  const mapgen::BuiltMap map = mapgen::BuildMap(lump + std::string(1, '\0'), 400, 100);
  test::WriteFile(m_dir.File("q.bsp"), map.bytes);
  const ProcessResult result = Run({"entities", "q.bsp"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const std::string first = std::to_string(map.lumpOffset + 14);
  const std::string second = std::to_string(map.lumpOffset + 65);
  EXPECT_EQ(result.out, "{\"map\": \"q.bsp\", \"offset\": " + first +
                            ", \"index\": 0, \"pairs\": [[\"classname\", \"worldspawn\"], [\"message\", "
                            "\"two\\u000alines\"]]}\n"
                            "{\"map\": \"q.bsp\", \"offset\": " +
                            second + ", \"index\": 1, \"pairs\": [[\"classname\", \"light\"]]}\n");
}

TEST_F(MultiMapTest, aSearchThatRunsIntoAnEntityCutShortSaysWhereAndExitsWithFour) {
  const std::string cut =
      "{\n\"classname\" \"worldspawn\"\n}\n{\n\"classname\" \"light\"\n}\n{\n\"classname\" \"light\"\n";
  const mapgen::BuiltMap map = mapgen::BuildMap(cut + std::string(1, '\0'), 400, 100);
  test::WriteFile(m_dir.File("cut.bsp"), map.bytes);
  const std::string message = "kestrum-cli: The entity at offset " + std::to_string(map.lumpOffset + 53) +
                              " ends before its closing brace, so the entities of this map end there: the search "
                              "did not look past it.\n";

  const ProcessResult none = Run({"search", "cut.bsp", "monster"});
  EXPECT_EQ(none.exitCode, 4);
  EXPECT_EQ(none.err, message);
  EXPECT_EQ(none.out, "");

  // The entities before the cut are found; the press that runs into it says so, once.
  const ProcessResult all = Run({"search", "cut.bsp", "light", "--presses", "4"});
  EXPECT_EQ(all.exitCode, 4);
  EXPECT_EQ(all.err, message);
  EXPECT_NE(all.out.find("press 1: "), std::string::npos) << all.out;
  EXPECT_NE(all.out.find("press 3: "), std::string::npos) << all.out;

  // A search that finds what it looks for before the cut reads no further.
  const ProcessResult before = Run({"search", "cut.bsp", "light"});
  EXPECT_EQ(before.exitCode, 0) << before.err;
  EXPECT_EQ(before.err, "");
}

TEST_F(MultiMapTest, listWritesOneListPerMapUnderItsOwnName) {
  test::WriteFile(m_dir.File("other.pak"), test::PakBytes({{"maps/e1m1.bsp", m_maps[0].second}}));
  const ProcessResult result = Run({"list", "pak0.pak", "other.pak", "--output-dir", "lists"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  std::vector<std::string> written;
  for (const auto& entry : std::filesystem::directory_iterator(m_dir.File("lists"))) {
    written.push_back(entry.path().filename().string());
  }
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"dm3.txt", "e1m2.txt", "other-e1m1.txt", "pak0-e1m1.txt"}));
  EXPECT_EQ(test::ReadFile(m_dir.File("lists/pak0-e1m1.txt")), test::ReadFile(m_dir.File("lists/other-e1m1.txt")));

  const ProcessResult oneMember = Run({"list", "pak0.pak:maps/dm3.bsp"});
  EXPECT_EQ(oneMember.exitCode, 0) << oneMember.err;
  EXPECT_EQ(test::ReadFile(m_dir.File("dm3.txt")), test::ReadFile(m_dir.File("lists/dm3.txt")));

  EXPECT_EQ(Run({"list", "pak0.pak", "out.txt"}).exitCode, 2);
}

TEST_F(MultiMapTest, listOnAMapWithoutEntitiesLeavesTheOldListAndExitsWithOne) {
  test::WriteFile(m_dir.File("empty.bsp"), std::string(5000, '\0'));
  test::WriteFile(m_dir.File("old.txt"), "results of an earlier run");
  ::chmod(m_dir.File("old.txt").c_str(), 0640);
  const ProcessResult result = Run({"list", "empty.bsp", "old.txt"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "kestrum-cli: There is no entities available in this file\n"
            "kestrum-cli: no list written; \"old.txt\" is left as it was\n");
  EXPECT_EQ(test::ReadFile(m_dir.File("old.txt")), "results of an earlier run");
  EXPECT_FALSE(test::FileExists(m_dir.File("empty.txt")));
  EXPECT_EQ(Run({"list", "empty.bsp"}).exitCode, 1);
  EXPECT_FALSE(test::FileExists(m_dir.File("empty.txt")));
}

TEST_F(MultiMapTest, aListCutShortGivesFourUnlessAMapFailed) {
  const std::string cut = "{\n\"classname\" \"worldspawn\"\n}\n{\n\"classname\" \"light\"\n";
  test::WriteFile(m_dir.File("cut.bsp"), mapgen::BuildMap(cut + std::string(1, '\0'), 400, 100).bytes);
  const ProcessResult cutShort = Run({"list", "cut.bsp", "extracted/maps/e1m1.bsp", "--output-dir", "lists"});
  EXPECT_EQ(cutShort.exitCode, 4) << cutShort.err;
  EXPECT_EQ(cutShort.err.rfind("kestrum-cli: cut.bsp: ", 0), 0u) << cutShort.err;
  EXPECT_EQ(test::ReadFile(m_dir.File("lists/cut.txt")), "{\n\"classname\" \"worldspawn\"\n}\r\n\r\n");
  EXPECT_EQ(Run({"list", "cut.bsp", "missing.bsp", "--output-dir", "lists"}).exitCode, 3);
}

TEST_F(MultiMapTest, noListIsWrittenOverAMapOrAnArchiveOfTheRun) {
  // The list of one map leads to the archive that the other maps are read from.
  std::filesystem::create_directory(m_dir.File("lists"));
  test::WriteFile(m_dir.File("other.bsp"), m_maps[0].second);
  test::LinkTo(m_dir.File("pak0.pak"), m_dir.File("lists/other.txt"));
  const std::string archive = test::ReadFile(m_dir.File("pak0.pak"));
  const ProcessResult result = Run({"list", "pak0.pak", "other.bsp", "--output-dir", "lists"});
  EXPECT_EQ(result.exitCode, 3) << result.err;
  EXPECT_NE(result.err.find("other.txt\": this is the map being read"), std::string::npos) << result.err;
  EXPECT_EQ(test::ReadFile(m_dir.File("pak0.pak")), archive);
  EXPECT_EQ(test::ReadFile(m_dir.File("lists/dm3.txt")), Run({"list", "pak0.pak:maps/dm3.bsp", "-"}).out);
}

TEST_F(MultiMapTest, aListOnAStandardOutputThatIsTheMapIsRefused) {
  // Standard output is the map itself, opened by a shell's "1<>".
#ifdef _WIN32
  GTEST_SKIP() << "no POSIX shell to open standard output onto the map";
#else
  test::WriteFile(m_dir.File("other.bsp"), m_maps[0].second);
  const std::string map = test::ReadFile(m_dir.File("other.bsp"));
  const ProcessResult onItself =
      test::RunProcess("/bin/sh", {"-c", "exec \"$0\" list other.bsp - 1<>other.bsp", KESTRUM_CLI_PATH}, m_dir.Path());
  EXPECT_EQ(onItself.exitCode, 3);
  EXPECT_EQ(onItself.err,
            "kestrum-cli: \"/dev/stdout\": this is the map being read, or the archive it is read from; choose "
            "another name for the list\n");
  EXPECT_EQ(test::ReadFile(m_dir.File("other.bsp")), map);
#endif
}

TEST_F(MultiMapTest, anOutputFolderThatIsAFileSaysSo) {
  test::WriteFile(m_dir.File("taken"), "a file");
  const ProcessResult onAFile = Run({"list", "pak0.pak", "-d", "taken"});
  EXPECT_EQ(onAFile.exitCode, 3);
  EXPECT_EQ(onAFile.err, "kestrum-cli: cannot create the folder \"taken\": it is a file, not a folder\n");
}

TEST_F(MultiMapTest, anOutputFolderThatIsADanglingLinkSaysSo) {
  std::error_code error;
  std::filesystem::create_directory_symlink("missing", std::filesystem::u8path(m_dir.File("dangling")), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  const ProcessResult onALink = Run({"list", "pak0.pak", "-d", "dangling"});
  EXPECT_EQ(onALink.exitCode, 3);
  EXPECT_EQ(onALink.err,
            "kestrum-cli: cannot create the folder \"dangling\": it is a link to \"missing\", which does not exist\n");
  EXPECT_FALSE(test::FileExists(m_dir.File("missing")));
}

TEST_F(MultiMapTest, writeErrorsOnStandardOutputExitWithThree) {
  if (test::FullDevice().empty()) GTEST_SKIP() << "no device here is always full to take standard output";
  for (const std::vector<std::string>& args : {std::vector<std::string>{"search", "pak0.pak", "light", "--all"},
                                               {"entities", "extracted"},
                                               {"locate", "pak0.pak"},
                                               {"flags", "4095"}}) {
    std::vector<std::string> shell{"-c", "exec \"$0\" \"$@\" > /dev/full", KESTRUM_CLI_PATH};
    shell.insert(shell.end(), args.begin(), args.end());
    const ProcessResult result = test::RunProcess("/bin/sh", shell, m_dir.Path());
    EXPECT_EQ(result.exitCode, 3) << args[0];
    EXPECT_NE(result.err.find("kestrum-cli: cannot write the results to standard output"), std::string::npos)
        << args[0] << ": " << result.err;
  }
}

}  // namespace
}  // namespace kestrum
