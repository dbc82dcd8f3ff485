// The engine's one pool of worker threads, for jobs made of many independent
// items (the cells of a chaos atlas, the orbits of a many-orbit portrait).
//
// parallelFor hands the items 0, 1, ..., items - 1 to its workers through a
// shared counter, so items begin in increasing order whatever the number of
// workers. The calling thread waits, and meanwhile calls the job's progress poll
// about four times a second. Nothing is global: any number of jobs run at once.
//
// Stopping: the StopSignal that every task receives is raised when the caller's
// own flag turns true, when a task throws, or when the poll throws. Workers take
// no new item once it is raised; a long task looks at it now and then and ends
// early. parallelFor returns after every worker has ended, and then rethrows the
// first exception (a task's or the poll's), so that a failure on a worker thread
// reaches the caller and never ends the process. When the system will not start
// every worker (a limit of threads or of memory), the job stops as on a failure
// and parallelFor throws ThreadStartError.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>

namespace trapezola {

class StopSignal {
 public:
  explicit StopSignal(const std::atomic<bool>* caller = nullptr) : caller_(caller) {}
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  bool raised() const {
    return own_.load(std::memory_order_relaxed) ||
           (caller_ != nullptr && caller_->load(std::memory_order_relaxed));
  }
  void raise() { own_.store(true, std::memory_order_relaxed); }
  // The pool's own flag, for code that takes a plain flag (the atlas's cells):
  // with no caller flag it says the same as raised().
  const std::atomic<bool>& ownFlag() const { return own_; }

 private:
  std::atomic<bool> own_{false};
  const std::atomic<bool>* caller_;
};

// The number of workers parallelFor starts: `threads` within [1, items], or 0
// when there are no items. Callers size their per-worker state by it.
std::size_t workerCount(int threads, std::int64_t items);

// One item's work. `worker` (below workerCount) names the thread's own state.
using ItemTask = std::function<void(std::size_t worker, std::int64_t item, const StopSignal& stop)>;
// Called on the calling thread while the workers run.
using ProgressPoll = std::function<void()>;

inline constexpr std::chrono::milliseconds progressPollInterval{250};

// "the system would start only 37 of the 256 worker threads asked for"
class ThreadStartError : public std::runtime_error {
 public:
  ThreadStartError(std::size_t started, std::size_t asked);
  std::size_t started() const { return started_; }
  std::size_t asked() const { return asked_; }

 private:
  std::size_t started_;
  std::size_t asked_;
};

void parallelFor(std::int64_t items, int threads, const ItemTask& task, const ProgressPoll& poll = {},
                 const std::atomic<bool>* callerStop = nullptr);

}  // namespace trapezola
