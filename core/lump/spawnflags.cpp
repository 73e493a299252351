// The spawn flag decoder.
#include "spawnflags.h"

#include <cstddef>

namespace kestrum {
namespace {

// Indexed by the weight's bit. Slots 1-8 show 1 to 128, slot 9 shows 2048, and slots
// 10-12 show the difficulty flags 256, 512 and 1024 (Easy, Medium, Difficult).
constexpr std::array<int, kFlagSlots> kSlotOfBit{1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 9};

}  // namespace

void DecodeSpawnflags(int value, FlagSlots& flags) {
  // The weights are the twelve low bits, so splitting a value into them, highest first,
  // leaves exactly its set bits; they are written lowest first, each in its own slot.
  // Only the low twelve bits have a box: a bit above them does not light every box
  // (greedy subtraction of 4096 would leave 2048 + 2048). Negative values show nothing.
  // Slots are only written, so several values of one entity add up.
  if (value < 0) return;
  // What each box shows, by bit: the weight in decimal. Strings, so that writing one is a
  // copy into the slot's own room.
  static const std::array<std::string, kFlagSlots> kTextOfBit{"1",  "2",   "4",   "8",   "16",   "32",
                                                              "64", "128", "256", "512", "1024", "2048"};
  constexpr unsigned kBitsWithABox = 0xFFF;
  for (unsigned bits = static_cast<unsigned>(value) & kBitsWithABox; bits != 0; bits &= bits - 1) {
    const auto bit = static_cast<std::size_t>(__builtin_ctz(bits));
    flags[kSlotOfBit[bit]] = kTextOfBit[bit];
  }
}

}  // namespace kestrum
