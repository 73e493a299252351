// Reading an entity lump as the game engines read it, for scripts that want every pair
// of every entity: unlike the dialog's token scan of one record, this reads the lump's
// own grammar, comments and bare words included.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrum {

/** One entity with all its pairs, in the order they stand, duplicates kept. */
struct ParsedEntity {
  std::int64_t offset = 0;  ///< of its "{" in the map
  int index = 0;            ///< its place among the lump's entities, from 0 (the world)
  std::vector<std::pair<std::string_view, std::string_view>> pairs;  ///< views into the parsed text
};

/** An entity that could not be read; the entities after it are read all the same. */
struct EntityParseError {
  std::int64_t offset = 0;  ///< of the entity's "{"
  int index = 0;
  std::string reason;
  std::int64_t at = 0;  ///< where the fault shows: an unclosed quote, a key without a value, the lump's end
};

/**
 * Reads the entities of text, which holds the map's bytes from the first entity's "{"
 * on; textOffset is where that "{" stands in the map. The lump ends at a NUL, at the end
 * of the text, or at the first text that does not begin an entity.
 *
 * The tokens are those of the most permissive engine parser (Quake 3's): "{" and "}";
 * quoted strings, which may span lines and know no escapes; and bare words, which end at
 * the next byte from 1 to 32. Bytes from 1 to 32 separate tokens; "//" comments to the
 * end of their line and C-style block comments are skipped outside quotes. A key or a
 * value is a quoted string or a bare word.
 *
 * A damaged entity (a quote that the lump ends before closing, a key without a value, a
 * missing "}") is reported and the reading goes on: after the "}" that ends a key
 * without a value, at the "{" that cut an entity short, or else at the next line that
 * begins with "{". The time is linear in the text's length, whatever its bytes.
 *
 * Returns where the reading stopped, in text: at its end or its first NUL, or at the
 * first token that does not begin an entity (which an engine reports as an error).
 */
std::size_t ParseEntityLump(std::string_view text, std::int64_t textOffset,
                            const std::function<void(const ParsedEntity&)>& onEntity,
                            const std::function<void(const EntityParseError&)>& onError);

}  // namespace kestrum
