// Runs the maps of a command on all cores and hands the results back in input order.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrum::cli {

/**
 * Jobs 0 to count - 1 run on worker threads; their results reach Deliver on the calling
 * thread in job order, whatever order they finish in. At most `window` jobs are started
 * and not yet delivered, so a slow early job holds back the workers instead of letting
 * finished results pile up: memory stays bounded whatever the number of jobs.
 */
template <typename Result>
class COrderedRunner {
 public:
  /** Does job `job` on worker `worker` (0 to workers - 1, for per-worker caches). */
  using Work = std::function<Result(std::size_t job, std::size_t worker)>;
  /** Takes the next result in order; false stops the run (no further job starts). */
  using Deliver = std::function<bool(std::size_t job, Result& result)>;
  /** Called on the calling thread about every `tickEvery` while it waits. */
  using Tick = std::function<void()>;

  COrderedRunner(std::size_t workers, std::size_t window, std::chrono::milliseconds tickEvery)
      : m_workers(workers < 1 ? 1 : workers),
        m_window(window < m_workers ? m_workers : window),
        m_tickEvery(tickEvery) {}

  /**
   * Called by a job that has much to hand on: blocks until every job before it has been
   * delivered, so that the job may hand on its results itself instead of holding them.
   * False when the run stopped meanwhile.
   */
  bool WaitForTurn(std::size_t job) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_turnChanged.wait(lock, [&] { return m_stopped || m_delivered >= job; });
    return !m_stopped;
  }

  /** Rethrows, on the calling thread, an exception that a job threw, when its turn comes. */
  void Run(std::size_t count, const Work& work, const Deliver& deliver, const Tick& tick) {
    if (m_workers == 1 || count <= 1) {
      // One job at a time, each in its turn as soon as it starts.
      for (std::size_t job = 0; job < count; ++job) {
        Result result = work(job, 0);
        tick();
        if (!deliver(job, result)) return;
        m_delivered = job + 1;
      }
      return;
    }
    m_count = count;
    std::vector<std::thread> threads;
    for (std::size_t worker = 0; worker < m_workers && worker < count; ++worker) {
      threads.emplace_back([this, &work, worker] { WorkerLoop(work, worker); });
    }
    try {
      DeliverInOrder(deliver, tick);
    } catch (...) {
      Stop();
      for (std::thread& thread : threads) thread.join();
      throw;
    }
    Stop();
    for (std::thread& thread : threads) thread.join();
  }

 private:
  struct Outcome {
    Result result{};
    std::exception_ptr failure;
  };

  void WorkerLoop(const Work& work, std::size_t worker) {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
      m_mayStart.wait(lock, [this] { return m_stopped || m_next >= m_count || m_next < m_delivered + m_window; });
      if (m_stopped || m_next >= m_count) return;
      const std::size_t job = m_next++;
      lock.unlock();
      Outcome outcome;
      try {
        outcome.result = work(job, worker);
      } catch (...) {
        outcome.failure = std::current_exception();
      }
      lock.lock();
      m_finished.emplace(job, std::move(outcome));
      m_oneFinished.notify_one();
    }
  }

  void DeliverInOrder(const Deliver& deliver, const Tick& tick) {
    for (std::size_t job = 0; job < m_count; ++job) {
      Outcome outcome;
      {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_oneFinished.wait_for(lock, m_tickEvery, [&] { return m_finished.count(job) != 0; })) {
          lock.unlock();
          tick();
          lock.lock();
        }
        const auto found = m_finished.find(job);
        outcome = std::move(found->second);
        m_finished.erase(found);
      }
      tick();
      if (outcome.failure) std::rethrow_exception(outcome.failure);
      if (!deliver(job, outcome.result)) return;
      // Counted once delivered, so that the window also covers the result being written.
      {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_delivered;
      }
      m_mayStart.notify_all();
      m_turnChanged.notify_all();
    }
  }

  void Stop() {
    {
      const std::lock_guard<std::mutex> lock(m_mutex);
      m_stopped = true;
    }
    m_mayStart.notify_all();
    m_turnChanged.notify_all();
  }

  const std::size_t m_workers;
  const std::size_t m_window;
  const std::chrono::milliseconds m_tickEvery;

  std::mutex m_mutex;
  std::condition_variable m_mayStart;
  std::condition_variable m_oneFinished;
  std::condition_variable m_turnChanged;
  std::size_t m_count = 0;
  std::size_t m_next = 0;       ///< the next job to start
  std::size_t m_delivered = 0;  ///< jobs handed to Deliver so far
  bool m_stopped = false;
  std::map<std::size_t, Outcome> m_finished;
};

}  // namespace kestrum::cli
