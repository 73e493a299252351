// kestrum-cli export and import as processes, on maps with every supported header: the
// round trip byte for byte, edits in text and in JSON Lines, where the new lump goes,
// what is refused with the map left as it was, the backup and the output file.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive_builder.h"
#include "format_map_builder.h"
#include "map_builder.h"
#include "process.h"
#include "test_files.h"

namespace kestrum {
namespace {

using mapgen::HeaderKind;
using mapgen::LumpPosition;
using test::ProcessResult;

constexpr LumpPosition kPositions[] = {LumpPosition::First, LumpPosition::Middle, LumpPosition::Last};

std::int32_t Int32At(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int n = 3; n >= 0; --n)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(n)]);
  return static_cast<std::int32_t>(value);
}

/** Where a built map's directory says its entity lump is: its offset and length. */
std::pair<std::int32_t, std::int32_t> EntityEntry(const HeaderKind& kind, const std::string& bytes) {
  const std::size_t entry = kind.magic.empty() || !kind.versionFollowsMagic ? 4 : 8;
  return {Int32At(bytes, entry), Int32At(bytes, entry + 4)};
}

class RoundTripTest : public ::testing::Test {
 protected:
  ProcessResult Run(const std::vector<std::string>& args) {
    return test::RunProcess(KESTRUM_CLI_PATH, args, m_dir.Path());
  }

  /** The names in the test's folder, so that a test sees what a command left behind. */
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempDir m_dir;
  const std::string m_world = "{\n\"classname\" \"worldspawn\"\n\"message\" \"Caf\xE9\"\n}\n";
  const std::string m_text =
      m_world +
      "{\n\"classname\" \"light\"\n\"light\" \"300\"\n\"origin\" \"0 0 64\"\n}\n{\n\"classname\" "
      "\"weapon_rocketlauncher\"\n}\n";
};

TEST_F(RoundTripTest, exportThenImportIsByteIdenticalForEveryHeaderAndPlaceOfTheLump) {
  // Each place of the lump with another ending: a NUL, none (shipped maps have both), and
  // NUL padding, which the new lump keeps.
  const std::string endings[] = {std::string(1, '\0'), std::string(), std::string("\0\0\0", 3)};
  for (const HeaderKind& kind : mapgen::SupportedHeaders()) {
    for (const LumpPosition position : kPositions) {
      const std::string& ending = endings[static_cast<int>(position)];
      const std::string original = mapgen::BuildFormatMap(kind, m_text + ending, position).bytes;
      SCOPED_TRACE(kind.name + " position " + std::to_string(static_cast<int>(position)));
      test::WriteFile(m_dir.File("m.bsp"), original);
      const ProcessResult exported = Run({"export", "m.bsp", "m.ent"});
      ASSERT_EQ(exported.exitCode, 0) << exported.err;
      EXPECT_EQ(test::ReadFile(m_dir.File("m.ent")), m_text);
      const ProcessResult imported = Run({"import", "m.bsp", "m.ent", "--no-backup"});
      ASSERT_EQ(imported.exitCode, 0) << imported.err;
      EXPECT_EQ(test::ReadFile(m_dir.File("m.bsp")), original);
      EXPECT_EQ(FolderNames(), (std::vector<std::string>{"m.bsp", "m.ent"}));
    }
  }
}

TEST_F(RoundTripTest, anEditedLumpKeepsItsPlaceWhenItFitsElseMovesToTheEnd) {
  for (const HeaderKind& kind : mapgen::SupportedHeaders()) {
    for (const LumpPosition position : kPositions) {
      SCOPED_TRACE(kind.name + " position " + std::to_string(static_cast<int>(position)));
      const std::string original = mapgen::BuildFormatMap(kind, m_text + '\0', position).bytes;
      const auto [offset, length] = EntityEntry(kind, original);
      test::WriteFile(m_dir.File("m.bsp"), original);
      // Shorter: in place, ended with a NUL as the old lump was, the rest zero-filled.
      test::WriteFile(m_dir.File("short.ent"), m_world);
      ASSERT_EQ(Run({"import", "m.bsp", "short.ent", "-o", "short.bsp"}).exitCode, 0);
      std::string expected = original;
      expected.replace(static_cast<std::size_t>(offset), static_cast<std::size_t>(length),
                       m_world + std::string(static_cast<std::size_t>(length) - m_world.size(), '\0'));
      const std::size_t entry = kind.magic.empty() || !kind.versionFollowsMagic ? 4 : 8;
      for (std::size_t n = 0; n < 4; ++n)
        expected[entry + 4 + n] = static_cast<char>(((m_world.size() + 1) >> (8 * n)) & 0xFF);
      EXPECT_EQ(test::ReadFile(m_dir.File("short.bsp")), expected);
      // Longer: at the end, aligned to 4, its old place zero-filled, every other byte kept.
      const std::string longer = m_text + "{\n\"classname\" \"light\"\n\"light\" \"600\"\n}\n";
      test::WriteFile(m_dir.File("long.ent"), longer);
      ASSERT_EQ(Run({"import", "m.bsp", "long.ent", "-o", "long.bsp"}).exitCode, 0);
      const std::string written = test::ReadFile(m_dir.File("long.bsp"));
      const std::size_t end = (original.size() + 3) / 4 * 4;
      EXPECT_EQ(EntityEntry(kind, written),
                std::make_pair(static_cast<std::int32_t>(end), static_cast<std::int32_t>(longer.size() + 1)));
      EXPECT_EQ(written.substr(end), longer + '\0');
      std::string moved = original;
      moved.replace(static_cast<std::size_t>(offset), static_cast<std::size_t>(length),
                    std::string(static_cast<std::size_t>(length), '\0'));
      moved.resize(end, '\0');
      EXPECT_EQ(written.substr(entry + 8, end - entry - 8), moved.substr(entry + 8));
      EXPECT_EQ(test::ReadFile(m_dir.File("m.bsp")), original);
    }
  }
}

TEST_F(RoundTripTest, jsonLinesFromEntitiesComeBackThroughTheCodePage) {
  const HeaderKind kind = mapgen::SupportedHeaders()[5];  // Quake 3
  const std::string original = mapgen::BuildFormatMap(kind, m_text + '\0', LumpPosition::Middle).bytes;
  test::WriteFile(m_dir.File("m.bsp"), original);
  const ProcessResult entities = Run({"entities", "m.bsp"});
  ASSERT_EQ(entities.exitCode, 0);
  test::WriteFile(m_dir.File("m.jsonl"), entities.out);
  ASSERT_EQ(Run({"import", "m.bsp", "m.jsonl", "-o", "same.bsp"}).exitCode, 0);
  // Compilers' layout, which the text already had: the map comes back unchanged.
  EXPECT_EQ(test::ReadFile(m_dir.File("same.bsp")), original);

  std::string edited = entities.out;
  edited.replace(edited.find("\"300\""), 5, "\"\\u20ac600\"");
  test::WriteFile(m_dir.File("edited.jsonl"), edited);
  ASSERT_EQ(Run({"import", "m.bsp", "edited.jsonl", "-o", "edited.bsp"}).exitCode, 0);
  const ProcessResult after = Run({"export", "edited.bsp", "-"});
  EXPECT_EQ(after.out, std::string(m_text).replace(m_text.find("\"300\""), 5,
                                                   "\"\x80"
                                                   "600\""));

  // --from overrides what the content suggests.
  const ProcessResult forcedText = Run({"import", "m.bsp", "m.jsonl", "--from", "text", "-o", "x.bsp"});
  EXPECT_EQ(forcedText.exitCode, 3);
  EXPECT_NE(
      forcedText.err.find("\"m.jsonl\": line 2, column 1: entity 0: missing closing brace before the next entity"),
      std::string::npos)
      << forcedText.err;
  EXPECT_FALSE(test::FileExists(m_dir.File("x.bsp")));
}

TEST_F(RoundTripTest, aListFileImportsAsItIsCrLfAndEmptyLinesIncluded) {
  const HeaderKind kind = mapgen::SupportedHeaders()[8];  // Source 19
  const std::string original = mapgen::BuildFormatMap(kind, m_text, LumpPosition::Last).bytes;
  test::WriteFile(m_dir.File("m.bsp"), original);
  ASSERT_EQ(Run({"list", "m.bsp", "m.txt"}).exitCode, 0);
  const std::string list = test::ReadFile(m_dir.File("m.txt"));
  ASSERT_NE(list.find("}\r\n\r\n{"), std::string::npos);
  ASSERT_EQ(Run({"import", "m.bsp", "m.txt", "--no-backup"}).exitCode, 0);
  // The lump had no NUL, so the new one has none either: the list's bytes, as given.
  EXPECT_EQ(Run({"export", "m.bsp", "-"}).out, list);
  EXPECT_EQ(Run({"list", "m.bsp", "-"}).out, list);
}

TEST_F(RoundTripTest, refusedInputsAndMapsChangeNothingAndExitWithThree) {
  const HeaderKind kind = mapgen::SupportedHeaders()[4];  // Quake 2
  const std::string original = mapgen::BuildFormatMap(kind, m_text + '\0', LumpPosition::Middle).bytes;
  test::WriteFile(m_dir.File("m.bsp"), original);
  std::string unknown = original;
  unknown[4] = 39;
  test::WriteFile(m_dir.File("unknown.bsp"), unknown);
  std::string pastEnd = original;
  pastEnd[8 + 8 * 18 + 5] = 0x7F;  // the last lump's length, now megabytes
  test::WriteFile(m_dir.File("past.bsp"), pastEnd);
  test::WriteFile(m_dir.File("broken.ent"), m_world + "{\n\"classname\" \"light\"\n");
  test::WriteFile(m_dir.File("light-first.ent"), "{\n\"classname\" \"light\"\n}\n" + m_world);
  test::WriteFile(m_dir.File("bad.jsonl"),
                  "{\"pairs\": [[\"classname\", \"worldspawn\"]]}\n{\"pairs\": [[\"message\", \"\\u0101\"]]}\n");
  test::WriteFile(m_dir.File("good.ent"), m_world);
  const std::vector<std::string> before = FolderNames();
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"import", "m.bsp", "broken.ent"},
       "kestrum-cli: \"broken.ent\": line 7, column 1: entity 1: missing closing brace\n"},
      {{"import", "m.bsp", "light-first.ent"}, "the first entity is not the world"},
      {{"import", "m.bsp", "bad.jsonl"},
       "kestrum-cli: \"bad.jsonl\": entity 1, key \"message\": the value holds a character the map's code page "
       "lacks\n"},
      {{"import", "unknown.bsp", "good.ent"},
       "kestrum-cli: \"unknown.bsp\": unknown map format: magic \"IBSP\", version 39\n"},
      {{"import", "past.bsp", "good.ent"}, "\"past.bsp\": damaged header: lump 18 reaches past the end of the file"},
      {{"import", "missing.bsp", "good.ent"}, "Cannot open \"missing.bsp\""},
      {{"import", "m.bsp", "missing.ent"}, "Cannot open \"missing.ent\""},
      {{"export", "unknown.bsp", "u.ent"},
       "kestrum-cli: \"unknown.bsp\": unknown map format: magic \"IBSP\", version 39\n"},
  };
  for (const auto& [args, message] : cases) {
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitCode, 3) << args[1] << " " << args[2];
    EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(FolderNames(), before);
  }
  EXPECT_EQ(test::ReadFile(m_dir.File("m.bsp")), original);
  EXPECT_EQ(Run({"import", "m.bsp", "light-first.ent", "--force", "-o", "forced.bsp"}).exitCode, 0);
  EXPECT_EQ(Run({"import", "m.bsp", "good.ent", "-o", "-"}).exitCode, 2);
  EXPECT_EQ(Run({"import", "m.bsp"}).exitCode, 2);
}

TEST_F(RoundTripTest, inPlaceTheOldMapIsKeptAsBakUnlessAskedNotTo) {
  const HeaderKind kind = mapgen::SupportedHeaders()[0];  // Quake
  const std::string original = mapgen::BuildFormatMap(kind, m_text + '\0', LumpPosition::First).bytes;
  test::WriteFile(m_dir.File("m.bsp"), original);
  test::WriteFile(m_dir.File("m.bsp.bak"), "an older backup");
  test::WriteFile(m_dir.File("world.ent"), m_world);
  const ProcessResult result = Run({"import", "m.bsp", "world.ent"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "kestrum-cli: \"m.bsp\": Quake (version 29), entity lump of " +
                            std::to_string(m_world.size() + 1) + " bytes at offset " + std::to_string(4 + 15 * 8) +
                            " (in its old place); the old map is \"m.bsp.bak\"\n");
  EXPECT_EQ(test::ReadFile(m_dir.File("m.bsp.bak")), original);
  EXPECT_EQ(Run({"export", "m.bsp", "-"}).out, m_world);

  const std::string changed = test::ReadFile(m_dir.File("m.bsp"));
  test::WriteFile(m_dir.File("m.ent"), m_text);
  ASSERT_EQ(Run({"import", "m.bsp", "m.ent", "--no-backup"}).exitCode, 0);
  EXPECT_EQ(test::ReadFile(m_dir.File("m.bsp.bak")), original);  // untouched by --no-backup
  EXPECT_NE(test::ReadFile(m_dir.File("m.bsp")), changed);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"m.bsp", "m.bsp.bak", "m.ent", "world.ent"}));
}

TEST_F(RoundTripTest, exportTakesEveryInputAndNamesSeveralFilesAsListDoes) {
  const std::vector<HeaderKind> kinds = mapgen::SupportedHeaders();
  const std::string q3 = mapgen::BuildFormatMap(kinds[5], m_text + '\0', LumpPosition::Last).bytes;
  const std::string hl = mapgen::BuildFormatMap(kinds[3], m_world, LumpPosition::Middle).bytes;
  test::WriteFile(m_dir.File("pak0.pak"), test::PakBytes({{"maps/q3dm1.bsp", q3}, {"maps/hl.bsp", hl}}));
  test::WriteFile(m_dir.File("q3dm1.bsp"), q3);
  const ProcessResult several = Run({"export", "pak0.pak", "q3dm1.bsp", "-d", "ents"});
  ASSERT_EQ(several.exitCode, 0) << several.err;
  EXPECT_EQ(test::ReadFile(m_dir.File("ents/pak0-q3dm1.ent")), m_text);
  EXPECT_EQ(test::ReadFile(m_dir.File("ents/hl.ent")), m_world);
  EXPECT_EQ(test::ReadFile(m_dir.File("ents/q3dm1.ent")), m_text);
  ASSERT_EQ(Run({"export", "pak0.pak:maps/hl.bsp"}).exitCode, 0);
  EXPECT_EQ(test::ReadFile(m_dir.File("hl.ent")), m_world);
  EXPECT_EQ(Run({"export", "pak0.pak", "one.ent"}).exitCode, 2);
}

}  // namespace
}  // namespace kestrum
