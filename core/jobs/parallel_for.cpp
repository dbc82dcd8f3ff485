#include "core/jobs/parallel_for.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace trapezola {

namespace {

// What the workers and the waiting caller share.
struct Pool {
  Pool(std::int64_t n, const ItemTask& t, const std::atomic<bool>* callerStop)
      : items(n), task(t), stop(callerStop) {}

  const std::int64_t items;
  const ItemTask& task;
  StopSignal stop;
  std::atomic<std::int64_t> next{0};
  std::mutex mutex;
  std::condition_variable finished;
  std::size_t workersLeft = 0;  // guarded by mutex
  std::exception_ptr failure;   // guarded by mutex; the first only

  void fail(std::exception_ptr e) {
    stop.raise();
    const std::lock_guard lock(mutex);
    if (!failure) failure = std::move(e);
  }

  void work(std::size_t worker) {
    try {
      for (;;) {
        if (stop.raised()) break;
        const std::int64_t i = next.fetch_add(1, std::memory_order_relaxed);
        if (i >= items) break;
        task(worker, i, stop);
      }
    } catch (...) {
      fail(std::current_exception());
    }
    {
      const std::lock_guard lock(mutex);
      --workersLeft;
    }
    finished.notify_all();
  }
};

}  // namespace

ThreadStartError::ThreadStartError(std::size_t started, std::size_t asked)
    : std::runtime_error("the system would start only " + std::to_string(started) + " of the " +
                         std::to_string(asked) + " worker threads asked for"),
      started_(started),
      asked_(asked) {}

std::size_t workerCount(int threads, std::int64_t items) {
  if (items <= 0) return 0;
  return static_cast<std::size_t>(std::clamp<std::int64_t>(threads, 1, items));
}

void parallelFor(std::int64_t items, int threads, const ItemTask& task, const ProgressPoll& poll,
                 const std::atomic<bool>* callerStop) {
  const std::size_t count = workerCount(threads, items);
  if (count == 0) return;
  Pool pool(items, task, callerStop);
  {
    // jthreads join when they go out of scope: after the poll threw, or when
    // starting one of them threw, once each running worker has seen the signal.
    std::vector<std::jthread> workers;
    workers.reserve(count);
    try {
      for (std::size_t t = 0; t < count; ++t) {
        {
          const std::lock_guard lock(pool.mutex);
          ++pool.workersLeft;
        }
        try {
          workers.emplace_back([&pool, t] { pool.work(t); });
        } catch (const std::system_error&) {
          // EAGAIN: no more threads, or no memory for another stack.
          {
            const std::lock_guard lock(pool.mutex);
            --pool.workersLeft;
          }
          throw ThreadStartError(t, count);
        } catch (...) {
          const std::lock_guard lock(pool.mutex);
          --pool.workersLeft;
          throw;
        }
      }
      std::unique_lock lock(pool.mutex);
      while (!pool.finished.wait_for(lock, progressPollInterval, [&pool] { return pool.workersLeft == 0; })) {
        if (!poll) continue;
        lock.unlock();
        poll();
        lock.lock();
      }
    } catch (...) {
      pool.fail(std::current_exception());
    }
  }
  if (pool.failure) std::rethrow_exception(pool.failure);
}

}  // namespace trapezola
