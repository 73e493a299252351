// The entities of `kestrum-cli entities` (JSON Lines, one entity per line), turned back
// into entity text as compilers write it, so that jq or any JSON tool can edit a map.
#pragma once

#include <string>
#include <string_view>

#include "map_text.h"

namespace kestrum::cli {

/**
 * Whether input reads as JSON Lines rather than entity text: its first object opens with
 * a quoted member name followed by ":" ("{\"map\": ...}"), which entity text never
 * has ("{\"classname\" \"worldspawn\"").
 */
bool LooksLikeJsonLines(std::string_view input);

/**
 * The entity text of JSON Lines: each line (empty ones skipped) one object whose "pairs"
 * is an array of [key, value] strings; other members are ignored. Each entity becomes
 * "{", one "\"key\" \"value\"" line per pair, and "}" with a line feed. Keys and values
 * go back through the encoding. Throws CInputError for a line that is not such an
 * object (with its number), and for a key or value holding a double quote, a NUL or a
 * character the encoding lacks (with the entity's index and the key).
 */
std::string EntityTextOfJsonLines(std::string_view input, MapEncoding encoding);

}  // namespace kestrum::cli
