// The chaos atlas: how chaotic each table of a grid over the (b, R8/R) plane
// is, from many finite-time Lyapunov exponents per table.
//
// A cell is one table (b, rr). Its N orbits start at spreadStarts(table, N,
// seed) (the start rule of trapezola-cli portrait --orbits N --seed K) and run M
// bounces each (finite_time_lyapunov.h). An orbit counts as chaotic when its
// exponent exceeds
//   threshold = thresholdFactor * ln M / M,
// because a regular orbit's product of bounce matrices grows only linearly, so
// its finite-time exponent is about (ln M + ln c) / M, with c the growth per
// bounce (a shear, up to 1/sin phi for grazing orbits); the factor (default 10)
// leaves room for a large c while staying far below the exponent of a chaotic
// orbit (about 0.1 to 1 per bounce in these tables) for every M above a few
// thousand.
//
// The chaotic fraction is the share of the G x G boxes over (s / s4,
// (1 - cos phi) / 2) that at least one chaotic orbit visits: 0 for a circle,
// near 1 for a table whose chaotic sea fills the phase space.
//
// An orbit that stops early (no boundary hit, a grazing bounce) counts in
// stoppedOrbits and in none of the other figures. A cell's values depend only on
// (b, rr) and the parameters: not on which thread computes it, nor on which
// other cells a run or a shard holds.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <span>
#include <vector>

namespace trapezola {

struct AtlasParameters {
  std::int64_t orbits = 16;       // N >= 1
  std::int64_t bounces = 100000;  // M >= 1
  std::uint64_t seed = 0;         // K: the first index into the start sequence
  int boxesPerSide = 100;         // G >= 1
  double thresholdFactor = 10;    // > 0
};

// thresholdFactor * ln M / M.
double chaosThreshold(const AtlasParameters& parameters);

struct AtlasCell {
  double b = 0;
  double rr = 0;
  double lyapunovMax = 0;     // NaN when no orbit ran all its bounces
  double lyapunovMedian = 0;  // of the orbits that did; the mean of the middle two for an even count
  std::int64_t chaoticOrbits = 0;
  double chaoticFraction = 0;  // boxes visited by chaotic orbits / G^2
  std::int64_t stoppedOrbits = 0;
};

// The buffers one thread reuses from cell to cell, so that the orbits allocate
// nothing.
class AtlasWorkspace {
 public:
  explicit AtlasWorkspace(const AtlasParameters& parameters);

 private:
  friend AtlasCell computeAtlasCell(double, double, const AtlasParameters&, AtlasWorkspace&,
                                    const std::atomic<bool>*);
  std::vector<std::uint8_t> orbitBoxes_;
  std::vector<std::uint8_t> chaoticBoxes_;
  std::vector<double> exponents_;
};

// One cell; `workspace` must have been made for the same parameters. When
// `stop` is given and turns true, the cell ends early with values that mean
// nothing.
AtlasCell computeAtlasCell(double b, double rr, const AtlasParameters& parameters, AtlasWorkspace& workspace,
                           const std::atomic<bool>* stop = nullptr);

// COUNT evenly spaced values from FROM to TO, both ends included: value k is
// (from (count - 1 - k) + to k) / (count - 1), the first is `from` and the last
// `to` exactly. A count of 1 gives `from`.
struct AtlasAxis {
  double from = 0;
  double to = 0;
  std::int64_t count = 1;
  double value(std::int64_t k) const;
};

// The cells in their fixed order: cell i is (b value i / rr.count, rr value
// i % rr.count), R8/R running fastest.
// When bValues (rrValues) is not empty, it lists that axis's values instead of
// the axis's evenly spaced ones, whose count must then be its size: the Python
// module's atlas takes any values.
struct AtlasGrid {
  AtlasAxis b;
  AtlasAxis rr;
  std::vector<double> bValues;
  std::vector<double> rrValues;
  std::int64_t cellCount() const { return b.count * rr.count; }
  double bOf(std::int64_t cell) const {
    return bValues.empty() ? b.value(cell / rr.count) : bValues[static_cast<std::size_t>(cell / rr.count)];
  }
  double rrOf(std::int64_t cell) const {
    return rrValues.empty() ? rr.value(cell % rr.count) : rrValues[static_cast<std::size_t>(cell % rr.count)];
  }
};

// The cells of shard `shard` of `shards`: those whose index is shard modulo
// shards, in increasing order.
std::vector<std::int64_t> shardCells(const AtlasGrid& grid, std::int64_t shard, std::int64_t shards);

// Told how far the run is, from the thread that called computeAtlas, about four
// times a second while the workers run. An exception it throws (the Python
// module's KeyboardInterrupt) stops every worker within 65,536 bounces and
// leaves computeAtlas with no result.
class AtlasProgress {
 public:
  virtual ~AtlasProgress() = default;
  virtual void progress(std::int64_t cellsDone, std::int64_t cellsTotal, std::int64_t bouncesDone) = 0;
};

// Computes `cells` (indexes into `grid`) on `threads` workers (at least 1, at
// most one per cell), each taking the next cell in turn; result i belongs to
// cells[i], whatever thread computed it. An exception in a worker (memory) is
// rethrown here after every worker has stopped.
std::vector<AtlasCell> computeAtlas(const AtlasGrid& grid, std::span<const std::int64_t> cells,
                                    const AtlasParameters& parameters, int threads, AtlasProgress* progress);

// The bytes computeAtlas allocates for `cells` cells on `threads` workers: a
// result (sizeof(AtlasCell), 56 bytes) and an index (8 bytes) a cell, and a
// worker's boxes (2 G^2 bytes) and exponents (8 N bytes). For the memory
// bound (core/jobs/memory_bound.h): a double, which no request overflows.
double atlasMemoryNeed(std::int64_t cells, const AtlasParameters& parameters, int threads);

}  // namespace trapezola
