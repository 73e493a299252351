// The search through a map's entities, one press at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "byte_search.h"
#include "byte_source.h"
#include "entity_slots.h"
#include "entity_stepping.h"

namespace kestrum {

/** Where a search stands between presses. */
struct SearchState {
  std::int32_t cursor = 0;       ///< where the next press resumes
  std::int32_t matchCount = 0;   ///< matches for the current text; 0 starts over at the first entity
  std::int32_t foundOffset = 0;  ///< where the entity last found begins
};

/** The buffers a press reads entities through, kept from one press to the next. */
struct SearchBuffers {
  EntityWindow window{};
  std::string record;  ///< the entity last read
  /**
   * Where the entity that cut the entities short begins, when the last press ran into
   * one: the search did not see what lies past it, and a damaged map must say so.
   */
  std::optional<std::int32_t> cutEntityOffset;
};

/**
 * One press: steps through the entities, from the first one (entityOffset) while
 * nothing has matched the text yet and from the cursor after that, until an entity
 * holds text. Once the search has found something, every press clears the slots, and a
 * found entity's tokens then fill them. When no entity is left to match, the cursor goes
 * back to the first entity, so that the next press starts over. A press that runs into
 * an entity cut short (the lump ends before its "}") gives its offset in
 * buffers.cutEntityOffset. Returns whether an entity matched.
 *
 * Throws CInputError when the map cannot be read; the state then stays as it was, so
 * that the next press repeats this one.
 */
bool SearchPress(const IByteSource& map, std::int32_t entityOffset, const CByteSearcher& text, SearchState& state,
                 SearchBuffers& buffers, EntitySlots slots);

}  // namespace kestrum
