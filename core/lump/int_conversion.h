#pragma once

#include <cstdint>
#include <string_view>

namespace kestrum {

/**
 * atoi of the C library, on a string that need not end in NUL: leading white space,
 * an optional sign, then decimal digits up to the first other byte; 0 without digits.
 * Values beyond the 32-bit range saturate at its ends instead of being undefined.
 */
std::int32_t AtoiSaturating(std::string_view text);

}  // namespace kestrum
