// The pixel arithmetic both dialogs place their controls and the minimised window's icon with.
#include "window_geometry.h"

#include <gtest/gtest.h>

namespace kestrum::shell_common {
namespace {

TEST(WindowGeometry, iconIsCentredDividingTowardZero) {
  EXPECT_EQ(CentredIconOrigin(0, 0, 32, 32).x, -15);  // toward zero, not -16
  EXPECT_EQ(CentredIconOrigin(100, 61, 32, 32).x, 34);
  EXPECT_EQ(CentredIconOrigin(100, 61, 32, 32).y, 15);
}

TEST(WindowGeometry, fontBaseIsTheRoundedAverageWidthOfTheLetters) {
  EXPECT_EQ(DialogUnitBaseFromFont(364, 14).cx, 7);
  EXPECT_EQ(DialogUnitBaseFromFont(338, 13).cx, 7);  // 6.5 rounds up
  EXPECT_EQ(DialogUnitBaseFromFont(337, 13).cx, 6);
}

TEST(WindowGeometry, dialogUnitsBecomePixelsRoundedToTheNearest) {
  const PixelRect rect = MapDialogRect({7, 13}, 75, 74, 50, 14);
  EXPECT_EQ(rect.x, 131);
  EXPECT_EQ(rect.y, 120);
  EXPECT_EQ(rect.width, 88);
  EXPECT_EQ(rect.height, 23);
}

}  // namespace
}  // namespace kestrum::shell_common
