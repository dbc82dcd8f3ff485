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

namespace trapezola {
namespace {

constexpr double printed = 1e-6;  // reference figures carry 6 decimals

void startAt(double b, double rr, double s, double angleDeg) {
  PhaseWindow = PhaseWindowRecord{};
  setupTable(b, rr, s, angleDeg, 1);
  launch();
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
  const HitCase& c = GetParam();
  startAt(c.b, c.rr, c.s, c.angleDeg);
  for (const Hit& want : {c.first, c.second}) {
    findHit();
    EXPECT_EQ(BallState.arc, want.arc);
    EXPECT_NEAR(BallState.hitDistance, want.t, printed);
    EXPECT_NEAR(BallState.hitX, want.x, printed);
    EXPECT_NEAR(BallState.hitY, want.y, printed);
    reflect(BallState.hitX, BallState.hitY, BallState.hitCentreX, BallState.hitCentreY, BallState.hitRadius,
            BallState.arc);
    BallState.x = BallState.hitX;
    BallState.y = BallState.hitY;
    BallState.dx = BallState.newDx;
    BallState.dy = BallState.newDy;
  }
}

INSTANTIATE_TEST_SUITE_P(WorkedRuns, CollisionExamples, ::testing::ValuesIn(hitCases));

TEST(Collision, StartOfTheFirstWorkedRun) {
  startAt(0.5, 2, 0.7, 60);
  EXPECT_NEAR(BallState.x, -0.139422, printed);
  EXPECT_NEAR(BallState.y, 1.362797, printed);
  EXPECT_NEAR(BallState.dx, -0.314278, printed);
  EXPECT_NEAR(BallState.dy, -0.949331, printed);
}

TEST(Collision, CircleChordsAllHaveTheSameLengthAndTheOrbitCloses) {
  startAt(1, 1, 0.7, 60);
  const double x0 = BallState.x, y0 = BallState.y;
  for (int i = 0; i < 3; ++i) {
    bounce();
    EXPECT_NEAR(BallState.hitDistance, 2 * std::sqrt(2.0) * std::sin(pi / 3), 1e-12);
  }
  EXPECT_NEAR(BallState.x, x0, 1e-12);
  EXPECT_NEAR(BallState.y, y0, 1e-12);
}

TEST(Collision, CornerHitsGoToTheLowestNumberedArc) {
  // A table whose four arcs lie on the circle of radius 5 about the origin, with
  // corners at (+-3, 4) and (+-4, -3): axis-parallel rays then hit the corners
  // exactly, without rounding.
  const TableGeometryRecord saved = TableGeometry;
  TableGeometryRecord& g = TableGeometry;
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
    BallState.x = r.x;
    BallState.y = r.y;
    BallState.dx = r.dx;
    BallState.dy = r.dy;
    findHit();
    EXPECT_EQ(BallState.arc, r.arc) << "corner at " << r.corner.x << ", " << r.corner.y;
    EXPECT_EQ(BallState.hitX, r.corner.x);
    EXPECT_EQ(BallState.hitY, r.corner.y);
    EXPECT_EQ(BallState.hitDistance, 8);
  }
  TableGeometry = saved;
}

TEST(Collision, NearlyGrazingRayAlongTheTopArcStaysOnIt) {
  startAt(0.5, 2, 0.3, 0.5);
  findHit();
  EXPECT_EQ(BallState.arc, 1);
  EXPECT_LT(BallState.hitDistance, 0.05);
  EXPECT_GE(BallState.hitY, TableGeometry.corner1.y);
}

TEST(Collision, MissesKeepThePreviousHit) {
  startAt(0.5, 2, 0.7, 60);
  findHit();
  const BallStateRecord hit = BallState;
  // A non-finite ray meets no circle.
  BallState.dx = std::numeric_limits<double>::quiet_NaN();
  findHit();
  EXPECT_EQ(BallState.hitX, hit.hitX);
  EXPECT_EQ(BallState.hitY, hit.hitY);
  EXPECT_EQ(BallState.arc, hit.arc);
  // A ray far outside the table that meets no circle.
  BallState.x = 10;
  BallState.y = 10;
  BallState.dx = 1;
  BallState.dy = 0;
  findHit();
  EXPECT_EQ(BallState.hitX, hit.hitX);
  EXPECT_EQ(BallState.arc, hit.arc);
  EXPECT_EQ(hitArc(0), 0);
  // The far root counts even when it lies behind the start: from (10, 0) heading
  // away, circle 4's far root is behind the ray and inside arc 4's window.
  BallState.y = 0;
  EXPECT_EQ(hitArc(4), 4);
  EXPECT_LT(BallState.hitDistance, 0);
  EXPECT_EQ(hitArc(5), 0);
}

}  // namespace
}  // namespace trapezola
