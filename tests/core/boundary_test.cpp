// Placement on the boundary: worked points, arc boundaries, wrapping, launch.
#include "core/geometry/boundary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "tests/explorer_test_support.h"

namespace trapezola {
namespace {

constexpr double printed = 1e-6;  // reference figures carry 6 decimals

void launchTable(Explorer& ex, double b, double rr) {
  ex.window = PhaseWindowRecord{};
  setupTable(ex, b, rr, 0, 90, 1);
  launch(ex);
}

struct PlacementCase {
  double s, angleDeg;
  double x, y, tx, ty, dx, dy;
};

const PlacementCase placements[] = {
    {0, 90, 0.5, 1.161895, -0.6875, 0.726184, -0.726184, -0.6875},
    {0.3, 90, 0.253499, 1.328696, -0.929757, 0.368175, -0.368175, -0.929757},
    {2.5, 90, -1.057311, -0.07343, -0.089451, -0.995991, 0.995991, -0.089451},
    {4.5, 60, -0.068245, -1.546936, 0.997814, -0.066078, 0.556132, 0.831094},
    {7.0, 120, 0.993212, 0.283807, -0.262398, 0.96496, -0.704481, -0.709723},
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
  *os << "s=" << c.s << " angle=" << c.angleDeg;
}

class PlacementExamples : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementExamples, MatchTheWorkedPoints) {
  Explorer ex;
  const PlacementCase& c = GetParam();
  launchTable(ex, 0.5, 2);
  placeOnBoundary<double>(ex.table, ex.ball, std::cos(c.angleDeg * pi / 180), c.s);
  EXPECT_NEAR(ex.ball.x, c.x, printed);
  EXPECT_NEAR(ex.ball.y, c.y, printed);
  EXPECT_NEAR(ex.ball.tx, c.tx, printed);
  EXPECT_NEAR(ex.ball.ty, c.ty, printed);
  EXPECT_NEAR(ex.ball.dx, c.dx, printed);
  EXPECT_NEAR(ex.ball.dy, c.dy, printed);
}

INSTANTIATE_TEST_SUITE_P(HalfTableRatioTwo, PlacementExamples, ::testing::ValuesIn(placements));

TEST(Placement, LaunchSetsTiltArcAndScales) {
  Explorer ex;
  launchTable(ex, 0.5, 2);
  EXPECT_NEAR(ex.table.sideTilt, 0.25268, 1e-5);
  EXPECT_EQ(ex.ball.arc, 1);
  EXPECT_DOUBLE_EQ(ex.window.scaleS, 778 / ex.table.s4);
  EXPECT_DOUBLE_EQ(ex.window.scalePhi, 666 / pi);
}

TEST(Placement, WrapsAboveThePerimeter) {
  Explorer ex;
  launchTable(ex, 0.5, 2);
  const double s4 = ex.table.s4;
  placeOnBoundary<double>(ex.table, ex.ball, 0, 0.3);
  const double x = ex.ball.x, y = ex.ball.y;
  placeOnBoundary<double>(ex.table, ex.ball, 0, s4 + 0.3);
  EXPECT_NEAR(ex.ball.x, x, 1e-12);
  EXPECT_NEAR(ex.ball.y, y, 1e-12);
  // 2 s4 wraps to 0, corner 1; s4 itself is not wrapped and lies on arc 4, whose
  // tangent at corner 1 equals arc 1's.
  placeOnBoundary<double>(ex.table, ex.ball, 0, 2 * s4);
  EXPECT_NEAR(ex.ball.x, ex.table.corner1.x, 1e-12);
  EXPECT_NEAR(ex.ball.y, ex.table.corner1.y, 1e-12);
  const double tx0 = ex.ball.tx, ty0 = ex.ball.ty;
  placeOnBoundary<double>(ex.table, ex.ball, 0, s4);
  EXPECT_NEAR(ex.ball.x, ex.table.corner1.x, 1e-12);
  EXPECT_NEAR(ex.ball.y, ex.table.corner1.y, 1e-12);
  EXPECT_NEAR(ex.ball.tx, tx0, 1e-12);
  EXPECT_NEAR(ex.ball.ty, ty0, 1e-12);
}

TEST(Placement, CornersBelongToTheArcThatEndsThere) {
  Explorer ex;
  launchTable(ex, 0.5, 2);
  const BilliardTable& g = ex.table;
  const double corners[][3] = {
      {g.s1, g.corner2.x, g.corner2.y}, {g.s2, g.corner3.x, g.corner3.y}, {g.s3, g.corner4.x, g.corner4.y}};
  for (const auto& c : corners) {
    placeOnBoundary<double>(ex.table, ex.ball, 0, c[0]);
    EXPECT_NEAR(ex.ball.x, c[1], 1e-9) << "s = " << c[0];
    EXPECT_NEAR(ex.ball.y, c[2], 1e-9) << "s = " << c[0];
  }
}

TEST(Placement, CosineGivesDirectionAgainstTheTangent) {
  Explorer ex;
  launchTable(ex, 1, 2);
  placeOnBoundary<double>(ex.table, ex.ball, 1, 1.0);  // grazing counter-clockwise
  EXPECT_DOUBLE_EQ(ex.ball.dx, ex.ball.tx);
  EXPECT_DOUBLE_EQ(ex.ball.dy, ex.ball.ty);
  placeOnBoundary<double>(ex.table, ex.ball, -1, 1.0);
  EXPECT_DOUBLE_EQ(ex.ball.dx, -ex.ball.tx);
  EXPECT_DOUBLE_EQ(ex.ball.dy, -ex.ball.ty);
  placeOnBoundary<double>(ex.table, ex.ball, 0,
                          1.0);  // inward normal: the tangent turned a quarter counter-clockwise
  EXPECT_DOUBLE_EQ(ex.ball.dx, -ex.ball.ty);
  EXPECT_DOUBLE_EQ(ex.ball.dy, ex.ball.tx);
}

TEST(Placement, BottomArcEndAboveItsCentre) {
  Explorer ex;
  launchTable(ex, 0.2, 5);
  placeOnBoundary<double>(ex.table, ex.ball, 0, 2.5);
  EXPECT_NEAR(ex.ball.x, -1.003658, printed);
  EXPECT_NEAR(ex.ball.y, -0.67215, printed);
  EXPECT_NEAR(ex.ball.tx, -0.196107, printed);
  EXPECT_NEAR(ex.ball.ty, -0.980583, printed);
  EXPECT_NEAR(ex.ball.dx, 0.980583, printed);
  EXPECT_NEAR(ex.ball.dy, -0.196107, printed);
}

// The perimeter is closed: a negative coordinate is the same point as one a
// whole number of perimeters on, as a coordinate beyond s4 is. It used to place
// nothing, and the run went on from wherever the ball stood before.
TEST(Placement, NegativeCoordinateWrapsLikeALargeOne) {
  Explorer ex;
  launchTable(ex, 0.5, 2);
  const double s4 = ex.table.s4;
  placeOnBoundary<double>(ex.table, ex.ball, 0.3, s4 - 0.1);
  const WindowBall wanted = ex.ball;
  for (const double s : {-0.1, -0.1 - s4, -0.1 - 7 * s4}) {
    placeOnBoundary<double>(ex.table, ex.ball, 0.3, 1.0);
    placeOnBoundary<double>(ex.table, ex.ball, 0.3, s);
    EXPECT_NEAR(ex.ball.x, wanted.x, 1e-12) << s;
    EXPECT_NEAR(ex.ball.y, wanted.y, 1e-12) << s;
    EXPECT_NEAR(ex.ball.dy, wanted.dy, 1e-12) << s;
  }
  // A whole number of perimeters below 0 is corner 1.
  placeOnBoundary<double>(ex.table, ex.ball, 0, -2 * s4);
  EXPECT_NEAR(ex.ball.x, ex.table.corner1.x, 1e-12);
  EXPECT_NEAR(ex.ball.y, ex.table.corner1.y, 1e-12);

  ex.window.scaleS = 0;
  ex.ball.startS = -0.1;
  ex.ball.arc = 3;
  launch(ex);
  EXPECT_EQ(ex.ball.arc, 1);
  EXPECT_NEAR(ex.ball.startS, s4 - 0.1, 1e-12);
  EXPECT_NEAR(ex.ball.x, wanted.x, 1e-12);
  EXPECT_DOUBLE_EQ(ex.window.scaleS, 778 / (ex.window.sMax - ex.window.sMin));
}

TEST(Placement, NonFiniteCoordinatePlacesNothing) {
  Explorer ex;
  launchTable(ex, 0.5, 2);
  placeOnBoundary<double>(ex.table, ex.ball, 0, 1.0);
  const WindowBall before = ex.ball;
  placeOnBoundary<double>(ex.table, ex.ball, 0, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(ex.ball.x, before.x);
  EXPECT_EQ(ex.ball.dy, before.dy);
  placeOnBoundary<double>(ex.table, ex.ball, 0, -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ex.ball.x, before.x);
}

TEST(Placement, LaunchStoresTheWrappedStart) {
  Explorer ex;
  ex.window = PhaseWindowRecord{};
  setupTable(ex, 0.5, 2, 8.017375 + 0.3, 90, 1);
  launch(ex);
  EXPECT_NEAR(ex.ball.startS, 0.3, 1e-5);
  EXPECT_NEAR(ex.ball.x, 0.253499, 1e-5);
}

TEST(BoundaryTangent, EveryClassGivesTheCounterClockwiseUnitTangent) {
  // On a circle of radius 2 about (1, -1), at angle a, the counter-clockwise
  // tangent is (-sin a, cos a); each class must agree where it is used.
  const double cx = 1, cy = -1, r = 2;
  const struct {
    double angleDeg;
    int tangentClass;
  } cases[] = {{90, 1},  {60, 1},  {120, 1}, {180, 2}, {150, 2}, {210, 2},
               {270, 3}, {240, 3}, {300, 3}, {0, 4},   {30, 4},  {-30, 4}};
  for (const auto& c : cases) {
    const double a = c.angleDeg * pi / 180;
    const UnitTangent t = boundaryTangent(cx + r * std::cos(a), cy + r * std::sin(a), cx, cy, c.tangentClass);
    EXPECT_NEAR(t.tx, -std::sin(a), 1e-12) << c.angleDeg;
    EXPECT_NEAR(t.ty, std::cos(a), 1e-12) << c.angleDeg;
  }
}

TEST(BoundaryPoint, IsThePlacementWithoutWrapping) {
  Explorer ex;
  launchTable(ex, 0.5, 2);
  double x = 7, y = 7;
  ASSERT_TRUE(boundaryPointAt<double>(ex.table, 4.5, x, y));
  EXPECT_NEAR(x, -0.068245, printed);
  EXPECT_NEAR(y, -1.546936, printed);
  EXPECT_FALSE(boundaryPointAt<double>(ex.table, ex.table.s4 + 0.1, x, y));
  EXPECT_FALSE(boundaryPointAt<double>(ex.table, -0.1, x, y));
  EXPECT_NEAR(x, -0.068245, printed);
}

}  // namespace
}  // namespace trapezola
