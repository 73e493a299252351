// The locator on arbitrary files, checked against the literal pass-by-pass scan.
#include <cstdio>
#include <cstdlib>

#include "fuzz_support.h"
#include "literal_scan.h"
#include "locator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrum;
  const std::string bytes = fuzz::BytesOf(data, size);
  const CMemoryBytes map("input.bsp", bytes);
  const std::optional<std::int32_t> key = ScanForKey(map);

  // The literal scan is quadratic when the key is absent: only small inputs.
  if (size <= 2048) {
    const std::optional<std::int32_t> literal = test::LiteralScan(bytes).key;
    if (literal != key) {
      std::fprintf(stderr, "linear %d, literal %d\n", key.value_or(-1), literal.value_or(-1));
      std::abort();
    }
  }
  if (key && bytes.compare(static_cast<std::size_t>(*key), 10, "worldspawn") != 0) std::abort();

  LookBackWindow window{};
  if (const std::optional<std::int32_t> brace = LocateEntityLump(map, window)) {
    if (!key || *brace >= *key || bytes[static_cast<std::size_t>(*brace)] != '{') std::abort();
  }
  return 0;
}
