// Reflection: worked bounces, the quadrant classes, and the fatal guard.
#include "core/dynamics/reflection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

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

struct Bounce {
  int arc, side;
  double s, phi, cosPhi, newDx, newDy;
};

TEST(Reflection, FirstWorkedRunBounceByBounce) {
  Explorer ex;
  const Bounce want[] = {
      {3, 2, 3.437299, 0.795411, 0.699991, 0.955434, -0.295205},
      {3, 3, 5.080294, 0.795411, 0.699991, 0.276014, 0.961154},
      {4, 4, 7.020685, 0.555164, 0.849814, -0.738393, 0.674371},
      {1, 1, 0.726687, 0.982774, 0.554716, -0.338535, -0.940954},
  };
  startAt(ex, 0.5, 2, 0.7, 60);
  for (const Bounce& w : want) {
    bounceOn(ex);
    EXPECT_EQ(ex.ball.arc, w.arc);
    EXPECT_EQ(ex.ball.side, w.side);
    EXPECT_NEAR(ex.ball.s, w.s, printed);
    EXPECT_NEAR(ex.ball.phi, w.phi, printed);
    EXPECT_NEAR(ex.ball.cosPhi, w.cosPhi, printed);
    EXPECT_NEAR(ex.ball.newDx, w.newDx, printed);
    EXPECT_NEAR(ex.ball.newDy, w.newDy, printed);
  }
}

TEST(Reflection, CircleKeepsTheAngleAndClosesAfterThreeBounces) {
  Explorer ex;
  startAt(ex, 1, 1, 0.7, 60);
  const double s[] = {3.661922, 6.623844, 0.7};
  const int arcs[] = {2, 3, 1};
  for (int i = 0; i < 3; ++i) {
    bounceOn(ex);
    EXPECT_EQ(ex.ball.arc, arcs[i]);
    EXPECT_EQ(ex.ball.side, arcs[i]);
    EXPECT_NEAR(ex.ball.s, s[i], printed);
    EXPECT_NEAR(ex.ball.phi, pi / 3, 1e-12);
    EXPECT_NEAR(ex.ball.cosPhi, 0.5, 1e-12);
    if (i == 0) {
      EXPECT_NEAR(ex.ball.dx, 0.958123, printed);
      EXPECT_NEAR(ex.ball.dy, -0.286358, printed);
    }
  }
}

TEST(Reflection, SquareTableFromCornerOne) {
  Explorer ex;
  startAt(ex, 1, 2, 0, 45);
  bounceOn(ex);
  EXPECT_EQ(ex.ball.arc, 1);
  EXPECT_EQ(ex.ball.side, 1);
  EXPECT_NEAR(ex.ball.s, 1.756204, printed);
  EXPECT_NEAR(ex.ball.phi, pi / 4, printed);
  EXPECT_NEAR(ex.ball.newDx, -0.316228, printed);
  EXPECT_NEAR(ex.ball.newDy, -0.948683, printed);
}

TEST(Reflection, GrazingKeepsTheTangent) {
  Explorer ex;
  startAt(ex, 0.5, 2, 0.7, 60);
  // At the top of the top circle the tangent is exactly (-1, 0).
  const BilliardTable& g = ex.table;
  ex.ball.dx = -1;
  ex.ball.dy = 0;
  reflect<double>(ex.table, ex.ball, 0, g.centre1.y + g.radiusTop, g.centre1.x, g.centre1.y, g.radiusTop, 1);
  EXPECT_EQ(ex.ball.tx, -1);
  EXPECT_EQ(ex.ball.cosPhi, 1);
  EXPECT_EQ(ex.ball.newDx, ex.ball.tx);
  EXPECT_EQ(ex.ball.newDy, ex.ball.ty);
  EXPECT_EQ(ex.ball.phi, 0);
}

TEST(Reflection, QuadrantThresholdGoesToTheVerticalTest) {
  Explorer ex;
  startAt(ex, 1, 1, 0.7, 60);
  // |x - cx| exactly at sqrt(2) r / 2 is not beyond the threshold.
  const double r = 2;
  const double edge = (std::sqrt(2.0) * r) * 0.5;
  ex.ball.dx = 1;
  ex.ball.dy = 0;
  reflect<double>(ex.table, ex.ball, edge, 0.5, 0, 0, r, 1);
  EXPECT_EQ(ex.ball.side, 1);
  reflect<double>(ex.table, ex.ball, edge, 0, 0, 0, r, 1);  // y = cy goes below
  EXPECT_EQ(ex.ball.side, 3);
  reflect<double>(ex.table, ex.ball, std::nextafter(edge, 10.0), 0, 0, 0, r, 1);
  EXPECT_EQ(ex.ball.side, 4);
  reflect<double>(ex.table, ex.ball, -std::nextafter(edge, 10.0), 0, 0, 0, r, 1);
  EXPECT_EQ(ex.ball.side, 2);
}

}  // namespace
}  // namespace trapezola
