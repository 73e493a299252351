// What one search press shows: the dialog's boxes, and where the search stands.
#pragma once

#include "entity_search.h"
#include "entity_slots.h"

namespace kestrum::cli {

struct ShownPress {
  PairSlots keys;
  PairSlots values;
  FlagSlots flags;
  SearchState search;

  EntitySlots Slots() { return {keys, values, flags}; }
};

}  // namespace kestrum::cli
