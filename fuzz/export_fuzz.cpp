// The locator and the export on arbitrary maps: the export ends (possibly at an entity cut
// short, which it then names), every record written is followed by its separator, and
// the list holds nothing else.
#include <cstdlib>

#include "byte_source.h"
#include "entity_list.h"
#include "fuzz_support.h"
#include "locator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrum;
  const CMemoryBytes map("input.bsp", fuzz::BytesOf(data, size));
  LookBackWindow lookBack{};
  const std::int32_t entityOffset = LocateEntityLump(map, lookBack).value_or(0);
  EntityWindow window{};
  std::string record;
  std::string list;
  int records = 0;
  const ListResult listed = ListEntities(map, entityOffset, window, record, [&](std::string_view bytes) {
    list.append(bytes);
    ++records;
  });
  // Each entity is handed on as its record, then its separator.
  if (records != 2 * listed.written) std::abort();
  if (listed.cutEntityOffset && (*listed.cutEntityOffset < entityOffset || *listed.cutEntityOffset >= map.Size())) {
    std::abort();
  }
  const std::string separator = "}\r\n\r\n";
  if (!list.empty() && list.compare(list.size() - separator.size(), separator.size(), separator) != 0) std::abort();
  if (list.find('\0') != std::string::npos) std::abort();  // records are text
  return 0;
}
