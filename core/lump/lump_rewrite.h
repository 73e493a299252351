// A map with its entity lump replaced, as bytes: where the new lump goes, and the map's
// bytes block by block. Writing them to a file is the caller's part.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "bsp_formats.h"

namespace kestrum {

/** Where a new entity lump goes, and how long the map becomes. */
struct EntityLumpPlan {
  LumpPlace newPlace;
  std::int64_t newSize = 0;
};

/**
 * Where the old lump was when the new one fits there, else at the end of the file,
 * aligned to 4 bytes: every other lump stays where it was, so that offsets into them
 * (Source's game lumps) stay valid.
 */
EntityLumpPlan PlanEntityLump(const BspLayout& layout, std::int64_t mapSize, std::int64_t newLength);

/**
 * Hands the bytes of the rewritten map to sink, in order, in blocks: the original map's
 * bytes, with the entity lump's directory entry pointing at the new place, the old
 * lump's bytes zero-filled, the new lump in its place and zeros before it where it went
 * past the old end. Reads the original in blocks, so that the memory stays small.
 */
void RewriteMap(const IByteSource& original, const BspLayout& layout, const EntityLumpPlan& plan,
                std::string_view newLump, const std::function<void(std::string_view)>& sink);

/**
 * Reads a rewritten map back and checks it against what was meant, before it replaces
 * anything: its header must read as the original's format with the entity lump at the
 * planned place, holding newLump; every other directory entry, the rest of the header,
 * and every other lump must be the original's, byte for byte. Throws CInputError naming
 * the first difference.
 */
void CheckRewrittenMap(const IByteSource& written, const IByteSource& original, const BspLayout& layout,
                       const EntityLumpPlan& plan, std::string_view newLump);

/**
 * The lump that replaces old when the entities' text is text: the text as given, ended
 * as the old lump was, by the old lump's bytes from its first NUL on (nothing when it had
 * none). An unchanged export thus comes back as the very same lump.
 */
std::string EntityLumpOfText(std::string_view text, std::string_view oldLump);

/** The old lump's text as engines that load external entity files expect it: up to its first NUL. */
std::string_view EntityTextOfLump(std::string_view lump);

}  // namespace kestrum
