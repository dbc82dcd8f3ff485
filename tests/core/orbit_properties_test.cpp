// Properties that must hold along whole orbits, on several tables: the
// perimeter coordinate of a bounce places the ball back on the hit point, the
// phase point stays inside [0, s4] x [0, pi], and a circle keeps the angle.
#include <gtest/gtest.h>

#include <cmath>

#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "tests/explorer_test_support.h"

namespace trapezola {
namespace {

struct OrbitCase {
  double b, rr, s, angleDeg;
};

// Includes b = 0.2, rr = 5, whose bottom arc ends rise above its centre, and a
// nearly flat-sided table.
const OrbitCase orbits[] = {
    {0.5, 2, 0.7, 60},  {1, 2, 0, 45},  {0.2, 5, 2.5, 80},  {0.2, 5, 4.1, 33},
    {0.9, 1.3, 5, 101}, {1, 20, 3, 70}, {0.05, 3, 1.5, 12}, {0.7, 1, 2.2, 37},
};

void PrintTo(const OrbitCase& c, std::ostream* os) {
  *os << "b=" << c.b << " rr=" << c.rr << " s=" << c.s << " angle=" << c.angleDeg;
}

class OrbitProperties : public ::testing::TestWithParam<OrbitCase> {
 protected:
  Explorer ex;

  void SetUp() override {
    const OrbitCase& c = GetParam();
    ex.window = PhaseWindowRecord{};
    setupTable(ex, c.b, c.rr, c.s, c.angleDeg, 1);
    launch(ex);
  }
};

TEST_P(OrbitProperties, PlacingAtTheReflectedCoordinateGivesBackTheHit) {
  int seenArc[5] = {};
  int bottomBranch[3] = {};
  for (int n = 0; n < 20000; ++n) {
    bounceOn(ex);
    const WindowBall after = ex.ball;
    ++seenArc[after.arc];
    if (after.arc == 3) {
      const double u = (after.s - ex.table.s2) / ex.table.radiusBottom;
      const double h = ex.table.halfAngleBottom;
      ++bottomBranch[u < h - pi * 0.25 ? 0 : (u > h + pi * 0.25 ? 2 : 1)];
    }
    placeOnBoundary<double>(ex.table, ex.ball, 0, after.s);
    // Rounding in asin near the ends of an arc costs a few ulps of the angle,
    // scaled by the radius (up to about 40 on the flattest table here).
    ASSERT_NEAR(ex.ball.x, after.hitX, 1e-9) << "bounce " << n << " on arc " << after.arc;
    ASSERT_NEAR(ex.ball.y, after.hitY, 1e-9) << "bounce " << n << " on arc " << after.arc;
    ex.ball = after;
  }
  for (int arc = 1; arc <= 4; ++arc) EXPECT_GT(seenArc[arc], 0) << "arc " << arc << " never hit";
  EXPECT_GT(bottomBranch[1], 0) << "the middle of the bottom arc was never hit";
}

TEST_P(OrbitProperties, PhasePointStaysInsideThePhaseSpace) {
  const double s4 = ex.table.s4;
  for (int n = 0; n < 200000; ++n) {
    bounceOn(ex);
    // Bounces exactly at corner 1 may come out a rounding error below 0 or above s4.
    ASSERT_GE(ex.ball.s, -1e-12) << "bounce " << n;
    ASSERT_LE(ex.ball.s, s4 + 1e-12) << "bounce " << n;
    ASSERT_FALSE(ex.ball.phi < 0 || ex.ball.phi > pi) << "bounce " << n;
    ASSERT_NEAR(std::hypot(ex.ball.dx, ex.ball.dy), 1, 1e-9) << "bounce " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(SeveralTables, OrbitProperties, ::testing::ValuesIn(orbits));

TEST(CircleTable, KeepsTheAngleOnEveryBounce) {
  Explorer ex;
  for (const double angle : {10.0, 47.0, 90.0, 133.0}) {
    ex.window = PhaseWindowRecord{};
    setupTable(ex, 0.6, 1, 1.3, angle, 1);
    launch(ex);
    const double phi0 = std::acos(ex.ball.cosPhi);
    for (int n = 0; n < 10000; ++n) {
      bounceOn(ex);
      ASSERT_NEAR(ex.ball.phi, phi0, 1e-8) << "angle " << angle << ", bounce " << n;
    }
  }
}

TEST(SameArcBounces, KeepTheAngleOnTheBottomCircle) {
  Explorer ex;
  // Bounces 1 and 2 of this run both land on the bottom arc.
  ex.window = PhaseWindowRecord{};
  setupTable(ex, 0.5, 2, 0.7, 60, 1);
  launch(ex);
  bounceOn(ex);
  const double phi1 = ex.ball.phi;
  bounceOn(ex);
  EXPECT_EQ(ex.ball.arc, 3);
  EXPECT_NEAR(ex.ball.phi, phi1, 1e-14);
}

}  // namespace
}  // namespace trapezola
