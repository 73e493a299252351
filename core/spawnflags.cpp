// The spawn flag decoder.
#include "entity_dlg.h"

namespace kestrum {
namespace {

/** The box that shows one weight, and what it shows. */
struct FlagBox {
  int slot;
  std::string_view text;  ///< the weight in decimal
};

// Indexed by the weight's bit. Slots 1-8 show 1 to 128, slot 9 shows 2048, and slots
// 10-12 show the difficulty flags 256, 512 and 1024 (Easy, Medium, Difficult).
constexpr std::array<FlagBox, CEntityDlg::kFlagSlots> kBoxOfBit{{
    {1, "1"},    {2, "2"},     {3, "4"},     {4, "8"},     {5, "16"},   {6, "32"},
    {7, "64"},   {8, "128"},   {10, "256"},  {11, "512"},  {12, "1024"}, {9, "2048"},
}};

}  // namespace

void CEntityDlg::ShowSpawnflags(int value) {
  // The weights are the twelve low bits, so splitting a value into them, highest first,
  // leaves exactly its set bits; they are written lowest first, each in its own slot.
  // Only the low twelve bits have a box: a bit above them does not light every box
  // (greedy subtraction of 4096 would leave 2048 + 2048). Negative values show nothing.
  // Slots are only written, so several values of one entity add up.
  if (value < 0) return;
  // As strings, so that writing one is a copy into the slot's own room.
  static const std::array<std::string, CEntityDlg::kFlagSlots> kTexts = [] {
    std::array<std::string, CEntityDlg::kFlagSlots> texts;
    for (std::size_t bit = 0; bit < texts.size(); ++bit) texts[bit] = kBoxOfBit[bit].text;
    return texts;
  }();
  constexpr unsigned kBitsWithABox = 0xFFF;
  for (unsigned bits = static_cast<unsigned>(value) & kBitsWithABox; bits != 0; bits &= bits - 1) {
    const auto bit = static_cast<std::size_t>(__builtin_ctz(bits));
    m_flags[kBoxOfBit[bit].slot] = kTexts[bit];
  }
}

}  // namespace kestrum
