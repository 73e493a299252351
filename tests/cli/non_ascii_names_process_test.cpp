// kestrum-cli on folders, maps, archives and list folders whose names are accented,
// Japanese or both: every name reaches the system and comes back as the user wrote it,
// on Linux and on Windows, whatever the ANSI code page there.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "archive_builder.h"
#include "map_builder.h"
#include "process.h"
#include "system_path.h"
#include "test_files.h"

namespace kestrum {
namespace {

using test::ProcessResult;

const std::string kAccented = "\u00e9t\u00e9";                  // été
const std::string kJapanese = "\u30de\u30c3\u30d7";             // マップ
const std::string kMixed = "\u00c9lodie \u30de\u30c3\u30d7 1";  // Élodie マップ 1

/** A path as a JSON string holds it: the backslashes of Windows paths doubled. */
std::string InJson(const std::string& path) {
  std::string json;
  for (const char c : path) json += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return json;
}

class NonAsciiNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_map = mapgen::BuildMap(mapgen::EntityLump(mapgen::DemoEntities()), 300, 200);
    test::WriteFile(m_dir.File("plain.bsp"), m_map.bytes);
    for (const auto& [folder, map] : Maps()) {
      std::filesystem::create_directories(SystemPath(m_dir.File(folder)));
      test::WriteFile(m_dir.File(folder + "/" + map), m_map.bytes);
    }
  }

  /** Each folder and the map in it. */
  static std::vector<std::pair<std::string, std::string>> Maps() {
    return {{kAccented, "carte-" + kAccented + ".bsp"}, {kJapanese, kJapanese + ".bsp"}, {kMixed, kMixed + ".BSP"}};
  }

  ProcessResult Run(const std::vector<std::string>& args) {
    return test::RunProcess(KESTRUM_CLI_PATH, args, m_dir.Path());
  }

  /** The list of the map, as written for the plain name. */
  std::string ExpectedList() {
    const ProcessResult plain = Run({"list", "plain.bsp", "-"});
    EXPECT_EQ(plain.exitCode, 0) << plain.err;
    return plain.out;
  }

  /** The names of the files in a folder. */
  std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(SystemPath(folder))) {
      names.insert(Utf8Path(entry.path().filename()));
    }
    return names;
  }

  test::TempDir m_dir;
  mapgen::BuiltMap m_map;
};

TEST_F(NonAsciiNamesTest, locateSearchAndEntitiesReadEachFolderAndNameItsMaps) {
  const std::string offset = std::to_string(m_map.lumpOffset);
  std::string located;
  for (const auto& [folder, map] : Maps()) located += test::NativePath(folder + "/" + map) + ": " + offset + "\n";
  const ProcessResult locate = Run({"locate", kAccented, kJapanese, kMixed});
  EXPECT_EQ(locate.exitCode, 0) << locate.err;
  EXPECT_EQ(locate.out, located);

  const ProcessResult search = Run({"search", kAccented, kJapanese, kMixed, "monster_dog"});
  EXPECT_EQ(search.exitCode, 0) << search.err;
  const ProcessResult entities = Run({"entities", kAccented, kJapanese, kMixed});
  EXPECT_EQ(entities.exitCode, 0) << entities.err;
  for (const auto& [folder, map] : Maps()) {
    const std::string name = test::NativePath(folder + "/" + map);
    EXPECT_NE(search.out.find(name + ": press 1: entity at offset "), std::string::npos) << search.out;
    EXPECT_NE(entities.out.find("{\"map\": \"" + InJson(name) + "\""), std::string::npos) << entities.out;
  }
}

TEST_F(NonAsciiNamesTest, aListTakesItsMapsNameInTheCurrentFolderOrTheOneGiven) {
  const std::string list = ExpectedList();
  for (const auto& [folder, map] : Maps()) {
    const ProcessResult result = Run({"list", folder + "/" + map});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string listName = map.substr(0, map.size() - 4) + ".txt";
    EXPECT_EQ(test::ReadFile(m_dir.File(listName)), list) << listName;
  }
  const std::string out = m_dir.File(kJapanese + "/" + kAccented + ".txt");
  EXPECT_EQ(Run({"list", kAccented + "/carte-" + kAccented + ".bsp", out}).exitCode, 0);
  EXPECT_EQ(test::ReadFile(out), list);

  // Run from inside a folder of such a name, the map given relative to it.
  const ProcessResult inside = test::RunProcess(KESTRUM_CLI_PATH, {"list", kMixed + ".BSP"}, m_dir.File(kMixed));
  EXPECT_EQ(inside.exitCode, 0) << inside.err;
  EXPECT_EQ(test::ReadFile(m_dir.File(kMixed + "/" + kMixed + ".txt")), list);
}

TEST_F(NonAsciiNamesTest, outputDirIsCreatedUnderItsNameAndHoldsEachMapsList) {
  const std::string list = ExpectedList();
  const std::string outputDir = "listes " + kAccented + " " + kJapanese;
  const ProcessResult result = Run({"list", kAccented, kJapanese, kMixed, "--output-dir", outputDir});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(FilesIn(m_dir.Path()), (std::set<std::string>{"plain.bsp", kAccented, kJapanese, kMixed, outputDir}));
  const std::set<std::string> lists{"carte-" + kAccented + ".txt", kJapanese + ".txt", kMixed + ".txt"};
  EXPECT_EQ(FilesIn(m_dir.File(outputDir)), lists);
  for (const std::string& name : lists) EXPECT_EQ(test::ReadFile(m_dir.File(outputDir + "/" + name)), list) << name;
}

TEST_F(NonAsciiNamesTest, anArchiveAndItsMembersMayBeNamedSo) {
  const test::ArchiveContents members{{"maps/" + kJapanese + ".bsp", m_map.bytes}};
  std::vector<std::string> archives{"archive-" + kAccented + ".pak"};
  test::WriteFile(m_dir.File(archives[0]), test::PakBytes(members));
#ifdef KESTRUM_WITH_ZIP
  archives.push_back(kMixed + ".pk3");
  test::WriteZip(m_dir.File(archives[1]), members);
#endif
  const std::string offset = std::to_string(m_map.lumpOffset);
  for (const std::string& archive : archives) {
    const ProcessResult whole = Run({"locate", archive, "plain.bsp"});
    EXPECT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_EQ(whole.out, archive + ":maps/" + kJapanese + ".bsp: " + offset + "\nplain.bsp: " + offset + "\n");
    const ProcessResult member = Run({"list", archive + ":maps/" + kJapanese + ".bsp", "-"});
    EXPECT_EQ(member.exitCode, 0) << member.err;
    EXPECT_EQ(member.out, ExpectedList()) << archive;
  }
}

TEST_F(NonAsciiNamesTest, aMissingMapIsNamedInTheMessageAsGiven) {
  const std::string missing = kAccented + "/" + kJapanese + ".bsp";
  const ProcessResult result = Run({"locate", missing});
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.err.rfind("kestrum-cli: Cannot open \"" + missing + "\": ", 0), 0u) << result.err;
}

}  // namespace
}  // namespace kestrum
