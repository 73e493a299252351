#include "block_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "archive_builder.h"
#include "byte_search.h"
#include "entity_list.h"
#include "fault_calls.h"
#include "file.h"
#include "headless_dialog.h"
#include "map_builder.h"
#include "test_files.h"

namespace kestrum {
namespace {

namespace fs = std::filesystem;

/** Everything a user sees of a map: the entity offset, the list and three presses. */
struct Outcome {
  std::int32_t entityOffset;
  std::string list;
  std::vector<std::string> shownKeys;
  std::vector<std::int32_t> cursors;
  bool operator==(const Outcome& other) const {
    return entityOffset == other.entityOffset && list == other.list && shownKeys == other.shownKeys &&
           cursors == other.cursors;
  }
};

Outcome RunCommands(CHeadlessDialog& ui, const std::string& mapPath, const std::string& listPath) {
  Outcome outcome{};
  ui.Open(mapPath);
  outcome.entityOffset = ui.dialog.m_entityOffset;
  ui.CreateList(listPath);
  outcome.list = test::ReadFile(listPath);
  for (int press = 0; press < 3; ++press) {
    ui.Search("monster_");
    outcome.shownKeys.push_back(ui.dialog.m_keys[1] + "=" + ui.dialog.m_values[1]);
    outcome.cursors.push_back(ui.dialog.m_cursor);
  }
  return outcome;
}

TEST(MapInAnArchive, givesTheDialogExactlyWhatTheFileOnDiskGives) {
  const test::TempDir dir;
  const std::string path = dir.File("demo.bsp");
  const std::string bytes = mapgen::BuildMap(mapgen::EntityLump(mapgen::DemoEntities()), 3000, 900).bytes;
  test::WriteFile(path, bytes);
  test::WriteFile(dir.File("pak0.pak"), test::PakBytes({{"progs.dat", "xyz"}, {"maps/demo.bsp", bytes}}));

  CHeadlessDialog fromDisk;
  const Outcome disk = RunCommands(fromDisk, path, dir.File("disk.txt"));

  const std::string member = dir.File("pak0.pak") + ":maps/demo.bsp";
  CHeadlessDialog fromArchive;
  EXPECT_EQ(RunCommands(fromArchive, member, dir.File("archive.txt")), disk);
  EXPECT_TRUE(fromArchive.services.messages.empty()) << fromArchive.services.messages.front();
  EXPECT_EQ(fromArchive.dialog.m_bspPath, member);
  EXPECT_FALSE(disk.list.empty());
}

TEST(BlockCache, aMapFileIsReadThroughAFewBlocksWhereverTheReadsGo) {
  // Six 1 MiB blocks and more, read back and forth across their edges, so that the few
  // blocks kept are reused for others and filled again.
  const test::TempDir dir;
  std::string bytes(6 * (1 << 20) + 12345, '\0');
  for (std::size_t n = 0; n < bytes.size(); ++n) bytes[n] = static_cast<char>((n * 2654435761u) >> 13);
  const std::string path = dir.File("big.bsp");
  test::WriteFile(path, bytes);
  const auto map = std::make_shared<const CCachedMapFile>(path);
  ASSERT_EQ(map->Size(), static_cast<std::int64_t>(bytes.size()));
  std::string got(3000, '\0');
  for (const std::int64_t offset :
       {0LL, (1LL << 20) - 1000, 5LL << 20, (3LL << 20) - 7, 100LL, (6LL << 20) + 11000, (2LL << 20) - 2999, 0LL}) {
    const std::size_t read = map->ReadAt(offset, got.data(), got.size());
    const std::size_t expected = std::min<std::size_t>(got.size(), bytes.size() - static_cast<std::size_t>(offset));
    ASSERT_EQ(read, expected) << offset;
    EXPECT_EQ(got.substr(0, read), bytes.substr(static_cast<std::size_t>(offset), read)) << offset;
  }
  EXPECT_EQ(map->ReadAt(static_cast<std::int64_t>(bytes.size()), got.data(), got.size()), 0U);
  EXPECT_THROW(CCachedMapFile(dir.File("missing.bsp")), CFileException);
}

TEST(BlockCache, readsOfABlockAndMoreGiveTheFileBytesAnywhere) {
  // The locator reads the map in large pieces; those go past the blocks kept, and the
  // small reads after them must find the blocks as before.
  const test::TempDir dir;
  std::string bytes(700'000, '\0');
  for (std::size_t n = 0; n < bytes.size(); ++n) bytes[n] = static_cast<char>((n * 2654435761u) >> 11);
  test::WriteFile(dir.File("big.bsp"), bytes);
  const auto map = std::make_shared<const CCachedMapFile>(dir.File("big.bsp"));
  for (const std::size_t count : {std::size_t{65535}, std::size_t{65536}, std::size_t{65537}, std::size_t{300'000}}) {
    for (const std::size_t offset : {std::size_t{0}, std::size_t{65535}, std::size_t{100'001}, bytes.size() - 70'000}) {
      std::string got(count, '\0');
      const std::size_t expected = std::min(count, bytes.size() - offset);
      ASSERT_EQ(map->ReadAt(static_cast<std::int64_t>(offset), got.data(), count), expected) << offset;
      EXPECT_TRUE(got.compare(0, expected, bytes, offset, expected) == 0) << count << " at " << offset;
      char small[100];
      ASSERT_EQ(map->ReadAt(static_cast<std::int64_t>(offset + 3), small, sizeof small), sizeof small);
      EXPECT_EQ(std::string(small, sizeof small), bytes.substr(offset + 3, sizeof small)) << offset;
    }
  }
}

TEST(BlockCache, aMapFileThatChangesWhileHeldIsRefused) {
  const test::TempDir dir;
  const std::string path = dir.File("changing.bsp");
  const fs::path file = fs::u8path(path);
  test::WriteFile(path, std::string(300'000, 'x'));
  // Written well before it is opened, as maps are: the writes below then change its time.
  fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(1));
  auto map = std::make_shared<const CCachedMapFile>(path);
  std::string got(400'000, '\0');
  EXPECT_EQ(map->ReadAt(0, got.data(), got.size()), 300'000u);
  EXPECT_NO_THROW(map->ThrowIfChanged());

  // Cut and regrown to its old length: NUL bytes where the map was.
  fs::resize_file(file, 0);
  fs::resize_file(file, 300'000);
  EXPECT_THROW(map->ReadAt(0, got.data(), got.size()), CInputError);
  EXPECT_THROW(map->ReadAt(200'000, got.data(), 10), CInputError);
  EXPECT_THROW(map->ThrowIfChanged(), CInputError);

  // Grown: the bytes it had when it was opened may have been written over too.
  test::WriteFile(path, std::string(300'000, 'x'));
  fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(1));
  map = std::make_shared<const CCachedMapFile>(path);
  test::WriteFile(path, std::string(350'000, 'y'));
  EXPECT_THROW(map->ReadAt(0, got.data(), got.size()), CInputError);
  EXPECT_THROW(map->ReadAt(250'000, got.data(), 10), CInputError);

  // Shortened: a read of a block or more and a read of a few bytes are both refused, even
  // of the last block, read once before and then put out of the few blocks kept.
  test::WriteFile(path, std::string(300'000, 'x'));
  map = std::make_shared<const CCachedMapFile>(path);
  ASSERT_EQ(map->ReadAt(299'990, got.data(), 10), 10u);
  for (std::int64_t block = 0; block < 4; ++block) ASSERT_EQ(map->ReadAt(block << 16, got.data(), 1), 1u);
  std::filesystem::resize_file(std::filesystem::u8path(path), 100'000);
  EXPECT_THROW(map->ReadAt(0, got.data(), 200'000), CInputError);
  EXPECT_THROW(map->ReadAt(299'990, got.data(), 10), CInputError);
}

TEST(BlockCache, aListOfAMapCutAndRegrownWhileItIsWrittenIsRefused) {
  // Cut and regrown to its old length after the first entity is written, the map holds
  // NUL bytes from there on: read, they would end the entities quietly, the list short.
  const test::TempDir dir;
  const std::string path = dir.File("rewritten.bsp");
  const fs::path file = fs::u8path(path);
  std::vector<mapgen::Entity> entities(3000, mapgen::Entity{{{"classname", "light"}, {"origin", "0 0 64"}}});
  const mapgen::BuiltMap built = mapgen::BuildMap(mapgen::EntityLump(entities), 100, 100);
  test::WriteFile(path, built.bytes);
  fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(1));
  const CCachedMapFile map(path);
  EntityWindow window{};
  std::string record;
  int pieces = 0;
  const auto rewriteOnce = [&](std::string_view) {
    if (++pieces != 2) return;
    fs::resize_file(file, 0);
    fs::resize_file(file, built.bytes.size());
  };
  EXPECT_THROW(ListEntities(map, built.lumpOffset, window, record, rewriteOnce), CInputError);
  EXPECT_GE(pieces, 2);
}

TEST(BlockCache, theBlocksLastReadStayAtHandWhenTheReadingTurnsBack) {
  const test::TempDir dir;
  std::string bytes(5 * (1 << 20), '\0');
  for (std::size_t n = 0; n < bytes.size(); ++n) bytes[n] = static_cast<char>(n >> 20);
  test::WriteFile(dir.File("big.bsp"), bytes);
  const auto map = std::make_shared<const CCachedMapFile>(dir.File("big.bsp"));
  char byte = 0;
  for (std::int64_t block = 0; block < 5; ++block) map->ReadAt(block << 20, &byte, 1);
  // From here on every read of the file fails: the last three blocks must need none.
  const test::CInjectedFaults faults;
  test::Plan() = test::FaultPlan{};
  test::Plan().readBudget = 0;
  for (const std::int64_t block : {4, 3, 2}) {
    ASSERT_NO_THROW(map->ReadAt((block << 20) + 5, &byte, 1)) << block;
    EXPECT_EQ(byte, static_cast<char>(block));
  }
}

TEST(FileObject, aMapOnDiskAndInMemoryReadTheSameAtEveryOffset) {
  const test::TempDir dir;
  test::WriteFile(dir.File("map.bsp"), "0123456789");
  CFile onDisk;
  onDisk.Open(dir.File("map.bsp"), CFile::Mode::Read);
  const CMemoryBytes inMemory("map.bsp", "0123456789");
  for (const IByteSource* map :
       {static_cast<const IByteSource*>(&onDisk), static_cast<const IByteSource*>(&inMemory)}) {
    std::string got(4, '\0');
    EXPECT_EQ(map->Size(), 10);
    EXPECT_EQ(map->ReadAt(4, got.data(), 4), 4u);
    EXPECT_EQ(got, "4567");
    EXPECT_EQ(map->ReadAt(8, got.data(), 4), 2u);
    EXPECT_EQ(got.substr(0, 2), "89");
    EXPECT_EQ(map->ReadAt(10, got.data(), 4), 0u);
    EXPECT_EQ(map->ReadAt(1000, got.data(), 4), 0u);
  }
  // Before the start there is nothing to read: the file refuses, the memory gives none.
  char byte = 0;
  EXPECT_THROW(onDisk.ReadAt(-1, &byte, 1), CFileException);
  EXPECT_EQ(inMemory.ReadAt(-1, &byte, 1), 0u);
}

TEST(ByteSearch, findsTheFirstOccurrenceWhereverItStands) {
  struct Case {
    std::string haystack, needle;
    std::size_t expected;
  };
  const std::size_t npos = std::string_view::npos;
  const std::vector<Case> cases{
      {"abc", "", 0},
      {"", "a", npos},
      {"abc", "abcd", npos},
      {"xabcabc", "abc", 1},
      {"ababac", "abac", 2},
      {"aaab", "aab", 1},
      {"abcabd", "abd", 3},
      {"ABC", "abc", npos},
      {"aabaabaaab", "aabaaab", 3},
      {"xyz", "z", 2},
      {"{\"a\" \"b\"}", "\" \"", 3},
  };
  for (const Case& c : cases) {
    const CByteSearcher searcher(c.needle);
    EXPECT_EQ(searcher.FindIn(c.haystack), c.expected) << c.needle;
    EXPECT_EQ(searcher.FindByPrefixTable(c.haystack), c.expected) << c.needle;
  }
  const std::string withNul("ab\0cd", 5);
  EXPECT_EQ(CByteSearcher(std::string_view("\0c", 2)).FindIn(withNul), 2U);

  // A long search text that almost matches everywhere: a naive search would compare
  // 10^11 bytes here; this has to stay linear.
  const std::string entity(std::size_t{1} << 20, 'a');
  const CByteSearcher almost(std::string(100'000, 'a') + "b");
  for (int n = 0; n < 3; ++n) {
    EXPECT_FALSE(almost.IsIn(entity));
    EXPECT_EQ(almost.FindByPrefixTable(entity), std::string_view::npos);
  }
  EXPECT_EQ(CByteSearcher(std::string(100'000, 'a')).FindIn(entity), 0U);
}

TEST(ByteSearch, agreesWithAPlainSearchOnEitherSideOfTheShortTextBounds) {
  // Short texts in short ranges are found by their first byte and a compare, the rest by
  // the linear searches: every length around the bounds must give the same answers.
  std::uint32_t state = 12345;
  const auto nextByte = [&state] {
    state = state * 1103515245u + 12345u;
    return static_cast<char>('a' + (state >> 16) % 3);
  };
  for (const std::size_t haystackSize :
       {std::size_t{0}, std::size_t{1}, std::size_t{40}, CByteSearcher::kShortHaystack - 1,
        CByteSearcher::kShortHaystack, CByteSearcher::kShortHaystack + 1}) {
    std::string haystack(haystackSize, '\0');
    for (char& byte : haystack) byte = nextByte();
    for (const std::size_t needleSize :
         {std::size_t{1}, std::size_t{2}, std::size_t{7}, CByteSearcher::kShortNeedle - 1, CByteSearcher::kShortNeedle,
          CByteSearcher::kShortNeedle + 1}) {
      // A text taken from the end of the range, one from its middle, and one found nowhere.
      std::vector<std::string> needles;
      if (needleSize <= haystackSize) {
        needles.push_back(haystack.substr(haystackSize - needleSize));
        needles.push_back(haystack.substr((haystackSize - needleSize) / 2, needleSize));
      }
      needles.push_back(std::string(needleSize - 1, 'a') + "z");
      for (const std::string& needle : needles) {
        const CByteSearcher searcher(needle);
        const std::size_t expected = std::string_view(haystack).find(needle);
        EXPECT_EQ(searcher.FindIn(haystack), expected) << needleSize << " in " << haystackSize;
        EXPECT_EQ(searcher.FindByPrefixTable(haystack), expected) << needleSize << " in " << haystackSize;
      }
    }
  }
}

TEST(ByteSearch, findsTheLastByte) {
  const std::string text = "{a{b}";
  EXPECT_EQ(FindLastByte(text.data(), text.data() + text.size(), '{'), text.data() + 2);
  EXPECT_EQ(FindLastByte(text.data(), text.data() + 2, '{'), text.data());
  EXPECT_EQ(FindLastByte(text.data(), text.data() + 1, 'a'), nullptr);
  EXPECT_EQ(FindLastByte(text.data(), text.data(), '{'), nullptr);
}

}  // namespace
}  // namespace kestrum
