// The command line run in process: what no command catches still ends in a message.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <streambuf>

#include "cli.h"

namespace kestrum::cli {
namespace {

/** Standard output on a device that fails in a way the program did not foresee. */
class CThrowingBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { throw std::runtime_error("the device went away"); }
};

TEST(RunCli, anExceptionNothingCaughtIsReportedWithStatus3) {
  CThrowingBuffer failing;
  std::ostream out(&failing);
  out.exceptions(std::ios::badbit);  // the stream passes its buffer's exception on
  std::ostringstream err;
  const char* const argv[] = {"kestrum-cli", "flags", "7"};
  EXPECT_EQ(RunCli(3, argv, out, err), kExitFileError);
  EXPECT_EQ(err.str(), "kestrum-cli: the device went away\n");
}

}  // namespace
}  // namespace kestrum::cli
