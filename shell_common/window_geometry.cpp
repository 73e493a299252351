#include "window_geometry.h"

#include <cstdlib>

namespace kestrum::shell_common {
namespace {

/** a * b / c rounded half away from zero, with a 64-bit product. */
int MulDivRounded(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long quotient = (std::llabs(product) + c / 2) / c;
  return static_cast<int>(product < 0 ? -quotient : quotient);
}

}  // namespace

DialogUnitBase DialogUnitBaseFromFont(int widthOf52Letters, int height) {
  return {(widthOf52Letters / 26 + 1) / 2, height};
}

PixelRect MapDialogRect(const DialogUnitBase& base, int x, int y, int width, int height) {
  return {MulDivRounded(x, base.cx, 4), MulDivRounded(y, base.cy, 8), MulDivRounded(width, base.cx, 4),
          MulDivRounded(height, base.cy, 8)};
}

PixelPoint CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
  return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

}  // namespace kestrum::shell_common
