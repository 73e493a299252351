// The parallel runner: order of delivery, bounded work in flight, stopping, failures.
#include "ordered_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>

namespace kestrum {
namespace {

using Runner = cli::COrderedRunner<std::string>;
constexpr std::chrono::milliseconds kTick(5);

TEST(OrderedRunner, deliversInJobOrderWhateverOrderJobsFinishIn) {
  for (const std::size_t workers : {1u, 2u, 4u}) {
    std::vector<std::string> delivered;
    std::atomic<int> ticks{0};
    Runner(workers, 2 * workers, kTick)
        .Run(
            12,
            [](std::size_t job, std::size_t) {
              // Early jobs finish last.
              std::this_thread::sleep_for(std::chrono::milliseconds(12 - job));
              return "job " + std::to_string(job);
            },
            [&](std::size_t job, std::string& result) {
              EXPECT_EQ(result, "job " + std::to_string(job));
              delivered.push_back(result);
              return true;
            },
            [&] { ++ticks; });
    ASSERT_EQ(delivered.size(), 12u) << workers;
    for (std::size_t n = 0; n < delivered.size(); ++n) EXPECT_EQ(delivered[n], "job " + std::to_string(n));
    EXPECT_GT(ticks.load(), 0);
  }
}

TEST(OrderedRunner, neverRunsMoreThanTheWindowAheadOfDelivery) {
  constexpr std::size_t kWindow = 3;
  std::atomic<std::size_t> started{0};
  std::atomic<std::size_t> delivered{0};
  std::atomic<std::size_t> mostAhead{0};
  std::set<std::size_t> workersSeen;
  std::mutex workersMutex;
  Runner(2, kWindow, kTick)
      .Run(
          40,
          [&](std::size_t job, std::size_t worker) {
            const std::size_t ahead = ++started - delivered.load();
            std::size_t most = mostAhead.load();
            while (ahead > most && !mostAhead.compare_exchange_weak(most, ahead)) {
            }
            {
              const std::lock_guard<std::mutex> lock(workersMutex);
              workersSeen.insert(worker);
            }
            // Job 0 is slow: it ends only once the other worker has started on the jobs after
            // it (or after a generous while), which must then wait for it instead of running on.
            if (job == 0) {
              for (int n = 0; n < 2000 && started.load() < kWindow; ++n) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
              std::this_thread::sleep_for(std::chrono::milliseconds(30));
            }
            return std::string();
          },
          [&](std::size_t, std::string&) {
            ++delivered;
            return true;
          },
          [] {});
  EXPECT_EQ(delivered.load(), 40u);
  EXPECT_LE(mostAhead.load(), kWindow);
  EXPECT_EQ(workersSeen, (std::set<std::size_t>{0, 1}));
}

TEST(OrderedRunner, aDeliveryThatStopsEndsTheRunSoon) {
  for (const std::size_t workers : {1u, 2u}) {  // one worker: a machine with one core
    std::atomic<std::size_t> started{0};
    std::vector<std::size_t> delivered;
    Runner(workers, 4, kTick)
        .Run(
            1000,
            [&](std::size_t, std::size_t) {
              ++started;
              return std::string();
            },
            [&](std::size_t job, std::string&) {
              delivered.push_back(job);
              return job < 5;
            },
            [] {});
    EXPECT_EQ(delivered, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5})) << workers;
    EXPECT_LE(started.load(), 6u + 4u) << workers;
  }
}

TEST(OrderedRunner, aJobsExceptionReachesTheCallerInItsTurn) {
  for (const std::size_t workers : {1u, 2u}) {
    std::vector<std::size_t> delivered;
    EXPECT_THROW(Runner(workers, 4, kTick)
                     .Run(
                         10,
                         [](std::size_t job, std::size_t) -> std::string {
                           if (job == 3) throw std::runtime_error("job 3 failed");
                           return {};
                         },
                         [&](std::size_t job, std::string&) {
                           delivered.push_back(job);
                           return true;
                         },
                         [] {}),
                 std::runtime_error);
    EXPECT_EQ(delivered, (std::vector<std::size_t>{0, 1, 2})) << workers;
  }
}

TEST(OrderedRunner, aJobWaitingForItsTurnGoesOnOnceEveryJobBeforeItIsDelivered) {
  for (const std::size_t workers : {1u, 3u}) {
    Runner runner(workers, 2 * workers, kTick);
    std::mutex mutex;
    std::set<std::size_t> delivered;
    std::vector<std::string> violations;
    runner.Run(
        6,
        [&](std::size_t job, std::size_t) {
          // The first jobs are slow: the later ones reach their wait first.
          std::this_thread::sleep_for(std::chrono::milliseconds(job < 2 ? 60 : 1));
          EXPECT_TRUE(runner.WaitForTurn(job));
          const std::lock_guard<std::mutex> lock(mutex);
          for (std::size_t before = 0; before < job; ++before) {
            if (delivered.count(before) == 0)
              violations.push_back(std::to_string(job) + " before " + std::to_string(before));
          }
          return std::to_string(job);
        },
        [&](std::size_t job, std::string&) {
          const std::lock_guard<std::mutex> lock(mutex);
          delivered.insert(job);
          return true;
        },
        [] {});
    EXPECT_TRUE(violations.empty()) << workers << ": " << violations.front();
    EXPECT_EQ(delivered.size(), 6u);
  }
}

TEST(OrderedRunner, aJobWaitingForItsTurnIsReleasedWhenTheRunStops) {
  Runner runner(2, 4, kTick);
  std::atomic<bool> waiting{false};
  std::atomic<bool> released{false};
  runner.Run(
      2,
      [&](std::size_t job, std::size_t) {
        if (job == 1) {
          waiting = true;
          released = !runner.WaitForTurn(job);
        } else {
          // The first job ends only once the second waits (or after a generous while).
          for (int n = 0; n < 2000 && !waiting; ++n) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return std::string();
      },
      [](std::size_t, std::string&) { return false; },  // the first delivery stops the run
      [] {});
  EXPECT_TRUE(released.load());
}

}  // namespace
}  // namespace kestrum
