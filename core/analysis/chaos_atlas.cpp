// Notation: N orbits and M bounces per cell, G boxes per side; a worker is one
// thread of computeAtlas with its own AtlasWorkspace.
#include "core/analysis/chaos_atlas.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstddef>
#include <limits>
#include <mutex>
#include <thread>

#include "core/analysis/finite_time_lyapunov.h"
#include "core/analysis/orbit_starts.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

namespace {

constexpr auto progressInterval = std::chrono::milliseconds(250);

// What the workers share. `next` hands out positions in the cell list.
struct AtlasQueue {
  AtlasQueue(const AtlasGrid& g, std::span<const std::int64_t> c, const AtlasParameters& p,
             std::vector<AtlasCell>& r)
      : grid(g), cells(c), parameters(p), results(r) {}

  const AtlasGrid& grid;
  std::span<const std::int64_t> cells;
  const AtlasParameters& parameters;
  std::vector<AtlasCell>& results;
  std::atomic<std::int64_t> next{0};
  std::atomic<std::int64_t> cellsDone{0};
  // Set when the progress report threw: the workers leave within 65,536 bounces.
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::condition_variable finished;
  int workersLeft = 0;         // guarded by mutex
  std::exception_ptr failure;  // guarded by mutex; the first worker's only
};

void work(AtlasQueue& q) {
  try {
    AtlasWorkspace workspace(q.parameters);
    const auto count = static_cast<std::int64_t>(q.cells.size());
    for (;;) {
      const std::int64_t i = q.next.fetch_add(1, std::memory_order_relaxed);
      if (i >= count || q.stop.load(std::memory_order_relaxed)) break;
      const std::int64_t cell = q.cells[static_cast<std::size_t>(i)];
      q.results[static_cast<std::size_t>(i)] =
          computeAtlasCell(q.grid.bOf(cell), q.grid.rrOf(cell), q.parameters, workspace, &q.stop);
      q.cellsDone.fetch_add(1, std::memory_order_relaxed);
    }
  } catch (...) {
    const std::lock_guard lock(q.mutex);
    if (!q.failure) q.failure = std::current_exception();
    // The others stop at their next cell.
    q.next.store(static_cast<std::int64_t>(q.cells.size()), std::memory_order_relaxed);
  }
  {
    const std::lock_guard lock(q.mutex);
    --q.workersLeft;
  }
  q.finished.notify_all();
}

}  // namespace

double chaosThreshold(const AtlasParameters& parameters) {
  const auto m = static_cast<double>(parameters.bounces);
  return parameters.thresholdFactor * std::log(m) / m;
}

AtlasWorkspace::AtlasWorkspace(const AtlasParameters& parameters)
    : orbitBoxes_(static_cast<std::size_t>(parameters.boxesPerSide) *
                  static_cast<std::size_t>(parameters.boxesPerSide)),
      chaoticBoxes_(orbitBoxes_.size()) {
  exponents_.reserve(static_cast<std::size_t>(parameters.orbits));
}

AtlasCell computeAtlasCell(double b, double rr, const AtlasParameters& parameters, AtlasWorkspace& workspace,
                           const std::atomic<bool>* stop) {
  const BilliardTable table = buildTable(b, rr);
  const std::vector<OrbitStart> starts = spreadStarts(table, parameters.orbits, parameters.seed);
  const double threshold = chaosThreshold(parameters);

  AtlasCell cell;
  cell.b = b;
  cell.rr = rr;
  std::vector<double>& exponents = workspace.exponents_;
  exponents.clear();
  std::fill(workspace.chaoticBoxes_.begin(), workspace.chaoticBoxes_.end(), std::uint8_t{0});
  for (const OrbitStart& start : starts) {
    std::fill(workspace.orbitBoxes_.begin(), workspace.orbitBoxes_.end(), std::uint8_t{0});
    const OrbitExponent orbit = finiteTimeLyapunov(table, start, parameters.bounces, workspace.orbitBoxes_,
                                                   parameters.boxesPerSide, stop);
    if (orbit.stop != BounceStatus::ok) {
      ++cell.stoppedOrbits;
      continue;
    }
    exponents.push_back(orbit.exponent);
    // "Above" as a comparison that a NaN exponent fails: it is no evidence of chaos.
    if (orbit.exponent > threshold) {
      ++cell.chaoticOrbits;
      for (std::size_t k = 0; k < workspace.orbitBoxes_.size(); ++k) {
        workspace.chaoticBoxes_[k] |= workspace.orbitBoxes_[k];
      }
    }
  }

  std::int64_t visited = 0;
  for (const std::uint8_t v : workspace.chaoticBoxes_) visited += v;
  cell.chaoticFraction = static_cast<double>(visited) / static_cast<double>(workspace.chaoticBoxes_.size());
  if (exponents.empty()) {
    cell.lyapunovMax = std::numeric_limits<double>::quiet_NaN();
    cell.lyapunovMedian = cell.lyapunovMax;
    return cell;
  }
  std::sort(exponents.begin(), exponents.end());
  const std::size_t n = exponents.size();
  cell.lyapunovMax = exponents.back();
  cell.lyapunovMedian = n % 2 == 1 ? exponents[n / 2] : 0.5 * (exponents[n / 2 - 1] + exponents[n / 2]);
  return cell;
}

double AtlasAxis::value(std::int64_t k) const {
  if (count <= 1 || k <= 0) return from;
  if (k >= count - 1) return to;
  // The weighted mean of the ends, not from + step * k: decimal grids such as
  // 0.05:1:20 then give 0.5 and not 0.49999999999999994.
  const auto steps = static_cast<double>(count - 1);
  return (from * (steps - static_cast<double>(k)) + to * static_cast<double>(k)) / steps;
}

std::vector<std::int64_t> shardCells(const AtlasGrid& grid, std::int64_t shard, std::int64_t shards) {
  std::vector<std::int64_t> cells;
  for (std::int64_t i = shard; i < grid.cellCount(); i += shards) cells.push_back(i);
  return cells;
}

std::vector<AtlasCell> computeAtlas(const AtlasGrid& grid, std::span<const std::int64_t> cells,
                                    const AtlasParameters& parameters, int threads, AtlasProgress* progress) {
  std::vector<AtlasCell> results(cells.size());
  if (cells.empty()) return results;
  const auto workerCount =
      static_cast<std::size_t>(std::clamp<std::int64_t>(threads, 1, static_cast<std::int64_t>(cells.size())));
  AtlasQueue q(grid, cells, parameters, results);
  q.workersLeft = static_cast<int>(workerCount);
  {
    // jthreads join when they go out of scope, also when starting one throws.
    std::vector<std::jthread> workers;
    workers.reserve(workerCount);
    for (std::size_t t = 0; t < workerCount; ++t) workers.emplace_back([&q] { work(q); });
    if (progress != nullptr) {
      const auto total = static_cast<std::int64_t>(cells.size());
      const std::int64_t cellBounces = parameters.orbits * parameters.bounces;
      std::unique_lock lock(q.mutex);
      while (!q.finished.wait_for(lock, progressInterval, [&q] { return q.workersLeft == 0; })) {
        lock.unlock();
        const std::int64_t done = q.cellsDone.load(std::memory_order_relaxed);
        try {
          progress->progress(done, total, done * cellBounces);
        } catch (...) {
          // The caller gave up (an interrupt): the jthreads join as this
          // unwinds, once each worker has seen the flag.
          q.stop.store(true, std::memory_order_relaxed);
          throw;
        }
        lock.lock();
      }
    }
  }
  if (q.failure) std::rethrow_exception(q.failure);
  return results;
}

}  // namespace trapezola
