// The largest map: offsets into a map are 32-bit signed throughout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrum::sources {

/**
 * The size as a map length; throws CInputError naming the map when it is 2 GiB or
 * larger. kind says what the user knows the map as: "file" or "member".
 */
std::int32_t CheckedMapSize(std::uint64_t size, const std::string& name, std::string_view kind);

}  // namespace kestrum::sources
