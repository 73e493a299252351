// Paths and messages travel through the program as UTF-8; the Windows API takes UTF-16.
// Converting at each call keeps every other line of the program free of wide strings.
#pragma once

#include <string>
#include <string_view>

namespace kestrum {

/** UTF-8 to UTF-16; a byte that is not UTF-8 becomes U+FFFD. */
std::wstring Widen(std::string_view utf8);

/** UTF-16 to UTF-8; a lone surrogate becomes U+FFFD. */
std::string Narrow(std::wstring_view utf16);

}  // namespace kestrum
