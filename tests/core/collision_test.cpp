// Collision search: worked hits, corner ownership, misses.
#include "core/dynamics/collision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "tests/explorer_test_support.h"

namespace trapezola {
namespace {

constexpr double printed = 1e-6;  // reference figures carry 6 decimals

void startAt(Explorer& ex, double b, double rr, double s, double angleDeg) {
  ex.window = PhaseWindowRecord{};
  setupTable(ex, b, rr, s, angleDeg, 1);
  launch(ex);
}

struct Hit {
  int arc;
  double t, x, y;
};

struct HitCase {
  double b, rr, s, angleDeg;
  Hit first, second;
};

const HitCase hitCases[] = {
    {0.5, 2, 0.7, 60, {3, 2.477733, -0.918120, -0.989391}, {3, 1.475145, 0.491284, -1.424862}},
    {1, 1, 0.7, 60, {2, 2.449490, -1.375942, -0.326780}, {3, 2.449490, 0.970970, -1.028210}},
    {1, 2, 0, 45, {1, 1.581139, -0.5, 1.5}, {2, 2.131899, -1.174166, -0.522497}},
};

void PrintTo(const HitCase& c, std::ostream* os) {
  *os << "b=" << c.b << " rr=" << c.rr << " s=" << c.s << " angle=" << c.angleDeg;
}

class CollisionExamples : public ::testing::TestWithParam<HitCase> {};

TEST_P(CollisionExamples, FirstTwoHitsMatchTheWorkedRuns) {
  Explorer ex;
  const HitCase& c = GetParam();
  startAt(ex, c.b, c.rr, c.s, c.angleDeg);
  for (const Hit& want : {c.first, c.second}) {
    findHit(ex.table, ex.ball);
    EXPECT_EQ(ex.ball.arc, want.arc);
    EXPECT_NEAR(ex.ball.hitDistance, want.t, printed);
    EXPECT_NEAR(ex.ball.hitX, want.x, printed);
    EXPECT_NEAR(ex.ball.hitY, want.y, printed);
    reflect<double>(ex.table, ex.ball, ex.ball.hitX, ex.ball.hitY, ex.ball.hitCentreX, ex.ball.hitCentreY,
                    ex.ball.hitRadius, ex.ball.arc);
    ex.ball.x = ex.ball.hitX;
    ex.ball.y = ex.ball.hitY;
    ex.ball.dx = ex.ball.newDx;
    ex.ball.dy = ex.ball.newDy;
  }
}

INSTANTIATE_TEST_SUITE_P(WorkedRuns, CollisionExamples, ::testing::ValuesIn(hitCases));

TEST(Collision, StartOfTheFirstWorkedRun) {
  Explorer ex;
  startAt(ex, 0.5, 2, 0.7, 60);
  EXPECT_NEAR(ex.ball.x, -0.139422, printed);
  EXPECT_NEAR(ex.ball.y, 1.362797, printed);
  EXPECT_NEAR(ex.ball.dx, -0.314278, printed);
  EXPECT_NEAR(ex.ball.dy, -0.949331, printed);
}

TEST(Collision, CircleChordsAllHaveTheSameLengthAndTheOrbitCloses) {
  Explorer ex;
  startAt(ex, 1, 1, 0.7, 60);
  const double x0 = ex.ball.x, y0 = ex.ball.y;
  for (int i = 0; i < 3; ++i) {
    bounceOn(ex);
    EXPECT_NEAR(ex.ball.hitDistance, 2 * std::sqrt(2.0) * std::sin(pi / 3), 1e-12);
  }
  EXPECT_NEAR(ex.ball.x, x0, 1e-12);
  EXPECT_NEAR(ex.ball.y, y0, 1e-12);
}

TEST(Collision, CornerHitsGoToTheLowestNumberedArc) {
  Explorer ex;
  // A table whose four arcs lie on the circle of radius 5 about the origin, with
  // corners at (+-3, 4) and (+-4, -3): axis-parallel rays then hit the corners
  // exactly, without rounding.
  const BilliardTable saved = ex.table;
  BilliardTable& g = ex.table;
  g.corner1 = {3, 4};
  g.corner2 = {-3, 4};
  g.corner3 = {-4, -3};
  g.corner4 = {4, -3};
  g.centre1 = g.centre2 = g.centre3 = g.centre4 = {0, 0};
  g.radiusTop = g.radiusSide = g.radiusBottom = 5;
  const struct {
    double x, y, dx, dy;
    int arc;
    TablePoint corner;
  } rays[] = {
      {3, -4, 0, 1, 1, g.corner1},
      {-3, -4, 0, 1, 1, g.corner2},
      {4, -3, -1, 0, 2, g.corner3},
      {-4, -3, 1, 0, 3, g.corner4},
  };
  for (const auto& r : rays) {
    ex.ball.x = r.x;
    ex.ball.y = r.y;
    ex.ball.dx = r.dx;
    ex.ball.dy = r.dy;
    findHit(ex.table, ex.ball);
    EXPECT_EQ(ex.ball.arc, r.arc) << "corner at " << r.corner.x << ", " << r.corner.y;
    EXPECT_EQ(ex.ball.hitX, r.corner.x);
    EXPECT_EQ(ex.ball.hitY, r.corner.y);
    EXPECT_EQ(ex.ball.hitDistance, 8);
  }
  ex.table = saved;
}

TEST(Collision, NearlyGrazingRayAlongTheTopArcStaysOnIt) {
  Explorer ex;
  startAt(ex, 0.5, 2, 0.3, 0.5);
  findHit(ex.table, ex.ball);
  EXPECT_EQ(ex.ball.arc, 1);
  EXPECT_LT(ex.ball.hitDistance, 0.05);
  EXPECT_GE(ex.ball.hitY, ex.table.corner1.y);
}

TEST(Collision, MissesKeepThePreviousHit) {
  Explorer ex;
  startAt(ex, 0.5, 2, 0.7, 60);
  findHit(ex.table, ex.ball);
  const WindowBall hit = ex.ball;
  // A non-finite ray meets no circle.
  ex.ball.dx = std::numeric_limits<double>::quiet_NaN();
  findHit(ex.table, ex.ball);
  EXPECT_EQ(ex.ball.hitX, hit.hitX);
  EXPECT_EQ(ex.ball.hitY, hit.hitY);
  EXPECT_EQ(ex.ball.arc, hit.arc);
  // A ray far outside the table that meets no circle.
  ex.ball.x = 10;
  ex.ball.y = 10;
  ex.ball.dx = 1;
  ex.ball.dy = 0;
  findHit(ex.table, ex.ball);
  EXPECT_EQ(ex.ball.hitX, hit.hitX);
  EXPECT_EQ(ex.ball.arc, hit.arc);
  EXPECT_EQ(hitArc(ex.table, ex.ball, 0), 0);
  // The far root counts even when it lies behind the start: from (10, 0) heading
  // away, circle 4's far root is behind the ray and inside arc 4's window.
  ex.ball.y = 0;
  EXPECT_EQ(hitArc(ex.table, ex.ball, 4), 4);
  EXPECT_LT(ex.ball.hitDistance, 0);
  EXPECT_EQ(hitArc(ex.table, ex.ball, 5), 0);
}

// The corner rule: the circle of radius 5 above, a top corner moved a rounding
// outwards, so that the vertical ray that meets the circle at the corner's old
// place falls outside every window (arc 1's by its height, arcs 2 and 4's by
// their x test). Fault: such a ray found no arc, and its orbit stopped ("the
// orbit left the table"). The bottom corners take the same code; their windows
// differ in height only, so one shared circle cannot make both refuse.
struct CornerCase {
  int corner;  // 1..4
  double x, y, dx, dy;
  int arc;  // the lower-numbered of the two arcs that meet there
  double hitX, hitY;
};

class CornerRule : public ::testing::TestWithParam<CornerCase> {};

BilliardTable circleOfRadiusFive() {
  BilliardTable g;
  g.corner1 = {3, 4};
  g.corner2 = {-3, 4};
  g.corner3 = {-4, -3};
  g.corner4 = {4, -3};
  g.centre1 = g.centre2 = g.centre3 = g.centre4 = {0, 0};
  g.radiusTop = g.radiusSide = g.radiusBottom = 5;
  return g;
}

TEST_P(CornerRule, ARayThatEveryWindowRefusesAtACornerReflectsOffTheCornersArc) {
  const CornerCase& c = GetParam();
  BilliardTable g = circleOfRadiusFive();
  // One ulp or so outwards: the far root (c.hitX, c.hitY) lies just inside.
  const double out = 4e-15;
  if (c.corner == 1) {
    g.corner1 = {3 + out, 4 + out};
    g.corner2.y = 4 + out;
  } else {
    g.corner2 = {-3 - out, 4 + out};
    g.corner1.y = 4 + out;
  }
  Ball ball;
  ball.x = c.x;
  ball.y = c.y;
  ball.dx = c.dx;
  ball.dy = c.dy;
  for (int i = 1; i <= 4; ++i) {
    Ball probe = ball;
    EXPECT_EQ(hitArc(g, probe, i), 0) << "arc " << i << " takes the ray: the case tests nothing";
  }
  EXPECT_EQ(findHit(g, ball), c.arc);
  EXPECT_EQ(ball.arc, c.arc);
  EXPECT_EQ(ball.hitX, c.hitX);
  EXPECT_EQ(ball.hitY, c.hitY);
  EXPECT_EQ(ball.hitDistance, 8);
  EXPECT_EQ(ball.hitRadius, 5);
}

INSTANTIATE_TEST_SUITE_P(TopCorners, CornerRule,
                         ::testing::Values(CornerCase{1, 3, -4, 0, 1, 1, 3, 4},
                                           CornerCase{2, -3, -4, 0, 1, 1, -3, 4}));

TEST(CornerRule, ARayThatMissesACornerByMoreThanTheToleranceStillFindsNoArc) {
  BilliardTable g = circleOfRadiusFive();
  // Corner 1 moved 1e-6 outwards: the ray meets the circle 1e-6 away from it.
  g.corner1 = {3 + 1e-6, 4 + 1e-6};
  g.corner2.y = 4 + 1e-6;
  Ball ball;
  ball.x = 3;
  ball.y = -4;
  ball.dx = 0;
  ball.dy = 1;
  EXPECT_EQ(findHit(g, ball), 0);
}

// Fault: in every circle (R8/R = 1) the first start of the R2 rule, s4/2 at 90
// degrees, runs along a diameter into corner 1, where neither arc 1 nor arc 4
// took it; portrait --orbits and the atlas's circle row reported a stopped
// orbit. It now bounces back and forth along the diameter.
TEST(CornerRule, TheDiameterIntoCornerOneOfACircleBouncesOn) {
  for (const double b : {0.15, 0.5, 1.0}) {
    const BilliardTable table = buildTable(b, 1);
    Ball ball;
    launch(table, ball, table.s4 / 2, std::cos(startAngleRadians(90.0)));
    for (int n = 1; n <= 1000; ++n) {
      ASSERT_EQ(bounce(table, ball), BounceStatus::ok) << "b = " << b << ", bounce " << n;
      // Back and forth: corner 1 (s = 0, or a rounding below s4) and s4/2,
      // the rounding walking away like eps n^1.5 (the precision horizon's
      // circle): 7e-12 after 1000 bounces.
      const double fromCorner = std::fmin(ball.s, table.s4 - ball.s);
      const double fromMiddle = std::fabs(ball.s - table.s4 / 2);
      EXPECT_LT(std::fmin(fromCorner, fromMiddle), 1e-10) << "b = " << b << ", bounce " << n;
      EXPECT_NEAR(ball.phi, pi / 2, 1e-12);
    }
  }
}

}  // namespace
}  // namespace trapezola
