// Placement on the boundary: worked points, arc boundaries, wrapping, launch.
#include "core/geometry/boundary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"

namespace trapezola {
namespace {

constexpr double printed = 1e-6;  // reference figures carry 6 decimals

void launchTable(double b, double rr) {
  PhaseWindow = PhaseWindowRecord{};
  setupTable(b, rr, 0, 90, 1);
  launch();
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
  const PlacementCase& c = GetParam();
  launchTable(0.5, 2);
  placeOnBoundary(std::cos(c.angleDeg * pi / 180), c.s);
  EXPECT_NEAR(BallState.x, c.x, printed);
  EXPECT_NEAR(BallState.y, c.y, printed);
  EXPECT_NEAR(BallState.tx, c.tx, printed);
  EXPECT_NEAR(BallState.ty, c.ty, printed);
  EXPECT_NEAR(BallState.dx, c.dx, printed);
  EXPECT_NEAR(BallState.dy, c.dy, printed);
}

INSTANTIATE_TEST_SUITE_P(HalfTableRatioTwo, PlacementExamples, ::testing::ValuesIn(placements));

TEST(Placement, LaunchSetsTiltArcAndScales) {
  launchTable(0.5, 2);
  EXPECT_NEAR(TableGeometry.sideTilt, 0.25268, 1e-5);
  EXPECT_EQ(BallState.arc, 1);
  EXPECT_DOUBLE_EQ(PhaseWindow.scaleS, 778 / TableGeometry.s4);
  EXPECT_DOUBLE_EQ(PhaseWindow.scalePhi, 666 / pi);
}

TEST(Placement, WrapsAboveThePerimeter) {
  launchTable(0.5, 2);
  const double s4 = TableGeometry.s4;
  placeOnBoundary(0, 0.3);
  const double x = BallState.x, y = BallState.y;
  placeOnBoundary(0, s4 + 0.3);
  EXPECT_NEAR(BallState.x, x, 1e-12);
  EXPECT_NEAR(BallState.y, y, 1e-12);
  // 2 s4 wraps to 0, corner 1; s4 itself is not wrapped and lies on arc 4, whose
  // tangent at corner 1 equals arc 1's.
  placeOnBoundary(0, 2 * s4);
  EXPECT_NEAR(BallState.x, TableGeometry.corner1.x, 1e-12);
  EXPECT_NEAR(BallState.y, TableGeometry.corner1.y, 1e-12);
  const double tx0 = BallState.tx, ty0 = BallState.ty;
  placeOnBoundary(0, s4);
  EXPECT_NEAR(BallState.x, TableGeometry.corner1.x, 1e-12);
  EXPECT_NEAR(BallState.y, TableGeometry.corner1.y, 1e-12);
  EXPECT_NEAR(BallState.tx, tx0, 1e-12);
  EXPECT_NEAR(BallState.ty, ty0, 1e-12);
}

TEST(Placement, CornersBelongToTheArcThatEndsThere) {
  launchTable(0.5, 2);
  const TableGeometryRecord& g = TableGeometry;
  const double corners[][3] = {
      {g.s1, g.corner2.x, g.corner2.y}, {g.s2, g.corner3.x, g.corner3.y}, {g.s3, g.corner4.x, g.corner4.y}};
  for (const auto& c : corners) {
    placeOnBoundary(0, c[0]);
    EXPECT_NEAR(BallState.x, c[1], 1e-9) << "s = " << c[0];
    EXPECT_NEAR(BallState.y, c[2], 1e-9) << "s = " << c[0];
  }
}

TEST(Placement, CosineGivesDirectionAgainstTheTangent) {
  launchTable(1, 2);
  placeOnBoundary(1, 1.0);  // grazing counter-clockwise
  EXPECT_DOUBLE_EQ(BallState.dx, BallState.tx);
  EXPECT_DOUBLE_EQ(BallState.dy, BallState.ty);
  placeOnBoundary(-1, 1.0);
  EXPECT_DOUBLE_EQ(BallState.dx, -BallState.tx);
  EXPECT_DOUBLE_EQ(BallState.dy, -BallState.ty);
  placeOnBoundary(0, 1.0);  // inward normal: the tangent turned a quarter counter-clockwise
  EXPECT_DOUBLE_EQ(BallState.dx, -BallState.ty);
  EXPECT_DOUBLE_EQ(BallState.dy, BallState.tx);
}

TEST(Placement, BottomArcEndAboveItsCentre) {
  launchTable(0.2, 5);
  placeOnBoundary(0, 2.5);
  EXPECT_NEAR(BallState.x, -1.003658, printed);
  EXPECT_NEAR(BallState.y, -0.67215, printed);
  EXPECT_NEAR(BallState.tx, -0.196107, printed);
  EXPECT_NEAR(BallState.ty, -0.980583, printed);
  EXPECT_NEAR(BallState.dx, 0.980583, printed);
  EXPECT_NEAR(BallState.dy, -0.196107, printed);
}

// The perimeter is closed: a negative coordinate is the same point as one a
// whole number of perimeters on, as a coordinate beyond s4 is. It used to place
// nothing, and the run went on from wherever the ball stood before.
TEST(Placement, NegativeCoordinateWrapsLikeALargeOne) {
  launchTable(0.5, 2);
  const double s4 = TableGeometry.s4;
  placeOnBoundary(0.3, s4 - 0.1);
  const BallStateRecord wanted = BallState;
  for (const double s : {-0.1, -0.1 - s4, -0.1 - 7 * s4}) {
    placeOnBoundary(0.3, 1.0);
    placeOnBoundary(0.3, s);
    EXPECT_NEAR(BallState.x, wanted.x, 1e-12) << s;
    EXPECT_NEAR(BallState.y, wanted.y, 1e-12) << s;
    EXPECT_NEAR(BallState.dy, wanted.dy, 1e-12) << s;
  }
  // A whole number of perimeters below 0 is corner 1.
  placeOnBoundary(0, -2 * s4);
  EXPECT_NEAR(BallState.x, TableGeometry.corner1.x, 1e-12);
  EXPECT_NEAR(BallState.y, TableGeometry.corner1.y, 1e-12);

  PhaseWindow.scaleS = 0;
  BallState.startS = -0.1;
  BallState.arc = 3;
  launch();
  EXPECT_EQ(BallState.arc, 1);
  EXPECT_NEAR(BallState.startS, s4 - 0.1, 1e-12);
  EXPECT_NEAR(BallState.x, wanted.x, 1e-12);
  EXPECT_DOUBLE_EQ(PhaseWindow.scaleS, 778 / (PhaseWindow.sMax - PhaseWindow.sMin));
}

TEST(Placement, NonFiniteCoordinatePlacesNothing) {
  launchTable(0.5, 2);
  placeOnBoundary(0, 1.0);
  const BallStateRecord before = BallState;
  placeOnBoundary(0, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(BallState.x, before.x);
  EXPECT_EQ(BallState.dy, before.dy);
  placeOnBoundary(0, -std::numeric_limits<double>::infinity());
  EXPECT_EQ(BallState.x, before.x);
}

TEST(Placement, LaunchStoresTheWrappedStart) {
  PhaseWindow = PhaseWindowRecord{};
  setupTable(0.5, 2, 8.017375 + 0.3, 90, 1);
  launch();
  EXPECT_NEAR(BallState.startS, 0.3, 1e-5);
  EXPECT_NEAR(BallState.x, 0.253499, 1e-5);
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
  launchTable(0.5, 2);
  double x = 7, y = 7;
  ASSERT_TRUE(boundaryPointAt(4.5, x, y));
  EXPECT_NEAR(x, -0.068245, printed);
  EXPECT_NEAR(y, -1.546936, printed);
  EXPECT_FALSE(boundaryPointAt(TableGeometry.s4 + 0.1, x, y));
  EXPECT_FALSE(boundaryPointAt(-0.1, x, y));
  EXPECT_NEAR(x, -0.068245, printed);
}

}  // namespace
}  // namespace trapezola
