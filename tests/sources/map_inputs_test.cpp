// Expanding the inputs of the map commands: files, folders, archives, ARCHIVE:MEMBER.
#include "map_inputs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "archive_builder.h"
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
                                      "!\"" + broken + "\": not a PACK archive (no \"PACK\" header)"}));
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

}  // namespace
}  // namespace kestrum
