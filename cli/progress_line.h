// The progress line of a long run over many maps, for a person watching a terminal.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <iosfwd>

namespace kestrum::cli {

/**
 * "kestrum-cli: 120/500 maps, 41.3 MB read, 2.4 s", redrawn in place on the error
 * stream. Drawn only when that stream is a terminal and the run has lasted a second, so
 * short runs and scripts never see it; redrawn at most ten times a second.
 */
class CProgressLine {
 public:
  using Clock = std::chrono::steady_clock;

  CProgressLine(std::ostream& err, bool toTerminal, std::size_t total, Clock::time_point start);
  ~CProgressLine();
  CProgressLine(const CProgressLine&) = delete;
  CProgressLine& operator=(const CProgressLine&) = delete;

  void Show(std::size_t done, std::uint64_t bytesRead, Clock::time_point now);
  /** Erases the line, if one is drawn, so that a message can be written in its place. */
  void Clear();

 private:
  std::ostream& m_err;
  const bool m_toTerminal;
  const std::size_t m_total;
  const Clock::time_point m_start;
  Clock::time_point m_lastDrawn{};
  bool m_drawn = false;
};

/** Whether the process's error stream is a terminal. */
bool ErrorStreamIsTerminal();

}  // namespace kestrum::cli
