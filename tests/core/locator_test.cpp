#include "locator.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "locator_reference.h"
#include "map_builder.h"
#include "test_files.h"

namespace kestrum {
namespace {

using test::ReferenceKey;
using test::ReferenceLocate;

class LocatorTest : public ::testing::Test {
 protected:
  std::optional<std::int32_t> Scan(const std::string& bytes) { return ScanForKey(CMemoryBytes("scan.bsp", bytes)); }

  std::optional<std::int32_t> Locate(const std::string& bytes) {
    LookBackWindow window{};
    return LocateEntityLump(CMemoryBytes("scan.bsp", bytes), window);
  }
};

std::string Filler(std::size_t length, char byte = 'x') {
  return std::string(length, byte);
}

std::string WithKeyAt(std::string bytes, std::size_t at) {
  return bytes.replace(at, 10, "worldspawn");
}

/** The key as a classname value: its quotes on the bytes either side of at. */
std::string WithQuotedKeyAt(std::string bytes, std::size_t at) {
  return bytes.replace(at - 1, 12, "\"worldspawn\"");
}

TEST_F(LocatorTest, scanStartIsNineTenthsOnlyAboveOneMillionBytes) {
  EXPECT_EQ(ScanStart(11), 0);
  EXPECT_EQ(ScanStart(1'000'000), 0);
  EXPECT_EQ(ScanStart(1'000'001), 900'000);
  EXPECT_EQ(ScanStart(2'147'483'647), 1'932'735'282);  // 9 x L overflows 32 bits
}

TEST_F(LocatorTest, filesOfTenBytesOrFewerAreNotScanned) {
  EXPECT_EQ(Scan("worldspawn"), std::nullopt);
  EXPECT_EQ(Scan("{worldspawn"), 1);
  EXPECT_EQ(Locate("{worldspawn"), 0);  // the first entity may well begin the file
}

TEST_F(LocatorTest, keyAtOffsetZeroCountsAsNotFound) {
  const std::string bytes = WithKeyAt(Filler(300), 0);
  EXPECT_EQ(Scan(bytes), 0);
  EXPECT_EQ(Locate(bytes), std::nullopt);
}

TEST_F(LocatorTest, aQuotedKeyWinsOverEveryBareOneOfTheRange) {
  std::string bytes = WithKeyAt(Filler(400), 20);  // a bare key first
  bytes = WithQuotedKeyAt(bytes, 300);
  EXPECT_EQ(Scan(bytes), 300);
  bytes = WithQuotedKeyAt(bytes, 200);  // the first quoted one, not the last
  EXPECT_EQ(Scan(bytes), 200);
  // Half a pair of quotes is no classname: the first bare key stands.
  std::string halfQuoted = WithKeyAt(Filler(400), 100);
  halfQuoted[99] = '"';
  halfQuoted = WithKeyAt(halfQuoted, 200);
  halfQuoted[210] = '"';
  EXPECT_EQ(Scan(halfQuoted), 100);
  // A quote the range ends before is no quote: a key on the file's last bytes is bare.
  std::string atTheEnd = Filler(100) + "\"worldspawn";
  atTheEnd = WithKeyAt(atTheEnd, 30);
  EXPECT_EQ(Scan(atTheEnd), 30);
}

TEST_F(LocatorTest, largeFilesAreScannedInTheirLastTenthFirstThenWhole) {
  std::string bytes = Filler(1'000'001);
  bytes = WithKeyAt(bytes, 899'990);  // straddles the scan start: only the whole-file scan sees it
  bytes[899'000] = '{';
  EXPECT_EQ(Scan(bytes), 899'990);
  bytes = WithKeyAt(bytes, 950'000);  // the last tenth's key wins over an earlier one
  bytes[949'900] = '{';
  EXPECT_EQ(Scan(bytes), 950'000);
  EXPECT_EQ(Locate(bytes), 949'900);
  // A quoted key in front of the scan start does not count while the last tenth has a bare one.
  bytes = WithQuotedKeyAt(bytes, 500'000);
  EXPECT_EQ(Scan(bytes), 950'000);
  // A quote in front of the scan start is no quote of the range's: the key there is bare.
  std::string straddling = WithQuotedKeyAt(Filler(1'000'001), 900'000);
  EXPECT_EQ(Scan(WithQuotedKeyAt(straddling, 990'000)), 990'000);
  EXPECT_EQ(Scan(WithKeyAt(straddling, 990'000)), 900'000);

  std::string notLarge = Filler(1'000'000);
  notLarge[10] = '{';
  EXPECT_EQ(Scan(WithKeyAt(notLarge, 20)), 20);
}

TEST_F(LocatorTest, findsALumpRightAfterTheHeaderOfALargeMap) {
  // The layout of maps whose compiler writes the entities first: the header and its
  // directory, the lump at 144, then 2 MB of binary lumps (mostly NUL, never a brace).
  const mapgen::BuiltMap map = mapgen::BuildMap(mapgen::EntityLump(mapgen::DemoEntities()), 20, 2'000'000);
  ASSERT_EQ(map.lumpOffset, 144);
  std::string bytes = map.bytes;
  const std::optional<std::int32_t> key = ReferenceKey(bytes);
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(Scan(bytes), key);
  EXPECT_EQ(Locate(bytes), 144);

  // Without a key anywhere it is still no entities, after one more linear read.
  bytes.replace(static_cast<std::size_t>(*key), 10, "worldspawm");
  EXPECT_EQ(Locate(bytes), std::nullopt);
}

TEST_F(LocatorTest, theLumpsFirstEntityIsFoundOnTheShapesOfRealMaps) {
  // NUL padding in front of the lump, and a second worldspawn further on (a target's
  // name): the first one is the lump's.
  const std::string nulHidden = std::string(60, '\0') + "{\n\"classname\" \"worldspawn\"\n}\n" +
                                "{\n\"classname\" \"info_null\"\n\"target\" \"worldspawn\"\n}\n" + Filler(300);
  EXPECT_EQ(Locate(nulHidden), 60);

  // A comment line opens the lump right after a header that holds a 0x7B byte.
  std::string header = Filler(200, '\0');
  header[40] = '{';
  const std::string commented =
      header + "// worldspawn\n{\n\"classname\" \"worldspawn\"\n\"wad\" \"gfx.wad\"\n}\n{\n}\n";
  EXPECT_EQ(Locate(commented), 214);
  EXPECT_EQ(Locate(commented), ReferenceLocate(commented));

  // A stray brace of the header inside the window: the entity's own brace is the nearest.
  std::string stray = Filler(100, '\0');
  stray[30] = '{';
  stray += "{\n\"classname\" \"worldspawn\"\n}\n";
  EXPECT_EQ(Locate(stray), 100);
}

TEST_F(LocatorTest, nulBytesHideNoKey) {
  std::string even = WithKeyAt(Filler(300), 100);
  even[99] = '\0';
  EXPECT_EQ(Scan(even), 100);
  std::string odd = WithKeyAt(Filler(300), 101);
  odd[100] = '\0';
  EXPECT_EQ(Scan(odd), 101);
  std::string last = WithKeyAt(Filler(40), 30);  // on the file's last bytes
  last[29] = '\0';
  EXPECT_EQ(Scan(last), 30);
  // An earlier key behind a NUL wins over a later one in plain text.
  std::string two = WithKeyAt(Filler(400), 100);
  two[97] = '\0';
  EXPECT_EQ(Scan(WithKeyAt(two, 200)), 100);
}

TEST_F(LocatorTest, agreesWithTheReferenceAcrossTheScansReadBlocks) {
  // The scanned range is read in 1 MiB blocks, so a key or one of its quotes can lie
  // across two of them; ranges over a MiB need files over 10.5 MB.
  // Every start from 11 bytes before the block's end to one byte past it, in one of
  // three lengths (scan starts of both parities), quoted or bare, each with a rival.
  std::mt19937 random(11);
  const std::array<std::size_t, 3> lengths{11'000'003, 13'000'000, 15'000'001};
  for (std::size_t back = 0; back <= 12; ++back) {
    const std::size_t length = lengths[back % lengths.size()];
    const std::size_t blockEnd = length * 9 / 10 + (std::size_t{1} << 20);
    std::string bytes = Filler(length);
    const std::size_t key = blockEnd + 1 - back;
    bytes = back % 2 == 0 ? WithQuotedKeyAt(bytes, key) : WithKeyAt(bytes, key);
    const std::size_t rival = key + 300 + random() % 200;
    bytes = back % 4 == 1 ? WithQuotedKeyAt(bytes, rival) : WithKeyAt(bytes, rival);
    const std::optional<std::int32_t> expected = ReferenceKey(bytes);
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(Scan(bytes), expected) << "length " << length << ", key " << back << " before the block's end";
  }
}

TEST_F(LocatorTest, lookBackTakesTheNearestBraceOfItsWindowElseTheNearestWithinAMebibyte) {
  struct Case {
    std::vector<std::size_t> braces;  ///< bytes in front of the key
    std::optional<std::size_t> found;
  };
  const std::size_t kMiB = std::size_t{1} << 20;
  const std::vector<Case> cases{
      {{128, 30}, 30},               // the nearest, not the window's first byte
      {{128}, 128},                  // the window's first byte
      {{129}, 129},                  // just outside: the nearest further back
      {{300, 129}, 129},             //
      {{128 + kMiB}, 128 + kMiB},    // as far back as is searched
      {{129 + kMiB}, std::nullopt},  // one byte further: no entity
  };
  const std::size_t key = 2 * kMiB;
  for (const Case& c : cases) {
    std::string bytes = WithKeyAt(Filler(key + 100), key);
    for (const std::size_t back : c.braces) bytes[key - back] = '{';
    const std::optional<std::int32_t> expected =
        c.found ? std::optional<std::int32_t>(static_cast<std::int32_t>(key - *c.found)) : std::nullopt;
    EXPECT_EQ(Locate(bytes), expected) << "first brace " << c.braces.front() << " bytes before the key";
    EXPECT_EQ(ReferenceLocate(bytes), expected) << "the reference, first brace " << c.braces.front();
  }
}

TEST_F(LocatorTest, otherLetterCaseDoesNotMatch) {
  EXPECT_EQ(Scan(Filler(50) + "worldSpawn" + Filler(50)), std::nullopt);
  EXPECT_EQ(Scan(Filler(50) + "\"WORLDSPAWN\"" + Filler(50)), std::nullopt);
}

TEST_F(LocatorTest, lookBackNearTheFileStartSearchesFromOffsetZero) {
  std::string bytes = Filler(200);
  bytes[3] = '{';
  EXPECT_EQ(Locate(WithKeyAt(bytes, 60)), 3);
  EXPECT_EQ(Locate(WithKeyAt(Filler(200), 60)), std::nullopt);  // no brace at all
}

/** Random files full of the key's letters, quotes, braces, NUL bytes, planted keys and near misses. */
std::string RandomScanFile(std::mt19937& random) {
  static const std::string kAlphabet = "worldspawn{}\" \nx";
  std::uniform_int_distribution<int> shortOrLong(0, 9);
  const std::size_t length = shortOrLong(random) < 8 ? std::uniform_int_distribution<std::size_t>(11, 400)(random)
                                                     : std::uniform_int_distribution<std::size_t>(400, 900)(random);
  const double nulRate = std::array<double, 4>{0.0, 0.01, 0.05, 0.2}[random() % 4];
  std::bernoulli_distribution isNul(nulRate);
  std::string bytes(length, 'x');
  for (char& byte : bytes) byte = isNul(random) ? '\0' : kAlphabet[random() % kAlphabet.size()];

  static const std::array<std::string, 7> kPlants{"worldspawn", "\"worldspawn\"", "\"worldspawn",        "worldspawn\"",
                                                  "worldspaw",  "\"Worldspawn\"", "worldspawnworldspawn"};
  const int plants = static_cast<int>(random() % 5);
  for (int i = 0; i < plants; ++i) {
    const std::string& plant = kPlants[random() % kPlants.size()];
    if (plant.size() > length) continue;
    bytes.replace(random() % (length - plant.size() + 1), plant.size(), plant);
  }
  return bytes;
}

TEST_F(LocatorTest, agreesWithTheReferenceOnThousandsOfRandomFiles) {
  std::mt19937 random(20261207);
  int quoted = 0;
  int bare = 0;
  for (int round = 0; round < 6000; ++round) {
    const std::string bytes = RandomScanFile(random);
    const std::optional<std::int32_t> expected = ReferenceKey(bytes);
    if (expected && *expected > 0 && bytes[static_cast<std::size_t>(*expected) - 1] == '"') {
      ++quoted;
    } else if (expected) {
      ++bare;
    }
    ASSERT_EQ(Scan(bytes), expected) << "round " << round << ", length " << bytes.size();
    ASSERT_EQ(Locate(bytes), ReferenceLocate(bytes)) << "round " << round << ", length " << bytes.size();
  }
  // The generator must exercise quoted finds, bare finds and misses.
  EXPECT_GT(quoted, 1000);
  EXPECT_GT(bare, 1000);
}

TEST_F(LocatorTest, agreesWithTheReferenceOnLargeFilesWithKeysOnBothSidesOfTheScanStart) {
  std::mt19937 random(7);
  for (int round = 0; round < 4; ++round) {
    std::string bytes = Filler(1'000'000 + 4096 * round + round);
    const std::size_t start = static_cast<std::size_t>(ScanStart(static_cast<std::int32_t>(bytes.size())));
    bytes = WithQuotedKeyAt(bytes, 1000 + random() % 50'000);
    for (int key = 0; key < 3; ++key) {
      const std::size_t at = start + 2000 + random() % 50'000;
      bytes = key == round % 3 ? WithQuotedKeyAt(bytes, at) : WithKeyAt(bytes, at);
      bytes[at - 20] = '{';
    }
    const std::optional<std::int32_t> expected = ReferenceKey(bytes);
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(Scan(bytes), expected) << "round " << round;
    EXPECT_EQ(Locate(bytes), ReferenceLocate(bytes)) << "round " << round;
  }
}

}  // namespace
}  // namespace kestrum
