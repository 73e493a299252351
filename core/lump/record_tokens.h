// The token scan that shows a found entity's pairs and flags in the slots.
#pragma once

#include <string_view>

#include "entity_slots.h"

namespace kestrum {

/**
 * Reads the quoted tokens of a record into the key and value slots, alternately, in the
 * order they stand: the first token opens at the record's first quote, and each next one
 * at the first quote after the closing quote of the token before. Whatever stands
 * between tokens (CR LF, tabs, several spaces, nothing at all) is passed over, so keys
 * and values stay in step on every layout. The token after a "spawnflags" token (key or
 * value) is decoded into the flag slots. The scan ends where no quote follows, at an
 * opening quote without its closing one, or after the 30th value.
 */
void ShowRecordTokens(std::string_view record, EntitySlots slots);

}  // namespace kestrum
