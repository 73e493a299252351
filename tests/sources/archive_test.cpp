// Reading maps out of PACK files and zip archives that the tests build.
#include "archive.h"

#include <gtest/gtest.h>

#include <memory>

#include "archive_builder.h"
#include "file.h"
#include "test_files.h"

namespace kestrum {
namespace {

using namespace std::string_literals;
using sources::ArchiveMember;
using sources::CArchive;

/** Runs f and returns the message of the CInputError it throws ("" when none). */
template <typename F>
std::string FailureOf(F&& f) {
  try {
    f();
  } catch (const CInputError& error) {
    return error.what();
  }
  return "";
}

/** A member's bytes, read whole from the map the archive hands out. */
std::string ReadWhole(const CArchive& archive, const ArchiveMember& member) {
  const std::shared_ptr<const IByteSource> map = archive.ReadMap(member);
  std::string bytes(static_cast<std::size_t>(map->Size()), '\0');
  bytes.resize(map->ReadAt(0, bytes.data(), bytes.size()));
  return bytes;
}

std::vector<std::string> Names(const CArchive& archive) {
  std::vector<std::string> names;
  for (const ArchiveMember& member : archive.Members()) names.push_back(member.name);
  return names;
}

const test::ArchiveContents kContents{
    {"maps/e1m1.bsp", "IBSP map one\0with a NUL"s},
    {"progs.dat", std::string(3000, 'p')},
    {"maps/START.BSP", "\0\x01\xff{\"a\" \"b\"}"s},
    {"maps/empty.bsp", ""},
};

class ArchiveTest : public ::testing::Test {
 protected:
  void ExpectReadsTheContents(const std::string& path) {
    const std::shared_ptr<const CArchive> archive = sources::OpenArchive(path);
    ASSERT_EQ(Names(*archive),
              (std::vector<std::string>{"maps/e1m1.bsp", "progs.dat", "maps/START.BSP", "maps/empty.bsp"}));
    for (std::size_t n = 0; n < kContents.size(); ++n) {
      EXPECT_EQ(archive->Members()[n].size, kContents[n].second.size());
      EXPECT_EQ(ReadWhole(*archive, archive->Members()[n]), kContents[n].second) << kContents[n].first;
    }
    // Members can be read again and in any order.
    EXPECT_EQ(ReadWhole(*archive, archive->Members()[0]), kContents[0].second);
  }

  test::TempDir m_dir;
};

TEST_F(ArchiveTest, membersUnpackedPastWhatMemoryHoldsReadBackByteForByte) {
  // Each member passes what one member may keep in memory; several at once pass what all
  // may keep: they go to scratch files, and read back the same.
  const std::size_t size = sources::CMemberBytes::kMemberInMemory + 12345;
  std::vector<std::unique_ptr<sources::CMemberBytes>> collecting;
  std::vector<std::shared_ptr<const IByteSource>> maps;
  std::string block(4093, '\0');  // a block size that meets no power of two
  for (int member = 0; member < 8; ++member) {
    auto bytes = std::make_unique<sources::CMemberBytes>("m" + std::to_string(member));
    // Below one member's share: in memory, while the shared memory lasts.
    const std::size_t length = member % 2 == 0 ? size : size / 3;
    for (std::size_t at = 0; at < length; at += block.size()) {
      for (std::size_t n = 0; n < block.size(); ++n) block[n] = static_cast<char>((at + n) * 31 + member);
      bytes->Append(block.data(), std::min(block.size(), length - at));
    }
    maps.push_back(bytes->Finish());
    collecting.push_back(std::move(bytes));
  }
  for (int member = 0; member < 8; ++member) {
    const std::size_t length = member % 2 == 0 ? size : size / 3;
    ASSERT_EQ(maps[member]->Size(), static_cast<std::int64_t>(length)) << member;
    for (const std::size_t at : {std::size_t{0}, length / 2 + 7, length - 100}) {
      std::string got(100, '\0');
      ASSERT_EQ(maps[member]->ReadAt(static_cast<std::int64_t>(at), got.data(), got.size()), 100u);
      for (std::size_t n = 0; n < got.size(); ++n) {
        ASSERT_EQ(got[n], static_cast<char>((at + n) * 31 + member)) << member << " at " << at + n;
      }
    }
  }
}

TEST_F(ArchiveTest, pakMembersReadBackByteForByte) {
  const std::string path = m_dir.File("pak0.PAK");
  test::WriteFile(path, test::PakBytes(kContents));
  ExpectReadsTheContents(path);
}

TEST_F(ArchiveTest, damagedPakFilesAreRefusedWithTheirName) {
  const std::string path = m_dir.File("pak1.pak");
  const std::string good = test::PakBytes(kContents);
  struct Damage {
    std::string bytes;
    std::string message;
  };
  std::string directoryPastTheEnd = good;
  directoryPastTheEnd[9] = '\x7f';  // the directory's length, still a whole number of entries
  std::string partOfAnEntry = good;
  partOfAnEntry[8] = static_cast<char>(partOfAnEntry[8] + 1);
  const std::vector<Damage> damages{
      {"", "\"" + path + "\": damaged PACK archive: the file is 0 bytes long, shorter than its 12-byte header"},
      {"PACK", "\"" + path + "\": damaged PACK archive: the file is 4 bytes long, shorter than its 12-byte header"},
      {"PA", "\"" + path + "\": damaged PACK archive: the file is 2 bytes long, shorter than its 12-byte header"},
      {"PK\x03\x04 and so on", "\"" + path + "\": not a PACK archive (no \"PACK\" header)"},
      {"PK", "\"" + path + "\": not a PACK archive (no \"PACK\" header)"},
      {directoryPastTheEnd, "\"" + path + "\": damaged PACK archive: its directory does not fit the file"},
      {partOfAnEntry, "\"" + path + "\": damaged PACK archive: its directory of " +
                          std::to_string(static_cast<unsigned char>(partOfAnEntry[8]) +
                                         256 * static_cast<unsigned char>(partOfAnEntry[9])) +
                          " bytes is no whole number of 64-byte entries"},
      {good.substr(0, good.size() - 1), "\"" + path + "\": damaged PACK archive: its directory does not fit the file"},
  };
  for (const Damage& damage : damages) {
    test::WriteFile(path, damage.bytes);
    EXPECT_EQ(FailureOf([&] { sources::OpenArchive(path); }), damage.message);
  }
}

TEST_F(ArchiveTest, pakMembersPastTheEndOrOver2GiBAreRefusedWhenRead) {
  const std::string path = m_dir.File("pak2.pak");
  std::string bytes = test::PakBytes({{"maps/a.bsp", "abc"}, {"maps/big.bsp", "x"}});
  const std::size_t directory = bytes.size() - 128;
  bytes[directory + 61] = '\x7f';                          // a.bsp: 32,515 bytes long, past the end
  bytes.replace(directory + 64 + 60, 4, "\0\0\0\x80", 4);  // big.bsp: 2 GiB long
  test::WriteFile(path, bytes);
  const std::shared_ptr<const CArchive> archive = sources::OpenArchive(path);
  EXPECT_EQ(FailureOf([&] { ReadWhole(*archive, archive->Members()[0]); }),
            "\"" + path + ":maps/a.bsp\": damaged PACK archive: the member runs past its end");
  EXPECT_EQ(
      FailureOf([&] { ReadWhole(*archive, archive->Members()[1]); }),
      "\"" + path + ":maps/big.bsp\": the member is 2 GiB or larger; Kestrum reads maps of up to 2 GiB - 1 bytes");

  // A member that ends at the file's last byte is read; one byte longer, it is damaged.
  const std::string edge = m_dir.File("edge.pak");
  std::string last = test::PakBytes({{"maps/c.bsp", "abc"}});
  const std::size_t entry = last.size() - 64;
  const auto location = static_cast<std::uint32_t>(static_cast<unsigned char>(last[entry + 56]) |
                                                   static_cast<unsigned char>(last[entry + 57]) << 8);
  for (const std::uint32_t extra : {0u, 1u}) {
    const std::uint32_t size = static_cast<std::uint32_t>(last.size()) - location + extra;
    for (int n = 0; n < 4; ++n) last[entry + 60 + n] = static_cast<char>(size >> (8 * n));
    test::WriteFile(edge, last);
    const std::shared_ptr<const CArchive> pak = sources::OpenArchive(edge);
    EXPECT_EQ(FailureOf([&] { EXPECT_EQ(ReadWhole(*pak, pak->Members()[0]).size(), size); }),
              extra == 0 ? "" : "\"" + edge + ":maps/c.bsp\": damaged PACK archive: the member runs past its end");
  }
}

TEST(ArchiveNames, areKnownByTheirExtensionInAnyCase) {
  for (const char* name : {"pak0.pk3", "PAK0.PK3", "x/y.pk4", "a.zip", "a.ZiP", "id1/pak0.pak", "PAK1.PAK", ".pk3"}) {
    EXPECT_TRUE(sources::IsArchiveName(name)) << name;
  }
  for (const char* name : {"e1m1.bsp", "pk3", "a.pk3.txt", "a.zipx", ".pa", ""}) {
    EXPECT_FALSE(sources::IsArchiveName(name)) << name;
  }
}

#ifdef KESTRUM_WITH_ZIP

TEST_F(ArchiveTest, zipMembersReadBackByteForByteDeflatedOrStored) {
  for (const bool store : {false, true}) {
    const std::string path = m_dir.File(store ? "stored.zip" : "pak0.pk3");
    test::WriteZip(path, kContents, store);
    ExpectReadsTheContents(path);
  }
}

TEST_F(ArchiveTest, aDamagedZipMemberIsRefusedWithItsName) {
  const std::string path = m_dir.File("broken.pk3");
  test::WriteZip(path, {{"maps/a.bsp", std::string(1000, 'a')}, {"maps/b.bsp", "bbbb"}}, true);
  std::string bytes = test::ReadFile(path);
  bytes[30 + 10 + 500] = 'X';  // inside a.bsp's stored bytes, after its local header and name
  test::WriteFile(path, bytes);
  const std::shared_ptr<const CArchive> archive = sources::OpenArchive(path);
  const std::string failure = FailureOf([&] { ReadWhole(*archive, archive->Members()[0]); });
  EXPECT_EQ(failure.rfind("\"" + path + ":maps/a.bsp\": damaged member: ", 0), 0u) << failure;
  EXPECT_EQ(ReadWhole(*archive, archive->Members()[1]), "bbbb");

  // A member longer than its directory entry says: its first bytes alone are no map.
  const std::string longer = m_dir.File("longer.pk3");
  test::WriteZip(longer, {{"maps/c.bsp", std::string(1000, 'c')}}, true);
  bytes = test::ReadFile(longer);
  const std::size_t central = bytes.find("PK\x01\x02");
  ASSERT_NE(central, std::string::npos);
  for (const std::size_t size : {std::size_t{22}, central + 24}) bytes.replace(size, 4, "\x84\x03\0\0", 4);  // 900
  test::WriteFile(longer, bytes);
  const std::shared_ptr<const CArchive> truncated = sources::OpenArchive(longer);
  EXPECT_EQ(FailureOf([&] { ReadWhole(*truncated, truncated->Members()[0]); }),
            "\"" + longer + ":maps/c.bsp\": damaged member: the member is longer than the archive's directory says");
}

TEST_F(ArchiveTest, aZipMemberIsReadAsItIsNotAsItsDirectoryClaims) {
  const std::string path = m_dir.File("claims.pk3");
  test::WriteZip(path, {{"maps/small.bsp", "a small map"}}, true);
  test::ClaimZipMemberSize(path, 0x7FFFFFFF);  // just under 2 GiB: a map could be that long
  const std::shared_ptr<const CArchive> archive = sources::OpenArchive(path);
  ASSERT_EQ(archive->Members()[0].size, 0x7FFFFFFFu);
  // libzip finds the local header at odds with the directory before the bytes run out.
  EXPECT_EQ(FailureOf([&] { archive->ReadMap(archive->Members()[0]); }),
            "\"" + path + ":maps/small.bsp\": damaged member: Zip archive inconsistent");
}

TEST_F(ArchiveTest, aZipMemberClaimingTheZip64SizeWithoutItsRecordIsADamagedArchive) {
  const std::string path = m_dir.File("ff.pk3");
  test::WriteZip(path, {{"maps/small.bsp", "a small map"}}, true);
  test::ClaimZipMemberSize(path, 0xFFFFFFFF);
  EXPECT_EQ(FailureOf([&] { sources::OpenArchive(path); }),
            "\"" + path + "\": damaged zip archive: its directory refers to records the archive does not hold");
  EXPECT_NE(FailureOf([&] { sources::OpenArchive(m_dir.File("missing.pk3")); }).find("No such file"),
            std::string::npos);
}

TEST_F(ArchiveTest, aFileThatIsNoZipArchiveIsRefused) {
  const std::string path = m_dir.File("fake.pk3");
  test::WriteFile(path, "this is not a zip archive at all");
  EXPECT_EQ(FailureOf([&] { sources::OpenArchive(path); }),
            "\"" + path + "\": cannot read the zip archive: Not a zip archive");
}

#else

TEST_F(ArchiveTest, zipArchivesAreNamedAsUnsupported) {
  EXPECT_FALSE(sources::ZipArchivesSupported());
  const std::string failure = FailureOf([&] { sources::OpenArchive(m_dir.File("pak0.pk3")); });
  EXPECT_NE(failure.find("reads no zip archives"), std::string::npos) << failure;
}

#endif

}  // namespace
}  // namespace kestrum
