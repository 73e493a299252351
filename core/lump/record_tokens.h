// The token scan that shows a found entity's pairs and flags in the slots.
#pragma once

#include <string_view>

#include "entity_slots.h"

namespace kestrum {

/**
 * Reads the quoted tokens of a record into the key and value slots, alternately. The
 * scan goes by position: it expects each closing quote to be followed by one byte and
 * then the next opening quote, as in a compiled map ("key" "value"\n), and looks for
 * each opening quote from one byte before where that layout puts it. A record laid out
 * otherwise is read as that rule reads it. The token after a "spawnflags" token is
 * decoded into the flag slots. The scan ends at a missing quote or after the 30th value.
 */
void ShowRecordTokens(std::string_view record, EntitySlots slots);

}  // namespace kestrum
