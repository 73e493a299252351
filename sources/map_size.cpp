#include "map_size.h"

#include <limits>

#include "input_error.h"

namespace kestrum::sources {

std::int32_t CheckedMapSize(std::uint64_t size, const std::string& name, std::string_view kind) {
  if (size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    throw CInputError(name,
                      "the " + std::string(kind) + " is 2 GiB or larger; Kestrum reads maps of up to 2 GiB - 1 bytes");
  }
  return static_cast<std::int32_t>(size);
}

}  // namespace kestrum::sources
