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
  void SetUp() override {
    const OrbitCase& c = GetParam();
    PhaseWindow = PhaseWindowRecord{};
    setupTable(c.b, c.rr, c.s, c.angleDeg, 1);
    launch();
  }
};

TEST_P(OrbitProperties, PlacingAtTheReflectedCoordinateGivesBackTheHit) {
  int seenArc[5] = {};
  int bottomBranch[3] = {};
  for (int n = 0; n < 20000; ++n) {
    bounce();
    const BallStateRecord after = BallState;
    ++seenArc[after.arc];
    if (after.arc == 3) {
      const double u = (after.s - TableGeometry.s2) / TableGeometry.radiusBottom;
      const double h = TableGeometry.halfAngleBottom;
      ++bottomBranch[u < h - pi * 0.25 ? 0 : (u > h + pi * 0.25 ? 2 : 1)];
    }
    placeOnBoundary(0, after.s);
    // Rounding in asin near the ends of an arc costs a few ulps of the angle,
    // scaled by the radius (up to about 40 on the flattest table here).
    ASSERT_NEAR(BallState.x, after.hitX, 1e-9) << "bounce " << n << " on arc " << after.arc;
    ASSERT_NEAR(BallState.y, after.hitY, 1e-9) << "bounce " << n << " on arc " << after.arc;
    BallState = after;
  }
  for (int arc = 1; arc <= 4; ++arc) EXPECT_GT(seenArc[arc], 0) << "arc " << arc << " never hit";
  EXPECT_GT(bottomBranch[1], 0) << "the middle of the bottom arc was never hit";
}

TEST_P(OrbitProperties, PhasePointStaysInsideThePhaseSpace) {
  const double s4 = TableGeometry.s4;
  for (int n = 0; n < 200000; ++n) {
    bounce();
    // Bounces exactly at corner 1 may come out a rounding error below 0 or above s4.
    ASSERT_GE(BallState.s, -1e-12) << "bounce " << n;
    ASSERT_LE(BallState.s, s4 + 1e-12) << "bounce " << n;
    ASSERT_FALSE(BallState.phi < 0 || BallState.phi > pi) << "bounce " << n;
    ASSERT_NEAR(std::hypot(BallState.dx, BallState.dy), 1, 1e-9) << "bounce " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(SeveralTables, OrbitProperties, ::testing::ValuesIn(orbits));

TEST(CircleTable, KeepsTheAngleOnEveryBounce) {
  for (const double angle : {10.0, 47.0, 90.0, 133.0}) {
    PhaseWindow = PhaseWindowRecord{};
    setupTable(0.6, 1, 1.3, angle, 1);
    launch();
    const double phi0 = std::acos(BallState.cosPhi);
    for (int n = 0; n < 10000; ++n) {
      bounce();
      ASSERT_NEAR(BallState.phi, phi0, 1e-8) << "angle " << angle << ", bounce " << n;
    }
  }
}

TEST(SameArcBounces, KeepTheAngleOnTheBottomCircle) {
  // Bounces 1 and 2 of this run both land on the bottom arc.
  PhaseWindow = PhaseWindowRecord{};
  setupTable(0.5, 2, 0.7, 60, 1);
  launch();
  bounce();
  const double phi1 = BallState.phi;
  bounce();
  EXPECT_EQ(BallState.arc, 3);
  EXPECT_NEAR(BallState.phi, phi1, 1e-14);
}

}  // namespace
}  // namespace trapezola
