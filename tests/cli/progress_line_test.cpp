#include "progress_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kestrum {
namespace {

using cli::CProgressLine;
using std::chrono::milliseconds;

TEST(ProgressLine, showsOnATerminalOnlyAfterASecondAtMostTenTimesASecond) {
  const CProgressLine::Clock::time_point start{};
  std::ostringstream err;
  {
    CProgressLine line(err, true, 500, start);
    line.Show(10, 1'000'000, start + milliseconds(999));
    EXPECT_EQ(err.str(), "");
    line.Show(120, 41'340'000, start + milliseconds(2400));
    EXPECT_EQ(err.str(), "\r\x1b[Kkestrum-cli: 120/500 maps, 41.3 MB read, 2.4 s");
    line.Show(121, 41'400'000, start + milliseconds(2450));  // too soon
    line.Show(130, 45'000'000, start + milliseconds(2500));
    EXPECT_EQ(err.str(),
              "\r\x1b[Kkestrum-cli: 120/500 maps, 41.3 MB read, 2.4 s"
              "\r\x1b[Kkestrum-cli: 130/500 maps, 45.0 MB read, 2.5 s");
    err.str("");
    line.Clear();
    EXPECT_EQ(err.str(), "\r\x1b[K");
    line.Clear();
    EXPECT_EQ(err.str(), "\r\x1b[K");
    line.Show(131, 45'000'000, start + milliseconds(2510));  // redrawn at once after a message
  }
  EXPECT_EQ(err.str(), "\r\x1b[K\r\x1b[Kkestrum-cli: 131/500 maps, 45.0 MB read, 2.5 s\r\x1b[K");
}

TEST(ProgressLine, showsNothingWhenTheStreamIsNoTerminal) {
  const CProgressLine::Clock::time_point start{};
  std::ostringstream err;
  {
    CProgressLine line(err, false, 500, start);
    line.Show(400, 1, start + std::chrono::seconds(30));
    line.Clear();
  }
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace kestrum
