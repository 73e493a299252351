// The headers of every supported engine, damaged ones, and the rewrite of a map around a
// new entity lump, checked against maps built with each engine's layout.
#include "bsp_formats.h"

#include <gtest/gtest.h>

#include "format_map_builder.h"
#include "input_error.h"
#include "lump_rewrite.h"

namespace kestrum {
namespace {

using mapgen::BuildFormatMap;
using mapgen::HeaderKind;
using mapgen::LumpPosition;
using mapgen::SupportedHeaders;

const std::string kLump = "{\n\"classname\" \"worldspawn\"\n}\n{\n\"classname\" \"light\"\n}\n" + std::string(1, '\0');
constexpr LumpPosition kPositions[] = {LumpPosition::First, LumpPosition::Middle, LumpPosition::Last};

HeaderKind KindNamed(const std::string& name) {
  for (const HeaderKind& kind : SupportedHeaders()) {
    if (kind.name == name) return kind;
  }
  throw std::logic_error("no header kind " + name);
}

void PutInt32(std::string& bytes, std::size_t at, std::int32_t value) {
  for (std::size_t n = 0; n < 4; ++n)
    bytes[at + n] = static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * n)) & 0xFF);
}

/** The reason ReadBspLayout gives for bytes, or "" when it reads them. */
std::string RefusalOf(const std::string& bytes) {
  try {
    ReadBspLayout(CMemoryBytes("m.bsp", bytes));
    return "";
  } catch (const CInputError& error) {
    return error.what();
  }
}

TEST(BspFormats, everyLayoutFindsItsEntityLumpFirstInTheMiddleAndLast) {
  for (const HeaderKind& kind : SupportedHeaders()) {
    for (const LumpPosition position : kPositions) {
      const mapgen::FormatMap map = BuildFormatMap(kind, kLump, position);
      const BspLayout layout = ReadBspLayout(CMemoryBytes("m.bsp", map.bytes));
      SCOPED_TRACE(kind.name + " " + std::to_string(static_cast<int>(position)));
      EXPECT_EQ(layout.lumps.size(), static_cast<std::size_t>(kind.lumpCount));
      EXPECT_EQ(layout.EntityLump().offset, map.entityOffset);
      EXPECT_EQ(layout.EntityLump().length, static_cast<std::int64_t>(kLump.size()));
      EXPECT_EQ(ReadLump(CMemoryBytes("m.bsp", map.bytes), layout.EntityLump()), kLump);
    }
  }
}

TEST(BspFormats, theFormatsAreToldApartByMagicAndVersion) {
  const std::vector<std::pair<std::string, std::string>> expected{{"Quake", "Quake (version 29)"},
                                                                  {"Quake BSP2", "Quake BSP2"},
                                                                  {"Quake 2PSB", "Quake 2PSB"},
                                                                  {"Half-Life", "Half-Life (version 30)"},
                                                                  {"Quake 2", "Quake 2 (IBSP 38)"},
                                                                  {"Quake 3", "Quake 3 (IBSP 46)"},
                                                                  {"Quake 3 family", "Quake 3 family (IBSP 47)"},
                                                                  {"UFO:AI", "UFO:AI (IBSP 78)"},
                                                                  {"Source 19", "Source (VBSP 19)"},
                                                                  {"Source 20", "Source (VBSP 20)"},
                                                                  {"Source 21", "Source (VBSP 21)"}};
  for (const auto& [kind, name] : expected) {
    const mapgen::FormatMap map = BuildFormatMap(KindNamed(kind), kLump, LumpPosition::Middle);
    EXPECT_STREQ(ReadBspLayout(CMemoryBytes("m.bsp", map.bytes)).format->name, name.c_str());
  }
}

TEST(BspFormats, unknownHeadersAreRefusedWithTheirMagicAndVersion) {
  std::string bytes = BuildFormatMap(KindNamed("Quake 3"), kLump, LumpPosition::Last).bytes;
  PutInt32(bytes, 4, 45);
  EXPECT_EQ(RefusalOf(bytes), "\"m.bsp\": unknown map format: magic \"IBSP\", version 45");
  bytes.replace(0, 4, "VBSP");
  PutInt32(bytes, 4, 22);
  EXPECT_EQ(RefusalOf(bytes), "\"m.bsp\": unknown map format: magic \"VBSP\", version 22");
  PutInt32(bytes, 0, 28);
  EXPECT_EQ(RefusalOf(bytes), "\"m.bsp\": unknown map format: magic \"\\x1C\\x00\\x00\\x00\", version 22");
  EXPECT_EQ(RefusalOf("IBSP"), "\"m.bsp\": too short to be a compiled map (4 bytes)");
  EXPECT_EQ(RefusalOf(bytes.substr(0, 8).replace(0, 8, std::string("IBSP\x2E\0\0\0", 8))),
            "\"m.bsp\": too short for the header of Quake 3 (IBSP 46)");
}

TEST(BspFormats, damagedDirectoriesAreRefused) {
  const HeaderKind kind = KindNamed("Quake 2");
  const std::string good = BuildFormatMap(kind, kLump, LumpPosition::Middle).bytes;
  const std::size_t lump3 = 8 + 3 * 8;
  const std::size_t lump4 = 8 + 4 * 8;
  const auto with = [&](std::size_t at, std::int32_t value) {
    std::string bytes = good;
    PutInt32(bytes, at, value);
    return bytes;
  };
  const auto size = static_cast<std::int32_t>(good.size());
  const BspLayout layout = ReadBspLayout(CMemoryBytes("m.bsp", good));
  EXPECT_EQ(RefusalOf(with(lump3 + 4, size)),
            "\"m.bsp\": damaged header: lump 3 reaches past the end of the file (to byte " +
                std::to_string(layout.lumps[3].offset + size) + " of " + std::to_string(size) + ")");
  EXPECT_EQ(RefusalOf(with(lump3 + 4, -1)), "\"m.bsp\": damaged header: lump 3 has a negative length (-1)");
  EXPECT_EQ(RefusalOf(with(lump4, -8)), "\"m.bsp\": damaged header: lump 4 has a negative offset (-8)");
  EXPECT_EQ(RefusalOf(with(lump4, 12)), "\"m.bsp\": damaged header: lump 4 overlaps the header");
  EXPECT_EQ(RefusalOf(with(lump4, static_cast<std::int32_t>(layout.lumps[3].offset + 1))),
            "\"m.bsp\": damaged header: lump 3 and lump 4 overlap");
  EXPECT_EQ(RefusalOf(with(8, static_cast<std::int32_t>(layout.lumps[18].offset))),
            "\"m.bsp\": damaged header: lump 0 and lump 18 overlap");
  // An empty lump is in nobody's way, wherever its entry points.
  std::string empty = with(lump3 + 4, 0);
  PutInt32(empty, lump3, 0);
  EXPECT_EQ(RefusalOf(empty), "");
}

TEST(BspFormats, aCompressedSourceEntityLumpIsRefusedAndOtherCompressedLumpsAreNot) {
  std::string bytes = BuildFormatMap(KindNamed("Source 20"), kLump, LumpPosition::First).bytes;
  PutInt32(bytes, 8 + 16 * 5 + 12, 4096);
  EXPECT_EQ(RefusalOf(bytes), "");
  PutInt32(bytes, 8 + 12, 4096);
  EXPECT_EQ(RefusalOf(bytes),
            "\"m.bsp\": the entity lump of this Source (VBSP 20) map is compressed; decompress the map first");
}

/** The rewritten bytes, collected. */
std::string Rewritten(const std::string& original, const std::string& newLump, EntityLumpPlan& plan) {
  const CMemoryBytes source("m.bsp", original);
  const BspLayout layout = ReadBspLayout(source);
  plan = PlanEntityLump(layout, source.Size(), static_cast<std::int64_t>(newLump.size()));
  std::string bytes;
  RewriteMap(source, layout, plan, newLump, [&](std::string_view block) { bytes.append(block); });
  return bytes;
}

TEST(LumpRewrite, aLumpThatFitsStaysInPlaceAndALongerOneGoesToTheAlignedEnd) {
  for (const HeaderKind& kind : SupportedHeaders()) {
    for (const LumpPosition position : kPositions) {
      SCOPED_TRACE(kind.name + " " + std::to_string(static_cast<int>(position)));
      // Ends one to three bytes past a multiple of 4, whatever the layout.
      std::string original = BuildFormatMap(kind, kLump, position, 61).bytes;
      original += "xy";
      if (original.size() % 4 == 0) original += "z";
      const CMemoryBytes source("m.bsp", original);
      const BspLayout layout = ReadBspLayout(source);
      for (const std::string& newLump : {std::string("{\n\"classname\" \"worldspawn\"\n}\n"), kLump + kLump}) {
        EntityLumpPlan plan;
        const std::string bytes = Rewritten(original, newLump, plan);
        const CMemoryBytes written("w.bsp", bytes);
        const BspLayout after = ReadBspLayout(written);
        EXPECT_EQ(ReadLump(written, after.EntityLump()), newLump);
        for (std::size_t index = 1; index < layout.lumps.size(); ++index) {
          EXPECT_EQ(after.lumps[index].offset, layout.lumps[index].offset);
          EXPECT_EQ(ReadLump(written, after.lumps[index]), ReadLump(source, layout.lumps[index]));
        }
        const LumpPlace old = layout.EntityLump();
        if (newLump.size() <= kLump.size()) {
          EXPECT_EQ(after.EntityLump().offset, old.offset);
          EXPECT_EQ(bytes.size(), original.size());
          EXPECT_EQ(bytes.substr(static_cast<std::size_t>(old.offset) + newLump.size(), kLump.size() - newLump.size()),
                    std::string(kLump.size() - newLump.size(), '\0'));
        } else {
          const std::size_t aligned = (original.size() + 3) / 4 * 4;
          EXPECT_EQ(after.EntityLump().offset, static_cast<std::int64_t>(aligned));
          EXPECT_EQ(bytes.substr(original.size(), aligned - original.size()),
                    std::string(aligned - original.size(), '\0'));
          EXPECT_EQ(bytes.substr(static_cast<std::size_t>(old.offset), kLump.size()), std::string(kLump.size(), '\0'));
        }
        EXPECT_NO_THROW(CheckRewrittenMap(written, source, layout, plan, newLump));
      }
    }
  }
}

TEST(LumpRewrite, theCheckFindsEveryDifferenceFromWhatWasMeant) {
  const std::string original = BuildFormatMap(KindNamed("Source 21"), kLump, LumpPosition::Middle).bytes;
  const CMemoryBytes source("m.bsp", original);
  const BspLayout layout = ReadBspLayout(source);
  const std::string newLump = kLump + "{\n}\n";
  EntityLumpPlan plan;
  const std::string good = Rewritten(original, newLump, plan);
  const auto check = [&](const std::string& bytes) -> std::string {
    try {
      CheckRewrittenMap(CMemoryBytes("w.bsp", bytes), source, layout, plan, newLump);
      return "";
    } catch (const CInputError& error) {
      return error.what();
    }
  };
  const auto flipped = [&](std::int64_t at) {
    std::string bytes = good;
    bytes[static_cast<std::size_t>(at)] ^= 0x40;
    return bytes;
  };
  const std::string tail = "); nothing was changed";
  EXPECT_EQ(check(good), "");
  EXPECT_EQ(check(flipped(layout.lumps[40].offset + 3)),
            "\"w.bsp\": the written map is not what was meant (lump 40 changed" + tail);
  EXPECT_EQ(check(flipped(plan.newPlace.offset + 5)),
            "\"w.bsp\": the written map is not what was meant (its entity lump holds other bytes" + tail);
  EXPECT_EQ(
      check(flipped(8 + 16 * 7 + 8)),
      "\"w.bsp\": the written map is not what was meant (its header differs besides the entity lump's place" + tail);
  EXPECT_EQ(check(good.substr(0, good.size() - 1)), "\"w.bsp\": the written map is not what was meant (its length is " +
                                                        std::to_string(good.size() - 1) + tail);
  EXPECT_NE(check(flipped(1)).find("its header does not read"), std::string::npos);
}

TEST(LumpRewrite, theNewLumpEndsAsTheOldOneDid) {
  EXPECT_EQ(EntityLumpOfText("{}\n", std::string("{x}\n\0\0pad", 9)), std::string("{}\n\0\0pad", 8));
  EXPECT_EQ(EntityLumpOfText("{}\n", "{x}\n"), "{}\n");
  EXPECT_EQ(EntityTextOfLump(std::string("{x}\n\0\0pad", 9)), "{x}\n");
  EXPECT_EQ(EntityTextOfLump("{x}\n"), "{x}\n");
}

}  // namespace
}  // namespace kestrum
