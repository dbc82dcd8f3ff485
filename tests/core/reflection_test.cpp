// Reflection: worked bounces, the quadrant classes, and the fatal guard.
#include "core/dynamics/reflection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

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

struct Bounce {
  int arc, side;
  double s, phi, cosPhi, newDx, newDy;
};

TEST(Reflection, FirstWorkedRunBounceByBounce) {
  const Bounce want[] = {
      {3, 2, 3.437299, 0.795411, 0.699991, 0.955434, -0.295205},
      {3, 3, 5.080294, 0.795411, 0.699991, 0.276014, 0.961154},
      {4, 4, 7.020685, 0.555164, 0.849814, -0.738393, 0.674371},
      {1, 1, 0.726687, 0.982774, 0.554716, -0.338535, -0.940954},
  };
  startAt(0.5, 2, 0.7, 60);
  for (const Bounce& w : want) {
    bounce();
    EXPECT_EQ(BallState.arc, w.arc);
    EXPECT_EQ(BallState.side, w.side);
    EXPECT_NEAR(BallState.s, w.s, printed);
    EXPECT_NEAR(BallState.phi, w.phi, printed);
    EXPECT_NEAR(BallState.cosPhi, w.cosPhi, printed);
    EXPECT_NEAR(BallState.newDx, w.newDx, printed);
    EXPECT_NEAR(BallState.newDy, w.newDy, printed);
  }
}

TEST(Reflection, CircleKeepsTheAngleAndClosesAfterThreeBounces) {
  startAt(1, 1, 0.7, 60);
  const double s[] = {3.661922, 6.623844, 0.7};
  const int arcs[] = {2, 3, 1};
  for (int i = 0; i < 3; ++i) {
    bounce();
    EXPECT_EQ(BallState.arc, arcs[i]);
    EXPECT_EQ(BallState.side, arcs[i]);
    EXPECT_NEAR(BallState.s, s[i], printed);
    EXPECT_NEAR(BallState.phi, pi / 3, 1e-12);
    EXPECT_NEAR(BallState.cosPhi, 0.5, 1e-12);
    if (i == 0) {
      EXPECT_NEAR(BallState.dx, 0.958123, printed);
      EXPECT_NEAR(BallState.dy, -0.286358, printed);
    }
  }
}

TEST(Reflection, SquareTableFromCornerOne) {
  startAt(1, 2, 0, 45);
  bounce();
  EXPECT_EQ(BallState.arc, 1);
  EXPECT_EQ(BallState.side, 1);
  EXPECT_NEAR(BallState.s, 1.756204, printed);
  EXPECT_NEAR(BallState.phi, pi / 4, printed);
  EXPECT_NEAR(BallState.newDx, -0.316228, printed);
  EXPECT_NEAR(BallState.newDy, -0.948683, printed);
}

TEST(Reflection, GrazingKeepsTheTangent) {
  startAt(0.5, 2, 0.7, 60);
  // At the top of the top circle the tangent is exactly (-1, 0).
  const TableGeometryRecord& g = TableGeometry;
  BallState.dx = -1;
  BallState.dy = 0;
  reflect(0, g.centre1.y + g.radiusTop, g.centre1.x, g.centre1.y, g.radiusTop, 1);
  EXPECT_EQ(BallState.tx, -1);
  EXPECT_EQ(BallState.cosPhi, 1);
  EXPECT_EQ(BallState.newDx, BallState.tx);
  EXPECT_EQ(BallState.newDy, BallState.ty);
  EXPECT_EQ(BallState.phi, 0);
}

TEST(Reflection, QuadrantThresholdGoesToTheVerticalTest) {
  startAt(1, 1, 0.7, 60);
  // |x - cx| exactly at sqrt(2) r / 2 is not beyond the threshold.
  const double r = 2;
  const double edge = (std::sqrt(2.0) * r) * 0.5;
  BallState.dx = 1;
  BallState.dy = 0;
  reflect(edge, 0.5, 0, 0, r, 1);
  EXPECT_EQ(BallState.side, 1);
  reflect(edge, 0, 0, 0, r, 1);  // y = cy goes below
  EXPECT_EQ(BallState.side, 3);
  reflect(std::nextafter(edge, 10.0), 0, 0, 0, r, 1);
  EXPECT_EQ(BallState.side, 4);
  reflect(-std::nextafter(edge, 10.0), 0, 0, 0, r, 1);
  EXPECT_EQ(BallState.side, 2);
}

using ReflectionDeathTest = ::testing::Test;

TEST_F(ReflectionDeathTest, ArcIndexOutsideOneToFourEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  startAt(0.5, 2, 0.7, 60);
  EXPECT_EXIT(reflect(0.5, 1, 0, 0, 1, 0), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(reflect(0.5, 1, 0, 0, 1, 5), ::testing::ExitedWithCode(1), "");
}

TEST_F(ReflectionDeathTest, GuardWritesProblemToStandardOutput) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  startAt(0.5, 2, 0.7, 60);
  // The message goes to standard output; redirect it into standard error so the
  // death test can see it.
  EXPECT_EXIT(
      {
        std::fflush(stdout);
        dup2(2, 1);
        reflect(0.5, 1, 0, 0, 1, -1);
      },
      ::testing::ExitedWithCode(1), "^problem!$");
}

}  // namespace
}  // namespace trapezola
