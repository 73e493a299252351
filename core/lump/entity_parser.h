// Reading an entity lump as the game engines read it, for scripts that want every pair
// of every entity: unlike the dialog's positional token scan, this goes by tokens.
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
};

/**
 * Reads the entities of text, which holds the map's bytes from the first entity's "{"
 * on; textOffset is where that "{" stands in the map. Tokens are "{", "}" and quoted
 * strings (no escapes), separated by any bytes from 1 to 32 and by "//" comments that
 * run to the end of their line. The lump ends at a NUL, at the end of the text, or at
 * the first text that does not begin an entity.
 *
 * A quoted string must close on its own line: compiled maps never hold a line break in a
 * key or value, and stopping there keeps a missing quote from swallowing the entities
 * after it. A malformed entity is reported and skipped up to the next line that begins
 * with "{" (or the "{" that cut it short).
 */
void ParseEntityLump(std::string_view text, std::int64_t textOffset,
                     const std::function<void(const ParsedEntity&)>& onEntity,
                     const std::function<void(const EntityParseError&)>& onError);

}  // namespace kestrum
