// Notation: N orbits and M bounces per cell, G boxes per side; a worker is one
// thread of computeAtlas with its own AtlasWorkspace.
#include "core/analysis/chaos_atlas.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <limits>

#include "core/analysis/finite_time_lyapunov.h"
#include "core/analysis/orbit_starts.h"
#include "core/geometry/table_geometry.h"
#include "core/jobs/parallel_for.h"

namespace trapezola {

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
  const auto total = static_cast<std::int64_t>(cells.size());
  // Each worker's own boxes and exponents, allocated before any worker starts.
  std::vector<AtlasWorkspace> workspaces;
  const std::size_t workers = workerCount(threads, total);
  workspaces.reserve(workers);
  for (std::size_t t = 0; t < workers; ++t) workspaces.emplace_back(parameters);

  std::atomic<std::int64_t> cellsDone{0};
  const auto cell = [&](std::size_t worker, std::int64_t i, const StopSignal& stop) {
    const std::int64_t c = cells[static_cast<std::size_t>(i)];
    // The atlas has no stop flag of its own: the pool's says everything.
    results[static_cast<std::size_t>(i)] =
        computeAtlasCell(grid.bOf(c), grid.rrOf(c), parameters, workspaces[worker], &stop.ownFlag());
    cellsDone.fetch_add(1, std::memory_order_relaxed);
  };
  ProgressPoll poll;
  if (progress != nullptr) {
    const std::int64_t cellBounces = parameters.orbits * parameters.bounces;
    poll = [&cellsDone, progress, total, cellBounces] {
      const std::int64_t done = cellsDone.load(std::memory_order_relaxed);
      progress->progress(done, total, done * cellBounces);
    };
  }
  parallelFor(total, threads, cell, poll);
  return results;
}

double atlasMemoryNeed(std::int64_t cells, const AtlasParameters& parameters, int threads) {
  const auto workers = static_cast<double>(workerCount(threads, cells));
  const double boxes = static_cast<double>(parameters.boxesPerSide) * parameters.boxesPerSide;
  return static_cast<double>(cells) * (sizeof(AtlasCell) + sizeof(std::int64_t)) +
         workers * (2 * boxes + 8 * static_cast<double>(parameters.orbits));
}

}  // namespace trapezola
