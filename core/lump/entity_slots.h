// The boxes a found entity is shown in: keys and values by pair, flags by weight.
#pragma once

#include <array>
#include <string>

namespace kestrum {

inline constexpr int kPairSlots = 30;
inline constexpr int kFlagSlots = 12;

/** Slots 1 to 30 are shown; slot 0 exists and is never used. Value n belongs to key n. */
using PairSlots = std::array<std::string, kPairSlots + 1>;
/** Slots 1 to 12 are shown; slot 0 exists and is never used. */
using FlagSlots = std::array<std::string, kFlagSlots + 1>;

/** The slots a search press fills: views onto the caller's own arrays. */
struct EntitySlots {
  PairSlots& keys;
  PairSlots& values;
  FlagSlots& flags;
};

}  // namespace kestrum
