// The bounce on values: what a caller that owns its ball is told when a bounce
// cannot be made, and that the window's adapters still end the process there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "core/analysis/lgtr_series.h"
#include "core/analysis/periodic_orbit.h"
#include "core/dynamics/bounce.h"
#include "core/dynamics/reflection.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/window_geometry.h"

namespace trapezola {
namespace {

void expectSameBall(const Ball& got, const Ball& want) {
  EXPECT_EQ(got.x, want.x);
  EXPECT_EQ(got.y, want.y);
  EXPECT_EQ(got.dx, want.dx);
  EXPECT_EQ(got.dy, want.dy);
  EXPECT_EQ(got.tx, want.tx);
  EXPECT_EQ(got.ty, want.ty);
  EXPECT_EQ(got.cosPhi, want.cosPhi);
  EXPECT_EQ(got.arc, want.arc);
  EXPECT_EQ(got.side, want.side);
  EXPECT_EQ(got.s, want.s);
  EXPECT_EQ(got.phi, want.phi);
  EXPECT_EQ(got.newDx, want.newDx);
  EXPECT_EQ(got.newDy, want.newDy);
}

Ball launchedBall(const BilliardTable& table) {
  Ball ball;
  launch(table, ball, 0.7, std::cos(startAngleRadians(60)));
  return ball;
}

TEST(ValueBounce, ArcIndexOutsideOneToFourIsAStatusAndWritesNothing) {
  const BilliardTable table = buildTable(0.5, 2);
  for (const int arc : {0, 5, -1}) {
    Ball ball = launchedBall(table);
    bounce(table, ball);
    const Ball before = ball;
    EXPECT_EQ(
        reflect(table, ball, ball.hitX, ball.hitY, ball.hitCentreX, ball.hitCentreY, ball.hitRadius, arc),
        BounceStatus::badArcIndex)
        << arc;
    expectSameBall(ball, before);
  }
}

// A ball that was never launched names no arc; standing at the origin without a
// direction, no arc accepts its ray either. The window's bounce ended the
// process here; on values every operation returns the status and the ball
// stays where it was.
TEST(ValueBounce, UnlaunchedBallReportsABadArcIndexEverywhere) {
  const BilliardTable table = buildTable(0.5, 2);
  Ball ball;
  EXPECT_EQ(bounce(table, ball), BounceStatus::badArcIndex);
  EXPECT_EQ(ball.x, 0);
  EXPECT_EQ(ball.dx, 0);
  EXPECT_EQ(ball.arc, 0);

  // A NaN s places nothing, so the analysis starts from the same ball.
  const double nowhere = std::numeric_limits<double>::quiet_NaN();
  const PeriodicOrbitAnalysis searched = analysePeriodicOrbit(table, ball, nowhere, 1.0, 0.05, std::nullopt);
  EXPECT_EQ(searched.status, BounceStatus::badArcIndex);
  EXPECT_FALSE(searched.hasMonodromy);
  const PeriodicOrbitAnalysis typed = analysePeriodicOrbit(table, ball, nowhere, 1.0, 0.05, 3);
  EXPECT_EQ(typed.status, BounceStatus::badArcIndex);
  EXPECT_FALSE(typed.hasMonodromy);
  EXPECT_EQ(typed.monodromy.m11, 1);

  int delivered = 0;
  const LgTrSeriesEnd end = runLgTrSeries(table, ball, BallPose{}, 10, 5, [&](int, double) { ++delivered; });
  EXPECT_EQ(end.status, BounceStatus::badArcIndex);
  EXPECT_EQ(delivered, 0);
}

// A search in which no arc accepts (here a non-finite direction) reflects on
// the previous hit, as the window's bounce always has, and says so.
TEST(ValueBounce, SearchWithoutAnArcIsReportedAndReusesThePreviousHit) {
  const BilliardTable table = buildTable(0.5, 2);
  Ball ball = launchedBall(table);
  ASSERT_EQ(bounce(table, ball), BounceStatus::ok);
  const Ball afterFirst = ball;
  ball.dx = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(bounce(table, ball), BounceStatus::noArcAccepted);
  EXPECT_EQ(ball.arc, afterFirst.arc);
  EXPECT_EQ(ball.x, afterFirst.hitX);
  EXPECT_EQ(ball.y, afterFirst.hitY);
  EXPECT_EQ(ball.s, afterFirst.s);
}

using ValueBounceDeathTest = ::testing::Test;

// The window's adapters keep its one fatal guard.
TEST_F(ValueBounceDeathTest, WindowAdaptersEndTheProcessAtABadArcIndex) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto unlaunched = [] {
    TableGeometry = TableGeometryRecord{};
    buildGeometry(0.5, 2);
    BallState = BallStateRecord{};
    std::fflush(stdout);
    dup2(2, 1);
  };
  EXPECT_EXIT(
      {
        unlaunched();
        bounce();
      },
      ::testing::ExitedWithCode(1), "^problem!$");
  EXPECT_EXIT(
      {
        unlaunched();
        analysePeriodicOrbit(std::numeric_limits<double>::quiet_NaN(), 1.0, 0.05, std::nullopt);
      },
      ::testing::ExitedWithCode(1), "^problem!$");
  EXPECT_EXIT(
      {
        unlaunched();
        runLgTrSeries(BallPose{}, 10, 5, [](int, double) {});
      },
      ::testing::ExitedWithCode(1), "^problem!$");
}

}  // namespace
}  // namespace trapezola
