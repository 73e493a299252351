#include <gtest/gtest.h>

#include <cstdlib>

#include "default_list_name.h"
#include "int_conversion.h"

namespace kestrum {
namespace {

TEST(DefaultListName, replacesTheLastFourCharactersAndDropsTheFolder) {
  EXPECT_EQ(DefaultListName("D:\\work\\level.bsp"), "level.txt");
  EXPECT_EQ(DefaultListName("D:\\maps\\start"), "s.txt");
  EXPECT_EQ(DefaultListName("/home/mapper/maps/e1m1.bsp"), "e1m1.txt");
  EXPECT_EQ(DefaultListName("/home/mapper/maps\\odd/dm2.BSP"), "dm2.txt");
  EXPECT_EQ(DefaultListName("level.bsp"), "level.txt");
  EXPECT_EQ(DefaultListName("/a.bsp"), "a.txt");
  EXPECT_EQ(DefaultListName("a.bs"), ".txt");
  EXPECT_EQ(DefaultListName(""), ".txt");
}

TEST(AtoiSaturating, agreesWithAtoiWithinTheRange) {
  for (const char* text : {"0", "778", "-12", "+5", "  42", "\t\n\v\f\r7", "12abc", "abc", "", "-", " - 3",
                           "2147483647", "-2147483648", "0000000000000000000000000000000000012"}) {
    EXPECT_EQ(AtoiSaturating(text), std::atoi(text)) << '"' << text << '"';
  }
}

TEST(AtoiSaturating, saturatesOutsideTheRangeAndStopsAtTheViewsEnd) {
  EXPECT_EQ(AtoiSaturating("2147483648"), 2147483647);
  EXPECT_EQ(AtoiSaturating("9999999999999999999999999999999999999999"), 2147483647);
  EXPECT_EQ(AtoiSaturating("-2147483649"), -2147483647 - 1);
  EXPECT_EQ(AtoiSaturating("-9999999999999999999999999999999999999999"), -2147483647 - 1);
  EXPECT_EQ(AtoiSaturating(std::string_view("123456", 3)), 123);
}

}  // namespace
}  // namespace kestrum
