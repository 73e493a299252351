#include "lump_rewrite.h"

#include <algorithm>
#include <vector>

#include "input_error.h"

namespace kestrum {
namespace {

constexpr std::int64_t kAlignment = 4;
constexpr std::size_t kBlockSize = std::size_t{1} << 20;

std::string LittleEndian32(std::int64_t value) {
  std::string bytes(4, '\0');
  for (int n = 0; n < 4; ++n) bytes[static_cast<std::size_t>(n)] = static_cast<char>((value >> (8 * n)) & 0xFF);
  return bytes;
}

/** Bytes laid over the original at an offset; later ones win where they cross. */
struct Overlay {
  std::int64_t offset;
  std::string_view bytes;
};

void Apply(const Overlay& overlay, std::int64_t blockStart, std::string& block) {
  const std::int64_t blockEnd = blockStart + static_cast<std::int64_t>(block.size());
  const std::int64_t from = std::max(overlay.offset, blockStart);
  const std::int64_t to = std::min(overlay.offset + static_cast<std::int64_t>(overlay.bytes.size()), blockEnd);
  if (from >= to) return;
  std::copy_n(overlay.bytes.data() + (from - overlay.offset), to - from, block.data() + (from - blockStart));
}

/** Whether two byte sources hold the same bytes in a range, read block by block. */
bool SameBytes(const IByteSource& a, const IByteSource& b, std::int64_t offset, std::int64_t length) {
  std::string blockA;
  std::string blockB;
  for (std::int64_t at = offset; at < offset + length; at += static_cast<std::int64_t>(blockA.size())) {
    const auto count = static_cast<std::size_t>(std::min<std::int64_t>(kBlockSize, offset + length - at));
    blockA.assign(count, '\0');
    blockB.assign(count, '\0');
    if (a.ReadAt(at, blockA.data(), count) != count || b.ReadAt(at, blockB.data(), count) != count) return false;
    if (blockA != blockB) return false;
  }
  return true;
}

/** The header's bytes, with the entity lump's offset and length left out. */
std::string HeaderBesidesEntityPlace(const IByteSource& map, const BspLayout& layout) {
  std::string header(layout.format->headerSize, '\0');
  map.ReadAt(0, header.data(), header.size());
  header.replace(layout.EntryOffset(0), 8, 8, '\0');
  return header;
}

}  // namespace

EntityLumpPlan PlanEntityLump(const BspLayout& layout, std::int64_t mapSize, std::int64_t newLength) {
  const LumpPlace& old = layout.EntityLump();
  if (newLength <= old.length) return {{old.offset, newLength}, mapSize};
  const std::int64_t end = (mapSize + kAlignment - 1) / kAlignment * kAlignment;
  return {{end, newLength}, end + newLength};
}

void RewriteMap(const IByteSource& original, const BspLayout& layout, const EntityLumpPlan& plan,
                std::string_view newLump, const std::function<void(std::string_view)>& sink) {
  const std::string entry = LittleEndian32(plan.newPlace.offset) + LittleEndian32(plan.newPlace.length);
  const std::string zeros(static_cast<std::size_t>(layout.EntityLump().length), '\0');
  const std::vector<Overlay> overlays{{static_cast<std::int64_t>(layout.EntryOffset(0)), entry},
                                      {layout.EntityLump().offset, zeros},
                                      {plan.newPlace.offset, newLump}};
  const std::int64_t originalSize = original.Size();
  std::string block;
  for (std::int64_t at = 0; at < plan.newSize; at += static_cast<std::int64_t>(block.size())) {
    block.assign(static_cast<std::size_t>(std::min<std::int64_t>(kBlockSize, plan.newSize - at)), '\0');
    if (at < originalSize) original.ReadAt(at, block.data(), block.size());
    for (const Overlay& overlay : overlays) Apply(overlay, at, block);
    sink(block);
  }
}

void CheckRewrittenMap(const IByteSource& written, const IByteSource& original, const BspLayout& layout,
                       const EntityLumpPlan& plan, std::string_view newLump) {
  const auto differs = [&](const std::string& what) {
    throw CInputError(written.Name(), "the written map is not what was meant (" + what + "); nothing was changed");
  };
  if (written.Size() != plan.newSize) differs("its length is " + std::to_string(written.Size()));
  BspLayout readBack;
  try {
    readBack = ReadBspLayout(written);
  } catch (const CInputError& error) {
    differs(std::string("its header does not read: ") + error.what());
  }
  if (readBack.format != layout.format) differs(std::string("it reads as ") + readBack.format->name);
  const LumpPlace& entities = readBack.EntityLump();
  if (entities.offset != plan.newPlace.offset || entities.length != plan.newPlace.length) {
    differs("its entity lump is not where it was meant to go");
  }
  if (ReadLump(written, entities) != newLump) differs("its entity lump holds other bytes");
  if (HeaderBesidesEntityPlace(written, readBack) != HeaderBesidesEntityPlace(original, layout)) {
    differs("its header differs besides the entity lump's place");
  }
  for (std::size_t index = 1; index < layout.lumps.size(); ++index) {
    const LumpPlace& lump = layout.lumps[index];
    if (!SameBytes(written, original, lump.offset, lump.length)) differs("lump " + std::to_string(index) + " changed");
  }
}

std::string EntityLumpOfText(std::string_view text, std::string_view oldLump) {
  const std::size_t nul = oldLump.find('\0');
  std::string lump(text);
  if (nul != std::string_view::npos) lump.append(oldLump.substr(nul));
  return lump;
}

std::string_view EntityTextOfLump(std::string_view lump) {
  return lump.substr(0, lump.find('\0'));
}

}  // namespace kestrum
