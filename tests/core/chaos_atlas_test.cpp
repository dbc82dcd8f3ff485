// The finite-time Lyapunov exponent and the chaos atlas: worked answers (the
// circle, a chaotic table against the lg(Tr) fit), the renormalisation, the
// phase boxes, the grid's axes, and cells that do not depend on threads or
// shards.
#include "core/analysis/chaos_atlas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "core/analysis/finite_time_lyapunov.h"
#include "core/analysis/lgtr_data_file.h"
#include "core/analysis/lgtr_series.h"
#include "core/analysis/lyapunov_fit.h"
#include "core/analysis/monodromy.h"
#include "core/analysis/orbit_starts.h"
#include "core/analysis/periodic_orbit.h"
#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {
namespace {

bool sameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectSameCell(const AtlasCell& a, const AtlasCell& b) {
  EXPECT_TRUE(sameBits(a.b, b.b));
  EXPECT_TRUE(sameBits(a.rr, b.rr));
  EXPECT_TRUE(sameBits(a.lyapunovMax, b.lyapunovMax)) << a.lyapunovMax << " " << b.lyapunovMax;
  EXPECT_TRUE(sameBits(a.lyapunovMedian, b.lyapunovMedian));
  EXPECT_EQ(a.chaoticOrbits, b.chaoticOrbits);
  EXPECT_TRUE(sameBits(a.chaoticFraction, b.chaoticFraction));
  EXPECT_EQ(a.stoppedOrbits, b.stoppedOrbits);
}

// ---------------------------------------------------------------------------
// Known answers

// Every orbit of a circle is regular: whatever b, R8/R = 1 makes all four arcs
// one circle, and no orbit may count as chaotic. (At b < 1 the first start of
// the sequence, the diameter along the symmetry axis at 90 degrees, finds no
// boundary within a few bounces and stops: the collision search's acceptance
// windows leave a gap there. It then counts in stoppedOrbits only.)
TEST(ChaosAtlasCircle, HasNoChaoticOrbitAndNoChaoticArea) {
  AtlasParameters p;
  p.orbits = 16;
  p.bounces = 20000;
  p.boxesPerSide = 50;
  AtlasWorkspace workspace(p);
  for (const double b : {0.25, 0.5, 1.0}) {
    SCOPED_TRACE(b);
    const AtlasCell cell = computeAtlasCell(b, 1, p, workspace);
    EXPECT_LE(cell.stoppedOrbits, 1);
    EXPECT_EQ(cell.chaoticOrbits, 0);
    EXPECT_EQ(cell.chaoticFraction, 0);
    EXPECT_LT(cell.lyapunovMax, chaosThreshold(p));
    // Linear growth: ln(c M) / M with c the shear of a bounce, a few units.
    EXPECT_GT(cell.lyapunovMedian, std::log(static_cast<double>(p.bounces)) / static_cast<double>(p.bounces));
    EXPECT_LE(cell.lyapunovMedian, cell.lyapunovMax);
  }
}

// b = 0.5, R8/R = 2: a chaotic sea around two islands. The exponents of the
// cell's chaotic orbits scatter by their finite length; the slope of the lg(Tr)
// series that analyse fits at a start in the sea (0.7 at 60 degrees, 200 blocks
// of 500 bounces) must lie within that scatter, widened by three standard
// errors of the fit.
TEST(ChaosAtlasChaoticTable, ExponentAgreesWithTheLgTrFitOfAnalyse) {
  AtlasParameters p;
  p.orbits = 16;
  p.bounces = 100000;
  const BilliardTable table = buildTable(0.5, 2);
  std::vector<std::uint8_t> boxes(static_cast<std::size_t>(p.boxesPerSide * p.boxesPerSide));
  std::vector<double> chaotic;
  for (const OrbitStart& start : spreadStarts(table, p.orbits, p.seed)) {
    const OrbitExponent e = finiteTimeLyapunov(table, start, p.bounces, boxes, p.boxesPerSide);
    ASSERT_EQ(e.stop, BounceStatus::ok);
    if (e.exponent > chaosThreshold(p)) chaotic.push_back(e.exponent);
  }
  // One start of the sixteen lies on an island: its exponent is far below the
  // threshold, and it must not count.
  ASSERT_EQ(chaotic.size(), 15u);
  const auto [lowest, highest] = std::minmax_element(chaotic.begin(), chaotic.end());

  Ball ball;
  launch(table, ball, 0.7, std::cos(startAngleRadians(60)));
  std::vector<LgTrLine> lines;
  runLgTrSeries(table, ball, poseOf(ball), 500, 200, [&](int block, double v) {
    lines.push_back({block, v});
  });
  const LyapunovFit fit = fitLgTrLines(lines, 0, 0, 500);
  ASSERT_TRUE(fit.gradientStandardError.has_value());
  const double margin = 3 * *fit.gradientStandardError;
  EXPECT_GT(fit.gradient, *lowest - margin);
  EXPECT_LT(fit.gradient, *highest + margin);

  AtlasWorkspace workspace(p);
  const AtlasCell cell = computeAtlasCell(0.5, 2, p, workspace);
  EXPECT_EQ(cell.chaoticOrbits, static_cast<std::int64_t>(chaotic.size()));
  EXPECT_NEAR(cell.lyapunovMedian, fit.gradient, (*highest - *lowest) / 2 + margin);
  EXPECT_EQ(cell.lyapunovMax, *highest);
  // The sea covers most of the phase space, the islands the rest.
  EXPECT_GT(cell.chaoticFraction, 0.8);
  EXPECT_LT(cell.chaoticFraction, 1);
}

// ---------------------------------------------------------------------------
// The estimator

// 700 bounces of a chaotic orbit grow the product by about e^290: it and the
// squares of its entries still fit in a double unscaled, while the estimator has renormalised it a few
// times. Both must give the same exponent; a lost or doubled 64 ln 2 would
// show as a difference of 0.04 per renormalisation.
TEST(FiniteTimeLyapunov, RenormalisingChangesNothingButTheRange) {
  const BilliardTable table = buildTable(0.5, 2);
  constexpr std::int64_t bounces = 700;
  Ball ball;
  launch(table, ball, 0.7, std::cos(startAngleRadians(60)));
  Monodromy plain;
  for (std::int64_t n = 0; n < bounces; ++n) {
    ASSERT_EQ(bounce(table, ball), BounceStatus::ok);
    applyBounceMatrix(plain, ball.hitDistance, ball.hitRadius, ball.phi);
  }
  const double norm = std::sqrt(plain.m11 * plain.m11 + plain.m12 * plain.m12 + plain.m21 * plain.m21 +
                                plain.m22 * plain.m22);
  ASSERT_TRUE(std::isfinite(norm));
  ASSERT_GT(std::log(norm), 3 * 64 * std::log(2.0));
  const double expected = std::log(norm) / bounces;

  std::vector<std::uint8_t> boxes(4);
  const OrbitExponent e = finiteTimeLyapunov(table, {0.7, 60}, bounces, boxes, 2);
  EXPECT_EQ(e.stop, BounceStatus::ok);
  EXPECT_EQ(e.bounces, bounces);
  // The scaling by 2^-64 is exact: only the final logarithms round apart.
  EXPECT_NEAR(e.exponent, expected, 1e-14);
}

TEST(FiniteTimeLyapunov, MarksTheBoxesOfItsBouncesOnly) {
  // A circle's orbit at 60 degrees has period 3: three boxes of the row of
  // (1 - cos 60deg) / 2 = 0.25, row 2 of 10.
  const BilliardTable circle = buildTable(1, 1);
  constexpr int side = 10;
  std::vector<std::uint8_t> boxes(side * side);
  const OrbitExponent e = finiteTimeLyapunov(circle, {0.7, 60}, 30, boxes, side);
  EXPECT_EQ(e.bounces, 30);
  std::vector<int> marked;
  for (int k = 0; k < side * side; ++k) {
    if (boxes[static_cast<std::size_t>(k)] != 0) marked.push_back(k);
  }
  ASSERT_EQ(marked.size(), 3u);
  for (const int k : marked) EXPECT_EQ(k / side, 2) << k;
}

TEST(FiniteTimeLyapunov, GrazingStartStopsInsteadOfGivingNaN) {
  // phi = 0: the first free path has length 0 and sin phi = 0, so the bounce
  // matrix is not finite, or the ball finds no boundary.
  const BilliardTable table = buildTable(0.5, 2);
  std::vector<std::uint8_t> boxes(1);
  const OrbitExponent e = finiteTimeLyapunov(table, {0, 0}, 10, boxes, 1);
  EXPECT_NE(e.stop, BounceStatus::ok);
  EXPECT_TRUE(std::isfinite(e.exponent));
}

struct BoxCase {
  double s, cosPhi;
  int box;
};

TEST(PhaseBox, CoversTheUnitSquareOfAreaPreservingCoordinates) {
  const BilliardTable table = buildTable(0.5, 2);
  const double s4 = table.s4;
  const BoxCase cases[] = {
      {0, 1, 0},                                            // corner 1, pointing counter-clockwise
      {s4, -1, 99 * 100 + 99},                              // the far corner, clamped into the grid
      {s4 * 0.505, 0, 50 * 100 + 50},                       // the middle
      {s4 * 0.999, 1 - 2 * 0.011, 1 * 100 + 99},            // w = 0.011 lies in row 1
      {-1, 2, 0},                                           // outside: clamped
      {std::numeric_limits<double>::quiet_NaN(), 0, 5000},  // NaN s: column 0
  };
  for (const BoxCase& c : cases) {
    EXPECT_EQ(phaseBox(table, c.s, c.cosPhi, 100), c.box) << c.s << " " << c.cosPhi;
  }
}

// ---------------------------------------------------------------------------
// The grid

TEST(AtlasAxis, IncludesBothEndsExactly) {
  const AtlasAxis axis{0.1, 1, 10};
  EXPECT_EQ(axis.value(0), 0.1);
  EXPECT_EQ(axis.value(9), 1.0);
  for (std::int64_t k = 0; k < 10; ++k) EXPECT_NEAR(axis.value(k), 0.1 * static_cast<double>(k + 1), 1e-15);
  // The grid of the README's atlas holds b = 0.5 and R8/R = 2 exactly.
  EXPECT_EQ((AtlasAxis{0.05, 1, 20}.value(9)), 0.5);
  EXPECT_EQ((AtlasAxis{1, 4.8, 20}.value(5)), 2.0);
  const AtlasAxis one{0.5, 0.5, 1};
  EXPECT_EQ(one.value(0), 0.5);
}

TEST(AtlasGrid, OrdersCellsWithRrFastestAndShardsByRemainder) {
  AtlasGrid grid;
  grid.b = {0.5, 1, 2};
  grid.rr = {1, 3, 3};
  ASSERT_EQ(grid.cellCount(), 6);
  EXPECT_EQ(grid.bOf(2), 0.5);
  EXPECT_EQ(grid.rrOf(2), 3);
  EXPECT_EQ(grid.bOf(3), 1);
  EXPECT_EQ(grid.rrOf(3), 1);
  EXPECT_EQ(shardCells(grid, 1, 4), (std::vector<std::int64_t>{1, 5}));
  EXPECT_EQ(shardCells(grid, 0, 1), (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_TRUE(shardCells(grid, 7, 8).empty());
}

// ---------------------------------------------------------------------------
// Independence of threads and shards

TEST(ChaosAtlasThreads, SameCellsForEveryThreadCountAndEveryShard) {
  AtlasGrid grid;
  grid.b = {0.3, 1, 3};
  grid.rr = {1, 3, 3};
  AtlasParameters p;
  p.orbits = 5;
  p.bounces = 3000;
  p.boxesPerSide = 30;
  p.seed = 7;
  const std::vector<std::int64_t> all = shardCells(grid, 0, 1);
  const std::vector<AtlasCell> one = computeAtlas(grid, all, p, 1, nullptr);
  ASSERT_EQ(one.size(), 9u);
  for (const int threads : {2, 3, 16}) {
    SCOPED_TRACE(threads);
    const std::vector<AtlasCell> many = computeAtlas(grid, all, p, threads, nullptr);
    for (std::size_t i = 0; i < all.size(); ++i) expectSameCell(one[i], many[i]);
  }
  for (std::int64_t shard = 0; shard < 4; ++shard) {
    const std::vector<std::int64_t> cells = shardCells(grid, shard, 4);
    const std::vector<AtlasCell> part = computeAtlas(grid, cells, p, 2, nullptr);
    for (std::size_t i = 0; i < cells.size(); ++i)
      expectSameCell(one[static_cast<std::size_t>(cells[i])], part[i]);
  }
  // A workspace that computed other cells first changes nothing.
  AtlasWorkspace used(p);
  computeAtlasCell(0.7, 2.5, p, used);
  expectSameCell(computeAtlasCell(grid.bOf(4), grid.rrOf(4), p, used), one[4]);
}

TEST(ChaosAtlasThreads, ProgressEndsWithEveryCell) {
  struct Recorder : AtlasProgress {
    void progress(std::int64_t done, std::int64_t total, std::int64_t) override {
      EXPECT_LE(done, total);
      EXPECT_GE(done, last);
      last = done;
    }
    std::int64_t last = 0;
  } recorder;
  AtlasGrid grid;
  grid.b = {0.5, 1, 2};
  grid.rr = {1, 2, 2};
  AtlasParameters p;
  p.orbits = 2;
  p.bounces = 100;
  const std::vector<std::int64_t> cells = shardCells(grid, 0, 1);
  EXPECT_EQ(computeAtlas(grid, cells, p, 2, &recorder).size(), 4u);
  EXPECT_TRUE(computeAtlas(grid, {}, p, 2, &recorder).empty());
}

// An interrupt in the Python module: the workers stop inside their orbits.
TEST(ChaosAtlasThreads, ProgressThatThrowsStopsTheWorkers) {
  struct Interrupt : AtlasProgress {
    void progress(std::int64_t, std::int64_t, std::int64_t) override {
      throw std::runtime_error("interrupted");
    }
  } interrupt;
  AtlasGrid grid;
  grid.b = {0.5, 1, 2};
  grid.rr = {2, 2, 1};
  AtlasParameters p;
  p.orbits = 2;
  p.bounces = std::int64_t{1} << 50;
  const std::vector<std::int64_t> all = shardCells(grid, 0, 1);
  EXPECT_THROW(computeAtlas(grid, all, p, 2, &interrupt), std::runtime_error);
}

// Listed values replace an axis's even spacing, cell for cell.
TEST(ChaosAtlas, ListedAxisValuesGiveTheCellsOfThoseTables) {
  AtlasGrid grid;
  grid.b = {0.2, 0.55, 2};
  grid.bValues = {0.2, 0.55};
  grid.rr = {1.5, 4, 2};
  grid.rrValues = {1.5, 4};
  AtlasParameters p;
  p.orbits = 2;
  p.bounces = 2000;
  const std::vector<AtlasCell> cells = computeAtlas(grid, shardCells(grid, 0, 1), p, 2, nullptr);
  ASSERT_EQ(cells.size(), 4u);
  AtlasWorkspace workspace(p);
  expectSameCell(cells[1], computeAtlasCell(0.2, 4, p, workspace));
  expectSameCell(cells[2], computeAtlasCell(0.55, 1.5, p, workspace));
}

}  // namespace
}  // namespace trapezola
