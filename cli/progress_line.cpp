#include "progress_line.h"

#include <unistd.h>

#include <cstdio>
#include <ostream>

namespace kestrum::cli {
namespace {

constexpr auto kQuietFor = std::chrono::seconds(1);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr const char* kEraseLine = "\r\x1b[K";

}  // namespace

CProgressLine::CProgressLine(std::ostream& err, bool toTerminal, std::size_t total, Clock::time_point start)
    : m_err(err), m_toTerminal(toTerminal), m_total(total), m_start(start) {}

CProgressLine::~CProgressLine() {
  Clear();
}

void CProgressLine::Show(std::size_t done, std::uint64_t bytesRead, Clock::time_point now) {
  if (!m_toTerminal || now - m_start < kQuietFor || (m_drawn && now - m_lastDrawn < kRedrawEvery)) return;
  const double seconds = std::chrono::duration<double>(now - m_start).count();
  char line[128];
  std::snprintf(line, sizeof line, "%skestrum-cli: %zu/%zu maps, %.1f MB read, %.1f s", kEraseLine, done, m_total,
                static_cast<double>(bytesRead) / 1e6, seconds);
  m_err << line << std::flush;
  m_drawn = true;
  m_lastDrawn = now;
}

void CProgressLine::Clear() {
  if (!m_drawn) return;
  m_err << kEraseLine << std::flush;
  m_drawn = false;
}

bool ErrorStreamIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace kestrum::cli
