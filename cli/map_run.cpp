#include "map_run.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <ostream>
#include <thread>

#include "cli.h"
#include "ordered_runner.h"
#include "progress_line.h"

namespace kestrum::cli {
namespace {

constexpr std::size_t kMapsInFlightPerWorker = 2;
constexpr std::chrono::milliseconds kProgressEvery(100);

}  // namespace

std::optional<std::string> WriteChecked(std::ostream& out, std::string_view text) {
  errno = 0;
  out << text;
  out.flush();
  if (out) return std::nullopt;
  const int error = errno;
  // The reader has closed the pipe (head -1 has its line): it wants nothing more, and the
  // run ends without a word, as the signal that stops a Linux program there does.
  if (error == EPIPE) return std::string();
  return "kestrum-cli: cannot write the results to standard output" +
         (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) + "\n";
}

RunSummary RunOverMaps(const std::vector<sources::MapSource>& sources, const MapWork& work, std::ostream& out,
                       std::ostream& err, bool errIsTerminal) {
  const std::size_t workers =
      std::max<std::size_t>(1, std::min<std::size_t>(std::thread::hardware_concurrency(), sources.size()));
  std::atomic<std::size_t> done{0};
  std::atomic<std::uint64_t> bytesRead{0};
  CProgressLine progress(err, errIsTerminal, sources.size(), CProgressLine::Clock::now());
  RunSummary summary;

  // With one map its turn has come at once: it may print as it goes.
  EarlyOutput early;
  std::optional<std::string> earlyFailure;
  if (sources.size() == 1) {
    early = [&](std::string_view text) {
      earlyFailure = WriteChecked(out, text);
      return !earlyFailure;
    };
  }
  COrderedRunner<MapReport> runner(workers, workers * kMapsInFlightPerWorker, kProgressEvery);
  runner.Run(
      sources.size(),
      [&](std::size_t job, std::size_t worker) {
        MapReport report = work(job, sources[job], early);
        bytesRead += report.bytesRead;
        ++done;
        return report;
      },
      [&](std::size_t, MapReport& report) {
        if (!report.err.empty()) {
          progress.Clear();
          err << report.err << std::flush;
        }
        summary.found += report.result == MapResult::Found || report.result == MapResult::Damaged;
        summary.damaged += report.result == MapResult::Damaged;
        summary.failed += report.result == MapResult::Failed;
        const std::optional<std::string> failure = report.outputFailed  ? earlyFailure
                                                   : report.out.empty() ? std::nullopt
                                                                        : WriteChecked(out, report.out);
        if (!failure) return true;
        progress.Clear();
        err << *failure << std::flush;
        summary.outputFailed = true;
        return false;
      },
      [&] { progress.Show(done, bytesRead, CProgressLine::Clock::now()); });
  progress.Clear();
  return summary;
}

int ExitStatusOf(const RunSummary& summary) {
  if (summary.failed > 0 || summary.outputFailed) return kExitFileError;
  if (summary.damaged > 0) return kExitDamagedMap;
  return summary.found > 0 ? kExitSuccess : kExitNothingFound;
}

}  // namespace kestrum::cli
