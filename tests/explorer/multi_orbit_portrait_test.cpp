// The many-orbit portrait: the same picture from any number of threads sharing
// one table, the highest orbit on top, orbits that stop, the start rule and the
// phase window of a fresh run.
#include "explorer/multi_orbit_portrait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <set>
#include <stdexcept>
#include <vector>

#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "tests/explorer_test_support.h"

namespace trapezola {
namespace {

constexpr int bounces = 20000;

std::int64_t pixelsOf(const OrbitPortrait& p, std::int32_t orbit) {
  return std::count(p.topOrbit.begin(), p.topOrbit.end(), orbit);
}

// Several threads run many orbits on one shared const table, each plotting into
// its own image; whatever the thread count, the merged picture and every
// orbit's outcome are the same. Under ThreadSanitizer this is the race check.
TEST(MultiOrbitPortraitThreads, SameResultForEveryThreadCount) {
  const BilliardTable table = buildTable(0.5, 2);
  const PhaseWindowRecord window = freshRunWindow(table);
  std::vector<OrbitStart> starts = spreadStarts(table, 12, 0);
  // A grazing start that stops early, among the others.
  starts.push_back({0, 0});
  const OrbitPortrait one = drawOrbits(table, window, starts, bounces, 1, nullptr);
  std::set<std::int32_t> shown(one.topOrbit.begin(), one.topOrbit.end());
  EXPECT_GE(shown.size(), 10u) << "most orbits show somewhere";
  EXPECT_EQ(one.outcomes.back().stop, BounceStatus::noArcAccepted);
  for (const int threads : {2, 3, 4, 13, 64}) {
    const OrbitPortrait many = drawOrbits(table, window, starts, bounces, threads, nullptr);
    EXPECT_TRUE(many.topOrbit == one.topOrbit) << threads << " threads";
    for (std::size_t i = 0; i < starts.size(); ++i) {
      EXPECT_EQ(many.outcomes[i].bounces, one.outcomes[i].bounces) << threads << " threads, orbit " << i;
      EXPECT_EQ(many.outcomes[i].stop, one.outcomes[i].stop) << threads << " threads, orbit " << i;
    }
  }
}

// The straightforward picture: every orbit in turn on one canvas through
// plotPhasePoint, pen and brush in the orbit's number, so that the last orbit
// drawn at a pixel shows there.
std::vector<std::int32_t> paintedOneByOne(const BilliardTable& table, const PhaseWindowRecord& window,
                                          const std::vector<OrbitStart>& starts, std::int64_t bounceCount) {
  toolkit::TCanvas canvas(portraitWidth, portraitHeight);
  for (std::size_t i = 0; i < starts.size(); ++i) {
    canvas.Pen->Color = static_cast<toolkit::TColor>(i);
    canvas.Brush->Color = static_cast<toolkit::TColor>(i);
    Ball ball;
    launch(table, ball, starts[i].distance, std::cos(startAngleRadians(starts[i].angleDegrees)));
    for (std::int64_t n = 1; n <= bounceCount && bounce(table, ball) == BounceStatus::ok; ++n) {
      plotPhasePoint(canvas, window, 2, ball.s, ball.phi);
    }
  }
  std::vector<std::int32_t> top;
  for (int y = 0; y < portraitHeight; ++y) {
    for (int x = 0; x < portraitWidth; ++x) {
      const toolkit::TColor c = canvas.pixel(x, y);
      top.push_back(c == toolkit::clWhite ? -1 : static_cast<std::int32_t>(c));
    }
  }
  return top;
}

// The workers' byte images give the picture of the canvas, pixel for pixel:
// on several tables, with more orbits than a worker's 255 slots (so that it
// merges mid-run), on 1 to 3 threads, and in windows whose dots run off the
// image on every side, where only part of a dot is drawn.
TEST(MultiOrbitPortraitThreads, SameAsPaintingEachOrbitOnACanvas) {
  struct Case {
    double b, rr;
    std::int64_t orbits, bounces;
    double stretchS, stretchPhi;  // of the fresh run's scales; negative mirrors
    double phiShift;
  };
  const Case cases[] = {
      {0.5, 2, 7, 20000, 1, 1, 0},              // the fresh run's window
      {0.15, 1, 300, 400, 1, 1, 0},             // a circle, more orbits than slots
      {1, 40, 700, 150, 1.37, 1.21, -0.3},      // off the right, top and bottom
      {0.3, 3.5, 20, 3000, -0.012, -0.005, 0},  // off the left and the bottom
  };
  for (const Case& c : cases) {
    const BilliardTable table = buildTable(c.b, c.rr);
    PhaseWindowRecord window = freshRunWindow(table);
    window.scaleS *= c.stretchS;
    window.scalePhi *= c.stretchPhi;
    window.phiMin += c.phiShift;
    const std::vector<OrbitStart> starts = spreadStarts(table, c.orbits, 3);
    const std::vector<std::int32_t> expected = paintedOneByOne(table, window, starts, c.bounces);
    EXPECT_GT(std::count_if(expected.begin(), expected.end(), [](std::int32_t i) { return i >= 0; }), 20)
        << "b " << c.b;
    for (const int threads : {1, 2, 3}) {
      const OrbitPortrait p = drawOrbits(table, window, starts, c.bounces, threads, nullptr);
      EXPECT_TRUE(p.topOrbit == expected)
          << "b " << c.b << ", R8/R " << c.rr << ", " << c.orbits << " orbits, " << threads << " threads";
    }
  }
}

// Orbits A and B drawn together: B's pixels show B, and the rest of A's show A,
// on one thread or two.
TEST(MultiOrbitPortrait, HighestOrbitShowsWhereOrbitsMeet) {
  const BilliardTable table = buildTable(0.5, 2);
  const PhaseWindowRecord window = freshRunWindow(table);
  const std::array<OrbitStart, 1> a{{{0.7, 60}}};
  const std::array<OrbitStart, 1> b{{{2.0, 80}}};
  const std::array<OrbitStart, 2> ab{{a[0], b[0]}};
  const OrbitPortrait alone0 = drawOrbits(table, window, a, bounces, 1, nullptr);
  const OrbitPortrait alone1 = drawOrbits(table, window, b, bounces, 1, nullptr);
  for (const int threads : {1, 2}) {
    const OrbitPortrait both = drawOrbits(table, window, ab, bounces, threads, nullptr);
    std::int64_t shared = 0;
    for (std::size_t at = 0; at < both.topOrbit.size(); ++at) {
      const std::int32_t expected = alone1.topOrbit[at] == 0 ? 1 : alone0.topOrbit[at];
      ASSERT_EQ(both.topOrbit[at], expected) << "pixel " << at << ", " << threads << " threads";
      shared += alone0.topOrbit[at] == 0 && alone1.topOrbit[at] == 0;
    }
    EXPECT_GT(shared, 0) << "the two orbits must share pixels for this test to mean anything";
  }
}

TEST(MultiOrbitPortrait, OrbitStopsAtTheFirstBounceWithoutBoundary) {
  // From corner 1 along the tangent, the second bounce finds no arc.
  const BilliardTable table = buildTable(0.5, 2);
  const std::array<OrbitStart, 1> grazing{{{0, 0}}};
  const OrbitPortrait p = drawOrbits(table, freshRunWindow(table), grazing, bounces, 2, nullptr);
  EXPECT_EQ(p.outcomes[0].stop, BounceStatus::noArcAccepted);
  EXPECT_EQ(p.outcomes[0].bounces, 1);

  // On a table whose side radius is lost to rounding no bounce succeeds: nothing
  // is drawn, and nothing hangs.
  const BilliardTable broken = buildTable(0.5, 1e17);
  const std::vector<OrbitStart> starts = spreadStarts(broken, 5, 0);
  const OrbitPortrait none = drawOrbits(broken, freshRunWindow(broken), starts, bounces, 2, nullptr);
  for (const OrbitOutcome& o : none.outcomes) {
    EXPECT_EQ(o.stop, BounceStatus::noArcAccepted);
    EXPECT_EQ(o.bounces, 0);
  }
  EXPECT_EQ(pixelsOf(none, -1), static_cast<std::int64_t>(none.topOrbit.size()));
}

// 256 starts over a 4 x 4 grid of cells in (s / s4, (1 - cos phi) / 2): a
// low-discrepancy rule puts close to 16 in each; a seed moves along the
// sequence.
TEST(MultiOrbitPortrait, SpreadStartsCoverThePhaseSpaceEvenly) {
  const BilliardTable table = buildTable(0.5, 2);
  const std::vector<OrbitStart> starts = spreadStarts(table, 256, 0);
  std::array<int, 16> cells{};
  for (const OrbitStart& s : starts) {
    ASSERT_GE(s.distance, 0);
    ASSERT_LT(s.distance, table.s4);
    ASSERT_GE(s.angleDegrees, 0);
    ASSERT_LE(s.angleDegrees, 180);
    const double u = s.distance / table.s4;
    const double v = (1 - std::cos(s.angleDegrees * pi / 180)) / 2;
    ++cells[static_cast<std::size_t>(std::min(3, static_cast<int>(u * 4)) * 4 +
                                     std::min(3, static_cast<int>(v * 4)))];
  }
  for (const int n : cells) {
    EXPECT_GE(n, 13);
    EXPECT_LE(n, 19);
  }
  const std::vector<OrbitStart> seeded = spreadStarts(table, 10, 5);
  for (std::size_t i = 0; i < seeded.size(); ++i) {
    EXPECT_EQ(seeded[i].distance, starts[i + 5].distance);
    EXPECT_EQ(seeded[i].angleDegrees, starts[i + 5].angleDegrees);
  }
}

// The phase window is the one the window's own "go" computes on a fresh start.
TEST(MultiOrbitPortrait, FreshRunWindowIsTheWindowsAfterGo) {
  Explorer ex;
  for (const auto& [b, rr] : {std::pair{0.5, 2.0}, {1.0, 1.0}, {0.01, 1000.0}}) {
    ex.window = PhaseWindowRecord{};
    setupTable(ex, b, rr, 0.7, 60, 1);
    launch(ex);
    const PhaseWindowRecord w = freshRunWindow(buildTable(b, rr));
    EXPECT_EQ(w.sMin, ex.window.sMin);
    EXPECT_EQ(w.sMax, ex.window.sMax);
    EXPECT_EQ(w.phiMin, ex.window.phiMin);
    EXPECT_EQ(w.phiMax, ex.window.phiMax);
    EXPECT_EQ(w.scaleS, ex.window.scaleS);
    EXPECT_EQ(w.scalePhi, ex.window.scalePhi);
  }
  ex.window = PhaseWindowRecord{};
  ex.ball = WindowBall{};
}

TEST(MultiOrbitPortrait, PaletteColoursAreDistinctAndCycle) {
  const std::set<toolkit::TColor> colours(orbitPalette.begin(), orbitPalette.end());
  EXPECT_EQ(colours.size(), orbitPalette.size());
  EXPECT_EQ(colours.count(toolkit::clWhite), 0u);

  OrbitPortrait p;
  p.topOrbit.assign(static_cast<std::size_t>(portraitWidth) * portraitHeight, -1);
  p.topOrbit[0] = 0;
  p.topOrbit[1] = 1;
  p.topOrbit[2] = 21;
  toolkit::TCanvas canvas(portraitWidth, portraitHeight);
  canvas.Brush->Color = toolkit::clRed;
  canvas.FillRect(3, 0, 4, 1);
  paintOrbits(canvas, p);
  EXPECT_EQ(canvas.pixel(0, 0), toolkit::clBlack);
  EXPECT_EQ(canvas.pixel(1, 0), orbitPalette[1]);
  EXPECT_EQ(canvas.pixel(2, 0), toolkit::clBlack);
  EXPECT_EQ(canvas.pixel(3, 0), toolkit::clRed) << "a pixel without an orbit keeps what it showed";
  EXPECT_EQ(canvas.Brush->Color, toolkit::clRed);
}

// An interrupt in the Python module: the progress report raises the stop flag
// and throws. The workers must stop long before their orbits end (these would
// run for days), and the exception must reach the caller.
TEST(MultiOrbitPortraitThreads, ProgressThatStopsAndThrowsEndsTheRun) {
  struct Interrupt : OrbitProgress {
    void progress(std::int64_t, std::int64_t) override {
      stop.store(true);
      throw std::runtime_error("interrupted");
    }
    std::atomic<bool> stop{false};
  } interrupt;
  const BilliardTable table = buildTable(0.5, 2);
  const std::vector<OrbitStart> starts = spreadStarts(table, 3, 0);
  EXPECT_THROW(
      drawOrbits(table, freshRunWindow(table), starts, std::int64_t{1} << 50, 2, &interrupt, &interrupt.stop),
      std::runtime_error);
}

}  // namespace
}  // namespace trapezola
