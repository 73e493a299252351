// Expanding the inputs of the map commands: files, folders, archives, ARCHIVE:MEMBER.
#include "map_inputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "archive_builder.h"
#include "map_builder.h"
#include "map_commands.h"
#include "test_files.h"

namespace kestrum {
namespace {

using sources::MapSource;

/** Each source as "name" for a map or "!problem" for an input that gave none. */
std::vector<std::string> Describe(const std::vector<MapSource>& sources) {
  std::vector<std::string> described;
  for (const MapSource& source : sources)
    described.push_back(source.problem.empty() ? source.name : "!" + source.problem);
  return described;
}

class MapInputsTest : public ::testing::Test {
 protected:
  std::string Make(const std::string& relative, const std::string& bytes = "map") {
    const std::string path = m_dir.File(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    test::WriteFile(path, bytes);
    return path;
  }

  test::TempDir m_dir;
};

TEST_F(MapInputsTest, aFolderGivesEveryBspBelowItInAnyCaseSorted) {
  Make("mod/maps/start.bsp");
  Make("mod/maps/E1M1.BSP");
  Make("mod/maps/e1m2.Bsp");
  Make("mod/maps/sub/dm1.bsp");
  Make("mod/maps/start.txt");
  Make("mod/maps/bsp");
  Make("mod/pak0.pk3");  // archives in folders are not opened: only *.bsp counts
  std::filesystem::create_directories(m_dir.File("mod/maps/folder.bsp"));
  const std::string root = m_dir.File("mod");
  EXPECT_EQ(Describe(sources::ExpandInputs({root})),
            (std::vector<std::string>{
                root + test::NativePath("/maps/E1M1.BSP"), root + test::NativePath("/maps/e1m2.Bsp"),
                root + test::NativePath("/maps/start.bsp"), root + test::NativePath("/maps/sub/dm1.bsp")}));
}

TEST_F(MapInputsTest, archivesGiveTheirMapMembersSortedAndMembersCanBeNamed) {
  const std::string pak = m_dir.File("pak0.pak");
  test::WriteFile(pak, test::PakBytes({{"maps/e1m2.bsp", "2"}, {"progs.dat", "p"}, {"maps/E1M1.BSP", "1"}}));
  const std::vector<MapSource> sources =
      sources::ExpandInputs({pak, pak + ":progs.dat", pak + ":maps/nothing.bsp", m_dir.File("e1m3.bsp")});
  EXPECT_EQ(Describe(sources), (std::vector<std::string>{
                                   pak + ":maps/E1M1.BSP", pak + ":maps/e1m2.bsp", pak + ":progs.dat",
                                   "!\"" + pak + ":maps/nothing.bsp\": the archive has no member \"maps/nothing.bsp\"",
                                   m_dir.File("e1m3.bsp")}));
  ASSERT_TRUE(sources[0].member.has_value());
  EXPECT_EQ(sources[0].path, pak);
  EXPECT_EQ(sources[0].member->name, "maps/E1M1.BSP");
  EXPECT_EQ(sources[2].member->name, "progs.dat");
  EXPECT_FALSE(sources[4].member.has_value());  // missing loose maps are the commands' to report
}

TEST_F(MapInputsTest, inputsWithoutMapsAreProblemsInTheirPlace) {
  std::filesystem::create_directories(m_dir.File("empty"));
  const std::string noMaps = m_dir.File("textures.pak");
  test::WriteFile(noMaps, test::PakBytes({{"gfx/a.lmp", "x"}}));
  const std::string broken = m_dir.File("broken.pak");
  test::WriteFile(broken, "PACK");
  const std::string map = Make("a.bsp");
  EXPECT_EQ(Describe(sources::ExpandInputs({m_dir.File("empty"), map, noMaps, broken})),
            (std::vector<std::string>{"!\"" + m_dir.File("empty") + "\": no maps (*.bsp) in this folder or below it",
                                      map, "!\"" + noMaps + "\": no maps (*.bsp) in this archive",
                                      "!\"" + broken +
                                          "\": damaged PACK archive: the file is 4 bytes long, shorter than its "
                                          "12-byte header"}));
}

TEST_F(MapInputsTest, aMemberIsNamedWithTheSystemsSeparators) {
  const std::string pak = Make("pak0.pak", test::PakBytes({{"maps/sub/e1m1.bsp", "map"}}));
  const MapSource backslashed = sources::FindMap(pak + ":maps\\sub\\e1m1.bsp");
  const MapSource mixed = sources::FindMap(pak + ":maps/sub\\e1m1.bsp");
#ifdef _WIN32
  // Windows users write paths with "\"; the member keeps the archive's own name.
  for (const MapSource& source : {backslashed, mixed}) {
    EXPECT_EQ(source.problem, "");
    ASSERT_TRUE(source.member.has_value());
    EXPECT_EQ(source.name, pak + ":maps/sub/e1m1.bsp");
  }
#else
  // On Linux "\" is a character of a name like any other.
  EXPECT_NE(backslashed.problem, "");
  EXPECT_NE(mixed.problem, "");
#endif
}

TEST_F(MapInputsTest, aFileThatExistsIsAMapEvenWithAColonInItsName) {
  const std::string pak = m_dir.File("x.pak");
  test::WriteFile(pak, test::PakBytes({{"a.bsp", "1"}}));
  const std::string colon = Make("x.pak:a.bsp", "loose");
  const std::vector<MapSource> sources = sources::ExpandInputs({colon});
  ASSERT_EQ(sources.size(), 1u);
  EXPECT_FALSE(sources[0].member.has_value());
}

TEST_F(MapInputsTest, listFilesAreToldApartFromMapInputs) {
  const std::string pak = m_dir.File("x.pk3");
  test::WriteFile(pak, "");
  std::filesystem::create_directories(m_dir.File("maps"));
  for (const std::string& input : {std::string("e1m1.bsp"), std::string("E1M1.BSP"), m_dir.File("maps"),
                                   std::string("pak0.pk3"), std::string("id1/PAK0.PAK"), pak + ":maps/a.bsp"}) {
    EXPECT_TRUE(sources::LooksLikeMapInput(input)) << input;
  }
  for (const std::string& output : {std::string("out.txt"), std::string("-"), std::string("/dev/stdout"),
                                    std::string("list"), m_dir.File("new-folder")}) {
    EXPECT_FALSE(sources::LooksLikeMapInput(output)) << output;
  }
}

TEST_F(MapInputsTest, aPakEntryWhoseNameFillsAll56BytesKeepsItsWholeName) {
  const std::string name = "maps/" + std::string(47, 'n') + ".bsp";
  ASSERT_EQ(name.size(), 56u);  // no NUL ends it in the directory
  const mapgen::BuiltMap map = mapgen::BuildMap(mapgen::EntityLump(mapgen::DemoEntities()), 300, 100);
  const std::string pak = Make("pak0.pak", test::PakBytes({{name, map.bytes}, {"maps/b.bsp", "map"}}));
  const std::vector<MapSource> sources = sources::ExpandInputs({pak});
  EXPECT_EQ(Describe(sources), (std::vector<std::string>{pak + ":maps/b.bsp", pak + ":" + name}));
  ASSERT_EQ(sources.size(), 2u);
  EXPECT_EQ(cli::LocateMap(sources[1], cli::MapNaming{}).out, std::to_string(map.lumpOffset) + "\n");
}

TEST_F(MapInputsTest, sameNamedMembersOfTwoArchivesOnOneWorkerEachGiveTheirOwnResults) {
  // The same member name, different bytes, the lump at a different offset: read one
  // after the other on one thread, nothing of the first may stand in for the second.
  const mapgen::BuiltMap first = mapgen::BuildMap(mapgen::EntityLump(mapgen::DemoEntities()), 300, 100, 1);
  const mapgen::BuiltMap second =
      mapgen::BuildMap(mapgen::EntityLump({mapgen::Entity{{{"classname", "worldspawn"}}}}), 5000, 100, 2);
  ASSERT_NE(first.lumpOffset, second.lumpOffset);
  std::vector<std::string> archives{Make("a/pak0.pak", test::PakBytes({{"maps/dm1.bsp", first.bytes}})),
                                    Make("b/pak0.pak", test::PakBytes({{"maps/dm1.bsp", second.bytes}}))};
#ifdef KESTRUM_WITH_ZIP
  archives.push_back(m_dir.File("c.pk3"));
  test::WriteZip(archives.back(), {{"maps/dm1.bsp", first.bytes}}, false);
  archives.push_back(m_dir.File("d.pk3"));
  test::WriteZip(archives.back(), {{"maps/dm1.bsp", second.bytes}}, false);
#endif
  const std::vector<MapSource> sources = sources::ExpandInputs(archives);
  ASSERT_EQ(sources.size(), archives.size());
  const cli::MapNaming naming{true};
  for (int round = 0; round < 2; ++round) {
    for (std::size_t n = 0; n < sources.size(); ++n) {
      const mapgen::BuiltMap& expected = n % 2 == 0 ? first : second;
      EXPECT_EQ(cli::LocateMap(sources[n], naming).out,
                sources[n].name + ": " + std::to_string(expected.lumpOffset) + "\n");
      const std::string entities =
          cli::MapEntities(sources[n], naming, cli::MapEncoding::Windows1252, [](std::string_view) {
            return true;
          }).out;
      const std::size_t lines = static_cast<std::size_t>(std::count(entities.begin(), entities.end(), '\n'));
      EXPECT_EQ(lines, n % 2 == 0 ? mapgen::DemoEntities().size() : 1u) << sources[n].name;
    }
  }
}

}  // namespace
}  // namespace kestrum
