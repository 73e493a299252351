// The Windows icon file of IDI_MAIN, written from the same XPM images the Linux desktop
// uses, so that the pictures live in one place.
#pragma once

#include <string>
#include <vector>

namespace kestrum::res {

/**
 * An .ico file holding each XPM image (text of an XPM file, one character per pixel, at
 * most 15 colours besides "None") as a 16-colour, 4 bits per pixel image. Transparent
 * pixels are masked out. Throws std::invalid_argument on an XPM it cannot read.
 */
std::string IconFileFromXpm(const std::vector<std::string>& xpmTexts);

}  // namespace kestrum::res
