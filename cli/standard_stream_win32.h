// kestrum-cli.exe's standard output and error. The program writes UTF-8, but a console
// shows bytes in its own code page (437 or 850 as a rule): there the text goes through
// the console's UTF-16 call instead, so that paths and entity text read as on Linux.
// Redirected to a file or a pipe, the bytes go out unchanged.
#pragma once

#include <array>
#include <streambuf>

namespace kestrum::cli {

/**
 * A stream buffer over one of the process's standard handles. A failed write sets errno
 * as the C library would, and EPIPE when the reader of a pipe has closed it, which is
 * what a Linux pipe reports in that case.
 */
class CStandardStreamBuf final : public std::streambuf {
 public:
  /** handle: what GetStdHandle gives. */
  explicit CStandardStreamBuf(void* handle);
  ~CStandardStreamBuf() override;
  CStandardStreamBuf(const CStandardStreamBuf&) = delete;
  CStandardStreamBuf& operator=(const CStandardStreamBuf&) = delete;

 protected:
  int_type overflow(int_type c) override;
  /** Writes what is buffered; on a console, a character cut short waits for its end. */
  int sync() override;

 private:
  bool Flush(bool wholeCharactersOnly);
  bool WriteBytes(const char* bytes, std::size_t count);
  bool WriteToConsole(const char* utf8, std::size_t count);

  void* const m_handle;
  const bool m_console;
  std::array<char, 16384> m_buffer{};
};

}  // namespace kestrum::cli
