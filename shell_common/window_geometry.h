// Pixel arithmetic of the dialogs, free of any GUI library so tests can pin it down.
#pragma once

namespace kestrum::shell_common {

struct PixelRect {
  int x, y, width, height;
  bool operator==(const PixelRect& other) const {
    return x == other.x && y == other.y && width == other.width && height == other.height;
  }
};

/** Pixels per dialog unit: a horizontal unit is a quarter of cx, a vertical one an eighth of cy. */
struct DialogUnitBase {
  int cx;  ///< the dialog font's average character width
  int cy;  ///< the dialog font's line height
};

/**
 * The base of a dialog font, as a dialog manager measures it: the average width of the
 * 52 letters A-Z and a-z, rounded, and the font's height.
 */
DialogUnitBase DialogUnitBaseFromFont(int widthOf52Letters, int height);

/** A rectangle in dialog units converted to pixels, each value rounded to the nearest. */
PixelRect MapDialogRect(const DialogUnitBase& base, int x, int y, int width, int height);

struct PixelPoint {
  int x, y;
};

/**
 * Where an icon is drawn centred in a client area: (client - icon + 1) / 2 on each axis,
 * dividing toward zero, so it stays centred (at negative offsets) in an area smaller
 * than the icon.
 */
PixelPoint CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

}  // namespace kestrum::shell_common
