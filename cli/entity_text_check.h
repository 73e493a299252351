// The check an import makes before it writes anything: the new entities must read as
// the engines read them, with the world first.
#pragma once

#include <string_view>

namespace kestrum::cli {

/**
 * Throws CInputError, with the line and column, when text holds a NUL, an entity the
 * engine-style parser cannot read, text after the entities that begins no entity, or no
 * entity at all; and, unless worldspawnMayBeElsewhere, when the first entity's classname
 * is not "worldspawn": engines take the first entity for the world.
 */
void CheckEntityText(std::string_view text, bool worldspawnMayBeElsewhere);

}  // namespace kestrum::cli
