// The export of every entity, as Create list writes them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "byte_source.h"
#include "entity_stepping.h"

namespace kestrum {

struct ListResult {
  int written = 0;  ///< entities written
  /** Where the entity that ends the entities without its closing brace begins, if one does. */
  std::optional<std::int32_t> cutEntityOffset;
};

/**
 * Hands every entity from entityOffset to write, each followed by an empty line (CR LF
 * CR LF), in as many pieces as it takes. Stops at the end of the entities; an entity cut
 * short there is not written, and its offset is given. Throws CInputError when the map
 * cannot be read; what write throws passes through.
 */
ListResult ListEntities(const IByteSource& map, std::int32_t entityOffset, EntityWindow& window, std::string& record,
                        const std::function<void(std::string_view)>& write);

}  // namespace kestrum
