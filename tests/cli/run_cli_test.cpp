// The command line run in process: what no command catches still ends in a message.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
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

/** Standard output whose writes fail with an error number, as a system's do. */
class CFailingBuffer : public std::streambuf {
 public:
  explicit CFailingBuffer(int error) : m_error(error) {}

 protected:
  int_type overflow(int_type) override {
    errno = m_error;
    return traits_type::eof();
  }

 private:
  const int m_error;
};

TEST(RunCli, aPipeWhoseReaderHasGoneEndsTheRunWithoutAWord) {
  for (const char* command : {"locate", "flags"}) {
    CFailingBuffer closedPipe(EPIPE);
    std::ostream out(&closedPipe);
    std::ostringstream err;
    const char* const argv[] = {"kestrum-cli", command,
                                command == std::string("flags") ? "7" : KESTRUM_SOURCE_DIR "/samples/demo.bsp"};
    EXPECT_EQ(RunCli(3, argv, out, err), kExitFileError) << command;
    EXPECT_EQ(err.str(), "") << command;

    // Any other failure is told.
    CFailingBuffer broken(EIO);
    std::ostream failing(&broken);
    std::ostringstream told;
    EXPECT_EQ(RunCli(3, argv, failing, told), kExitFileError) << command;
    EXPECT_EQ(told.str(),
              "kestrum-cli: cannot write the results to standard output: " + std::string(std::strerror(EIO)) + "\n")
        << command;
  }
}

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
