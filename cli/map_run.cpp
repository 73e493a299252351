#include "map_run.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
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

  // Results and the progress line may share one terminal: each write first clears the
  // line, and one thread writes at a time.
  std::mutex writing;
  std::optional<std::string> earlyFailure;
  COrderedRunner<MapReport> runner(workers, workers * kMapsInFlightPerWorker, kProgressEvery);
  runner.Run(
      sources.size(),
      [&](std::size_t job, std::size_t) {
        // A map with much to print waits for its turn and prints as it goes, instead of
        // holding its results while the maps before it print theirs.
        const EarlyOutput early = [&, job](std::string_view text) {
          if (!runner.WaitForTurn(job)) return false;
          const std::lock_guard<std::mutex> lock(writing);
          progress.Clear();
          earlyFailure = WriteChecked(out, text);
          return !earlyFailure;
        };
        MapReport report = work(job, sources[job], early);
        bytesRead += report.bytesRead;
        ++done;
        return report;
      },
      [&](std::size_t, MapReport& report) {
        const std::lock_guard<std::mutex> lock(writing);
        if (!report.err.empty()) {
          progress.Clear();
          err << report.err << std::flush;
        }
        summary.found += report.result == MapResult::Found || report.result == MapResult::Damaged;
        summary.damaged += report.result == MapResult::Damaged;
        summary.failed += report.result == MapResult::Failed;
        progress.Clear();
        const std::optional<std::string> failure = report.outputFailed  ? earlyFailure
                                                   : report.out.empty() ? std::nullopt
                                                                        : WriteChecked(out, report.out);
        if (!failure) return true;
        progress.Clear();
        err << *failure << std::flush;
        summary.outputFailed = true;
        return false;
      },
      [&] {
        const std::lock_guard<std::mutex> lock(writing);
        progress.Show(done, bytesRead, CProgressLine::Clock::now());
      });
  progress.Clear();
  return summary;
}

int ExitStatusOf(const RunSummary& summary) {
  if (summary.failed > 0 || summary.outputFailed) return kExitFileError;
  if (summary.damaged > 0) return kExitDamagedMap;
  return summary.found > 0 ? kExitSuccess : kExitNothingFound;
}

}  // namespace kestrum::cli
