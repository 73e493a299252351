// The spawn flag decoder.
#include "entity_dlg.h"

namespace kestrum {
namespace {

struct FlagWeight {
  int weight;
  int slot;
};

// Highest weight first. Slots 1-8 show 1 to 128, slot 9 shows 2048, and slots 10-12
// show the difficulty flags 256, 512 and 1024 (Easy, Medium, Difficult).
constexpr std::array<FlagWeight, CEntityDlg::kFlagSlots> kWeights{{
    {2048, 9}, {1024, 12}, {512, 11}, {256, 10}, {128, 8}, {64, 7},
    {32, 6},   {16, 5},    {8, 4},    {4, 3},    {2, 2},   {1, 1},
}};

}  // namespace

void CEntityDlg::ShowSpawnflags(int value) {
  // Only the low twelve bits have a box. Taking them alone keeps a bit above them from
  // lighting every box (greedy subtraction of 4096 leaves 2048 + 2048). Negative values
  // show nothing. Slots are only written, so several values of one entity add up.
  constexpr int kBitsWithABox = 0xFFF;
  if (value > kBitsWithABox) value &= kBitsWithABox;
  for (const FlagWeight& flag : kWeights) {
    if (value >= flag.weight) {
      m_flags[flag.slot] = std::to_string(flag.weight);
      value -= flag.weight;
    }
  }
}

}  // namespace kestrum
