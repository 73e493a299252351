// The locator's rule written as plainly as it reads, on a whole file in memory: the
// reference the block-wise locator must agree with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrum::test {

/** The first quoted "worldspawn" of the scanned range, else its first bare one; the range as the locator takes it. */
std::optional<std::int32_t> ReferenceKey(const std::string& file);

/** The "{" nearest in front of the reference key, at most 128 bytes + 1 MiB back; nothing for a key at 0. */
std::optional<std::int32_t> ReferenceLocate(const std::string& file);

}  // namespace kestrum::test
