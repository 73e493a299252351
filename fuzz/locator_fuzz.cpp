// The locator on arbitrary files, checked against the plain reference of its rule.
#include <cstdio>
#include <cstdlib>

#include "fuzz_support.h"
#include "locator.h"
#include "locator_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrum;
  const std::string bytes = fuzz::BytesOf(data, size);
  const CMemoryBytes map("input.bsp", bytes);
  const std::optional<std::int32_t> key = ScanForKey(map);

  const std::optional<std::int32_t> reference = test::ReferenceKey(bytes);
  if (reference != key) {
    std::fprintf(stderr, "locator %d, reference %d\n", key.value_or(-1), reference.value_or(-1));
    std::abort();
  }
  if (key && bytes.compare(static_cast<std::size_t>(*key), 10, "worldspawn") != 0) std::abort();

  LookBackWindow window{};
  const std::optional<std::int32_t> brace = LocateEntityLump(map, window);
  if (brace != test::ReferenceLocate(bytes)) std::abort();
  if (brace && (!key || *brace >= *key || bytes[static_cast<std::size_t>(*brace)] != '{')) std::abort();
  return 0;
}
