// Analyse Entity on arbitrary entities: the token scan and the decoder write only the
// shown slots, and a flag slot holds nothing or its own weight.
#include <cstdlib>

#include "fuzz_support.h"
#include "headless_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrum;
  if (size == 0) return 0;
  // The first byte says how many of the following bytes are the search text.
  const std::size_t textLength = std::min<std::size_t>(data[0] % 16, size - 1);
  const std::string text = fuzz::BytesOf(data + 1, textLength);
  const std::string entities = fuzz::BytesOf(data + 1 + textLength, size - 1 - textLength);
  const std::string map = std::string(16, '\0') + "{\n\"classname\" \"worldspawn\"\n}\n" + entities;

  CHeadlessDialog ui;
  ui.Open(fuzz::FileOf(map));
  static const std::array<const char*, 13> kWeights{"",   "1",   "2",    "4",   "8",   "16",  "32",
                                                    "64", "128", "2048", "256", "512", "1024"};
  for (int press = 0; press < 8; ++press) {
    ui.Search(text);
    const CEntityDlg& record = ui.dialog;
    if (!record.m_keys[0].empty() || !record.m_values[0].empty() || !record.m_flags[0].empty()) std::abort();
    for (int slot = 1; slot <= 12; ++slot) {
      if (!record.m_flags[slot].empty() && record.m_flags[slot] != kWeights[slot]) std::abort();
    }
    if (record.m_cursor < 0 || record.m_matchCount < 0) std::abort();
  }
  return 0;
}
