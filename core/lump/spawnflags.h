// The spawn flag decoder.
#pragma once

#include "entity_slots.h"

namespace kestrum {

/**
 * Splits a spawnflags value into its weights and writes each into its flag slot: slots
 * 1-8 show 1 to 128, slot 9 shows 2048, and slots 10-12 the difficulty flags 256, 512
 * and 1024 (Easy, Medium, Difficult). Only the low twelve bits have a box; a negative
 * value shows nothing. Slots are only written, so several values of one entity add up.
 */
void DecodeSpawnflags(int value, FlagSlots& flags);

}  // namespace kestrum
