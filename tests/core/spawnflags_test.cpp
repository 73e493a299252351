#include <gtest/gtest.h>

#include "headless_dialog.h"

namespace kestrum {
namespace {

class SpawnflagsTest : public ::testing::Test {
 protected:
  std::vector<std::string> Decode(std::initializer_list<int> values) {
    for (std::string& flag : m_ui.dialog.m_flags) flag.clear();
    for (const int value : values) m_ui.dialog.ShowSpawnflags(value);
    return {m_ui.dialog.m_flags.begin() + 1, m_ui.dialog.m_flags.end()};
  }

  CHeadlessDialog m_ui;
};

// Slot n shows this weight.
const std::array<int, 12> kSlotWeights{1, 2, 4, 8, 16, 32, 64, 128, 2048, 256, 512, 1024};

TEST_F(SpawnflagsTest, eachValueUpTo4095WritesExactlyTheSlotsOfItsBits) {
  for (int value = 0; value <= 4095; ++value) {
    const std::vector<std::string> flags = Decode({value});
    for (int slot = 0; slot < 12; ++slot) {
      const int weight = kSlotWeights[slot];
      ASSERT_EQ(flags[slot], (value & weight) ? std::to_string(weight) : "") << value << " slot " << slot + 1;
    }
  }
}

TEST_F(SpawnflagsTest, knownValues) {
  EXPECT_EQ(Decode({778}), (std::vector<std::string>{"", "2", "", "8", "", "", "", "", "", "256", "512", ""}));
  EXPECT_EQ(Decode({2048}), (std::vector<std::string>{"", "", "", "", "", "", "", "", "2048", "", "", ""}));
  EXPECT_EQ(Decode({2048 + 1024 + 512 + 256}),
            (std::vector<std::string>{"", "", "", "", "", "", "", "", "2048", "256", "512", "1024"}));
}

TEST_F(SpawnflagsTest, zeroAndNegativeValuesWriteNothing) {
  for (const int value : {0, -1, -4096, std::numeric_limits<int>::min()}) {
    EXPECT_EQ(Decode({value}), std::vector<std::string>(12)) << value;
  }
}

TEST_F(SpawnflagsTest, valuesFrom4096OnShowTheBitsOfTheirLowTwelve) {
  const std::vector<std::string> none(12);
  const std::vector<std::string> all{"1", "2", "4", "8", "16", "32", "64", "128", "2048", "256", "512", "1024"};
  EXPECT_EQ(Decode({4096}), none);  // bit 12 alone has no box
  EXPECT_EQ(Decode({8192 + 4096}), none);
  EXPECT_EQ(Decode({4096 + 4095}), all);
  EXPECT_EQ(Decode({std::numeric_limits<int>::max()}), all);
  EXPECT_EQ(Decode({4096 + 256 + 1}), (std::vector<std::string>{"1", "", "", "", "", "", "", "", "", "256", "", ""}));
  EXPECT_EQ(Decode({(1 << 20) + 2048 + 2}),
            (std::vector<std::string>{"", "2", "", "", "", "", "", "", "2048", "", "", ""}));
}

TEST_F(SpawnflagsTest, severalValuesAddUpWithoutClearing) {
  EXPECT_EQ(Decode({1, 2}), (std::vector<std::string>{"1", "2", "", "", "", "", "", "", "", "", "", ""}));
}

}  // namespace
}  // namespace kestrum
