// Map headers and the rewrite on arbitrary bytes: a header either reads, with every lump
// inside the file and apart from the others, or is refused; a map that reads, rewritten
// around a new entity lump of any length, passes its own check and reads back with the
// new lump. The first byte chooses the new lump's length, the map follows it.
#include <cstdlib>

#include "bsp_formats.h"
#include "fuzz_support.h"
#include "input_error.h"
#include "lump_rewrite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrum;
  if (size == 0) return 0;
  const std::size_t newLength = data[0] * std::size_t{3};
  const CMemoryBytes map("input.bsp", fuzz::BytesOf(data + 1, size - 1));
  BspLayout layout;
  try {
    layout = ReadBspLayout(map);
  } catch (const CInputError&) {
    return 0;
  }
  for (const LumpPlace& lump : layout.lumps) {
    if (lump.offset < 0 || lump.length < 0 || (lump.length > 0 && lump.End() > map.Size())) std::abort();
  }
  const std::string newLump(newLength, 'e');
  const EntityLumpPlan plan = PlanEntityLump(layout, map.Size(), static_cast<std::int64_t>(newLength));
  std::string written;
  RewriteMap(map, layout, plan, newLump, [&](std::string_view block) { written.append(block); });
  const CMemoryBytes rewritten("output.bsp", written);
  try {
    CheckRewrittenMap(rewritten, map, layout, plan, newLump);
  } catch (const CInputError&) {
    std::abort();
  }
  return 0;
}
