// The search on arbitrary entities: the token scan and the decoder write only the shown
// slots, and a flag slot holds nothing or its own weight.
#include <array>
#include <cstdlib>

#include "byte_source.h"
#include "entity_search.h"
#include "fuzz_support.h"
#include "locator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrum;
  if (size == 0) return 0;
  // The first byte says how many of the following bytes are the search text.
  const std::size_t textLength = std::min<std::size_t>(data[0] % 16, size - 1);
  const std::string text = fuzz::BytesOf(data + 1, textLength);
  const std::string entities = fuzz::BytesOf(data + 1 + textLength, size - 1 - textLength);
  const CMemoryBytes map("input.bsp", std::string(16, '\0') + "{\n\"classname\" \"worldspawn\"\n}\n" + entities);

  LookBackWindow lookBack{};
  const std::int32_t entityOffset = LocateEntityLump(map, lookBack).value_or(0);
  const CByteSearcher searcher(text);
  SearchState state;
  SearchBuffers buffers;
  PairSlots keys;
  PairSlots values;
  FlagSlots flags;
  static const std::array<const char*, 13> kWeights{"",   "1",   "2",    "4",   "8",   "16",  "32",
                                                    "64", "128", "2048", "256", "512", "1024"};
  for (int press = 0; press < 8; ++press) {
    SearchPress(map, entityOffset, searcher, state, buffers, {keys, values, flags});
    if (!keys[0].empty() || !values[0].empty() || !flags[0].empty()) std::abort();
    for (int slot = 1; slot <= kFlagSlots; ++slot) {
      if (!flags[slot].empty() && flags[slot] != kWeights[slot]) std::abort();
    }
    if (state.cursor < 0 || state.matchCount < 0) std::abort();
  }
  return 0;
}
