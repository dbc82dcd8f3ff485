// The worker pool: every item once, whatever the number of workers; a failure on
// a worker or in the progress poll stops the others and reaches the caller; the
// caller's flag stops the job.
#include "core/jobs/parallel_for.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace trapezola {
namespace {

TEST(ParallelForThreads, EveryItemOnceAndEachWorkerItsOwnState) {
  for (const int threads : {1, 2, 3, 8, 64}) {
    constexpr std::int64_t items = 1000;
    std::vector<std::atomic<int>> runs(items);
    const std::size_t workers = workerCount(threads, items);
    // Per-worker counters written without atomics: a worker's state is its own.
    std::vector<std::int64_t> perWorker(workers, 0);
    parallelFor(items, threads, [&](std::size_t worker, std::int64_t i, const StopSignal&) {
      runs[static_cast<std::size_t>(i)].fetch_add(1);
      ++perWorker[worker];
    });
    std::int64_t total = 0;
    for (const std::int64_t n : perWorker) total += n;
    EXPECT_EQ(total, items) << threads << " threads";
    for (const auto& r : runs) ASSERT_EQ(r.load(), 1) << threads << " threads";
  }
}

TEST(ParallelForThreads, WorkerCountStaysWithinTheItems) {
  EXPECT_EQ(workerCount(8, 0), 0u);
  EXPECT_EQ(workerCount(8, 3), 3u);
  EXPECT_EQ(workerCount(0, 3), 1u);
  EXPECT_EQ(workerCount(-5, 3), 1u);
  EXPECT_EQ(workerCount(4, 1000), 4u);
  bool ran = false;
  parallelFor(0, 4, [&](std::size_t, std::int64_t, const StopSignal&) { ran = true; });
  EXPECT_FALSE(ran);
}

TEST(ParallelForThreads, AWorkersExceptionStopsTheOthersAndReachesTheCaller) {
  std::atomic<std::int64_t> started{0};
  // Item 3 fails; the others spin until they are told to stop, so the job only
  // ends if the failure stops them.
  const auto task = [&](std::size_t, std::int64_t i, const StopSignal& stop) {
    started.fetch_add(1);
    if (i == 3) throw std::runtime_error("cell 3 failed");
    while (!stop.raised()) {
    }
  };
  try {
    parallelFor(1000000, 4, task);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "cell 3 failed");
  }
  EXPECT_LT(started.load(), 1000000);
}

TEST(ParallelForThreads, AThrowingPollStopsTheWorkers) {
  std::atomic<bool> polled{false};
  const auto task = [&](std::size_t, std::int64_t, const StopSignal& stop) {
    while (!stop.raised()) {
    }
  };
  const auto poll = [&] {
    polled = true;
    throw std::runtime_error("interrupted");
  };
  EXPECT_THROW(parallelFor(8, 2, task, poll), std::runtime_error);
  EXPECT_TRUE(polled.load());
}

TEST(ParallelForThreads, TheCallersFlagStopsTheJob) {
  std::atomic<bool> callerStop{false};
  std::atomic<std::int64_t> done{0};
  const auto task = [&](std::size_t, std::int64_t i, const StopSignal& stop) {
    if (i == 10) callerStop = true;
    while (i >= 10 && !stop.raised()) {
    }
    done.fetch_add(1);
  };
  parallelFor(1000000, 3, task, {}, &callerStop);
  EXPECT_LT(done.load(), 1000000);
  EXPECT_GE(done.load(), 11);
}

}  // namespace
}  // namespace trapezola
