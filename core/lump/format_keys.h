// The words of the entity text that the readers look for.
#pragma once

#include <string_view>

namespace kestrum::keys {

/** The classname of the first entity: what the locator looks for. */
inline constexpr std::string_view kWorldspawn = "worldspawn";
/** The key whose value the spawn flag decoder splits into flags. */
inline constexpr std::string_view kSpawnflags = "spawnflags";

}  // namespace kestrum::keys
