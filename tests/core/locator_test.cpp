#include "locator.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "literal_scan.h"
#include "map_builder.h"
#include "test_files.h"

namespace kestrum {
namespace {

using test::LiteralScan;

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

TEST_F(LocatorTest, scanStartIsNineTenthsOnlyAboveOneMillionBytes) {
  EXPECT_EQ(ScanStart(11), 0);
  EXPECT_EQ(ScanStart(1'000'000), 0);
  EXPECT_EQ(ScanStart(1'000'001), 900'000);
  EXPECT_EQ(ScanStart(2'147'483'647), 1'932'735'282);  // 9 x L overflows 32 bits
}

TEST_F(LocatorTest, workedExampleOf400BytesFindsKeyInFourthProbeAndBraceAt200) {
  std::string bytes = Filler(400);
  bytes[200] = '{';
  bytes = WithKeyAt(bytes, 215);
  bytes[300] = '\0';
  EXPECT_EQ(LiteralScan(bytes).probes, 4);
  EXPECT_EQ(Scan(bytes), 215);
  EXPECT_EQ(Locate(bytes), 200);
}

TEST_F(LocatorTest, workedExampleOf1000BytesWithoutKeyReadsEverything) {
  const std::string bytes = Filler(1000);
  const test::LiteralScanResult literal = LiteralScan(bytes);
  EXPECT_EQ(literal.passes, 495);
  EXPECT_EQ(literal.probes, 4252);
  EXPECT_EQ(Scan(bytes), std::nullopt);
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

TEST_F(LocatorTest, largeFilesAreScannedInTheirLastTenthFirstThenWhole) {
  std::string bytes = Filler(1'000'001);
  bytes = WithKeyAt(bytes, 899'990);  // straddles the scan start: only the whole-file scan sees it
  bytes[899'000] = '{';
  EXPECT_EQ(Scan(bytes), 899'990);
  bytes = WithKeyAt(bytes, 950'000);  // the last tenth's key wins over an earlier one
  bytes[949'900] = '{';
  EXPECT_EQ(Scan(bytes), 950'000);
  EXPECT_EQ(Locate(bytes), 949'900);

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
  const test::LiteralScanResult literal = LiteralScan(bytes);
  ASSERT_TRUE(literal.key.has_value());
  EXPECT_EQ(Scan(bytes), literal.key);
  EXPECT_EQ(Locate(bytes), 144);

  // Without a key anywhere it is still no entities, after one more linear read.
  bytes.replace(static_cast<std::size_t>(*literal.key), 10, "worldspawm");
  EXPECT_EQ(Locate(bytes), std::nullopt);
}

TEST_F(LocatorTest, agreesWithTheLiteralScanAcrossTheScansReadBlocks) {
  // The scanned range is read in 1 MiB blocks, so a key can lie across two of them;
  // ranges over a MiB need files over 10.5 MB.
  // Every start from the block's last byte to 10 bytes before it, odd and even, each
  // in one of three lengths (scan starts of both parities).
  std::mt19937 random(11);
  const std::array<std::size_t, 3> lengths{11'000'003, 13'000'000, 15'000'001};
  for (std::size_t back = 0; back <= 10; ++back) {
    const std::size_t length = lengths[back % lengths.size()];
    const std::size_t blockEnd = length * 9 / 10 + (std::size_t{1} << 20);
    std::string bytes = Filler(length);
    const std::size_t key = blockEnd - back;
    bytes = WithKeyAt(bytes, key);
    if (back % 4 == 0) bytes[key - 1 - random() % 54] = '\0';  // hidden from some passes
    bytes = WithKeyAt(bytes, key + 300 + random() % 200);      // a rival further on
    const std::optional<std::int32_t> expected = LiteralScan(bytes).key;
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(Scan(bytes), expected) << "length " << length << ", key " << back << " before the block's end";
  }
}

TEST_F(LocatorTest, lookBackTakesTheFirstBraceOfItsWindowElseTheNearestWithinAMebibyte) {
  struct Case {
    std::vector<std::size_t> braces;  ///< bytes in front of the key
    std::optional<std::size_t> found;
  };
  const std::size_t kMiB = std::size_t{1} << 20;
  const std::vector<Case> cases{
      {{128, 30}, 128},              // the window's first byte and another inside it
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
  }
}

TEST_F(LocatorTest, keyAcrossAProbeEndIsFoundWholeByTheNextProbe) {
  EXPECT_EQ(Scan(WithKeyAt(Filler(300), 55)), 55);
  EXPECT_EQ(Scan(WithKeyAt(Filler(300), 54)), 54);
}

TEST_F(LocatorTest, keyBehindANulIsFoundOnlyFromItsOwnOffsetWithTheScanStartsParity) {
  std::string even = WithKeyAt(Filler(300), 100);
  even[99] = '\0';
  EXPECT_EQ(Scan(even), 100);

  std::string odd = WithKeyAt(Filler(300), 101);
  odd[100] = '\0';
  EXPECT_EQ(Scan(odd), std::nullopt);
}

TEST_F(LocatorTest, theEarliestPassToSeeAKeyWinsOverAnEarlierHiddenKey) {
  // Key A at 100 is hidden from every probe of passes 0 to 4 by a NUL in front of it;
  // key B at 200 lies in plain text. Pass 0 finds B before any pass reaches A.
  std::string bytes = WithKeyAt(Filler(400), 100);
  bytes[97] = '\0';
  bytes = WithKeyAt(bytes, 200);
  EXPECT_EQ(LiteralScan(bytes).key, 200);
  EXPECT_EQ(Scan(bytes), 200);
}

TEST_F(LocatorTest, otherLetterCaseDoesNotMatch) {
  EXPECT_EQ(Scan(Filler(50) + "worldSpawn" + Filler(50)), std::nullopt);
  EXPECT_EQ(Scan(Filler(50) + "WORLDSPAWN" + Filler(50)), std::nullopt);
}

TEST_F(LocatorTest, keyInTheLastTenBytesIsFoundOnlyByAPassThatRuns) {
  // 40 bytes: pass 0 reads the whole file from 0 and finds the key at 30.
  EXPECT_EQ(Scan(WithKeyAt(Filler(40), 30)), 30);
  // Behind a NUL the key at 30 would need a pass starting at 30, but passes stop
  // once their start is within 10 bytes of the end.
  std::string hidden = WithKeyAt(Filler(40), 30);
  hidden[29] = '\0';
  EXPECT_EQ(LiteralScan(hidden).key, std::nullopt);
  EXPECT_EQ(Scan(hidden), std::nullopt);
}

TEST_F(LocatorTest, lookBackTakesTheFirstBraceInTheWindowNotTheNearest) {
  std::string bytes = Filler(400);
  bytes[150] = '{';
  bytes[200] = '{';
  bytes = WithKeyAt(bytes, 215);
  EXPECT_EQ(Locate(bytes), 150);
  bytes[150] = '\0';
  bytes[160] = '\0';  // NUL bytes do not end the look-back
  EXPECT_EQ(Locate(bytes), 200);
}

TEST_F(LocatorTest, lookBackBeyondTheWindowFindsTheNearestBraceInFrontOfIt) {
  // A worldspawn whose long "wad" value puts its brace 300 bytes before the key.
  std::string bytes = Filler(600);
  bytes[20] = '{';
  bytes[100] = '{';
  bytes = WithKeyAt(bytes, 400);
  EXPECT_EQ(Locate(bytes), 100);
}

TEST_F(LocatorTest, lookBackNearTheFileStartSearchesFromOffsetZero) {
  std::string bytes = Filler(200);
  bytes[3] = '{';
  EXPECT_EQ(Locate(WithKeyAt(bytes, 60)), 3);
  EXPECT_EQ(Locate(WithKeyAt(Filler(200), 60)), std::nullopt);  // no brace at all
}

/** Random files full of the key's letters, braces, NUL bytes, planted keys and near misses. */
std::string RandomScanFile(std::mt19937& random) {
  static const std::string kAlphabet = "worldspawn{}\" \nx";
  std::uniform_int_distribution<int> shortOrLong(0, 9);
  const std::size_t length = shortOrLong(random) < 8 ? std::uniform_int_distribution<std::size_t>(11, 400)(random)
                                                     : std::uniform_int_distribution<std::size_t>(400, 900)(random);
  const double nulRate = std::array<double, 4>{0.0, 0.01, 0.05, 0.2}[random() % 4];
  std::bernoulli_distribution isNul(nulRate);
  std::string bytes(length, 'x');
  for (char& byte : bytes) byte = isNul(random) ? '\0' : kAlphabet[random() % kAlphabet.size()];

  static const std::array<std::string, 5> kPlants{"worldspawn", "worldspawn", "worldspaw", "Worldspawn",
                                                  "worldspawnworldspawn"};
  const int plants = static_cast<int>(random() % 5);
  for (int i = 0; i < plants; ++i) {
    const std::string& plant = kPlants[random() % kPlants.size()];
    if (plant.size() > length) continue;
    const std::size_t at = random() % (length - plant.size() + 1);
    bytes.replace(at, plant.size(), plant);
    if (at > 0 && random() % 2 == 0) {
      // A NUL somewhere in the 60 bytes in front hides the key from some probes.
      const std::size_t back = 1 + random() % std::min<std::size_t>(at, 60);
      bytes[at - back] = '\0';
    }
  }
  return bytes;
}

TEST_F(LocatorTest, agreesWithTheLiteralScanOnThousandsOfRandomFiles) {
  std::mt19937 random(20261207);
  int found = 0;
  for (int round = 0; round < 6000; ++round) {
    const std::string bytes = RandomScanFile(random);
    const std::optional<std::int32_t> expected = LiteralScan(bytes).key;
    found += expected.has_value();
    ASSERT_EQ(Scan(bytes), expected) << "round " << round << ", length " << bytes.size();
  }
  EXPECT_GT(found, 2000);  // the generator must exercise finds as well as misses
}

TEST_F(LocatorTest, agreesWithTheLiteralScanOnKeysInTheLast75BytesBehindNuls) {
  // There a probe is read only as the first probe of its pass, and only if that pass runs.
  std::mt19937 random(75);
  for (int round = 0; round < 3000; ++round) {
    const std::size_t length = 90 + random() % 400;
    std::string bytes = Filler(length);
    const std::size_t key = length - 10 - random() % 66;
    bytes = WithKeyAt(bytes, key);
    for (int nul = static_cast<int>(random() % 3); nul > 0; --nul) {
      bytes[key - 1 - random() % std::min<std::size_t>(key, 60)] = '\0';
    }
    if (random() % 3 == 0) bytes = WithKeyAt(bytes, random() % (key - 10));  // an earlier rival
    ASSERT_EQ(Scan(bytes), LiteralScan(bytes).key) << "round " << round << ", key " << length - key << " from the end";
  }
}

TEST_F(LocatorTest, agreesWithTheLiteralScanOnLargeFilesWithHiddenKeys) {
  std::mt19937 random(7);
  for (int round = 0; round < 4; ++round) {
    std::string bytes = Filler(1'000'000 + 4096 * round + round);
    const std::size_t start = static_cast<std::size_t>(ScanStart(static_cast<std::int32_t>(bytes.size())));
    for (int key = 0; key < 3; ++key) {
      const std::size_t at = start + 2000 + random() % 50'000;
      bytes = WithKeyAt(bytes, at);
      bytes[at - 1 - random() % 40] = '\0';
    }
    const std::optional<std::int32_t> expected = LiteralScan(bytes).key;
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(Scan(bytes), expected) << "round " << round;
  }
}

}  // namespace
}  // namespace kestrum
