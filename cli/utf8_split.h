// Text written in pieces: a piece may end inside a character.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestrum::cli {

/**
 * The length of the longest start of utf8 that does not end inside a character: a last
 * character whose lead byte announces more bytes than follow it is left for the next
 * piece. Bytes that are not UTF-8 count as whole characters.
 */
std::size_t LengthOfWholeCharacters(std::string_view utf8);

}  // namespace kestrum::cli
