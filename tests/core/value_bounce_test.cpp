// The bounce on values: what a caller that owns its ball is told when a bounce
// cannot be made, and the plotted bounce that every orbit picture is drawn by.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "core/analysis/lgtr_series.h"
#include "core/analysis/periodic_orbit.h"
#include "core/dynamics/bounce.h"
#include "core/dynamics/reflection.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"

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

// The plotted bounce is the bounce with the plot step between the two copies:
// the plot sees the new position with the old direction, and after it the ball
// is the unplotted bounce's to the bit.
TEST(PlottedBounce, PlotsBetweenTheCopiesAndEndsAsTheBounce) {
  const BilliardTable table = buildTable(0.5, 2);
  Ball plotted = launchedBall(table);
  Ball bare = plotted;
  for (int n = 0; n < 200; ++n) {
    const Ball before = plotted;
    int calls = 0;
    ASSERT_EQ(plottedBounce(table, plotted,
                            [&](const Ball& seen) {
                              ++calls;
                              EXPECT_EQ(seen.x, seen.hitX);
                              EXPECT_EQ(seen.y, seen.hitY);
                              EXPECT_EQ(seen.dx, before.dx);
                              EXPECT_EQ(seen.dy, before.dy);
                            }),
              BounceStatus::ok);
    ASSERT_EQ(bounce(table, bare), BounceStatus::ok);
    EXPECT_EQ(calls, 1);
    expectSameBall(plotted, bare);
  }
}

// Where no arc accepts, the plotted run ends before reflecting: nothing is
// plotted and the ball keeps its position, direction and previous bounce. A
// ball that was never launched (at the origin, without a direction) finds no
// arc either and is left alone.
TEST(PlottedBounce, StopsBeforeTheReflectionAndPlotsNothing) {
  const BilliardTable table = buildTable(0.5, 2);
  Ball ball = launchedBall(table);
  ASSERT_EQ(bounce(table, ball), BounceStatus::ok);
  ball.dx = std::numeric_limits<double>::quiet_NaN();
  const Ball leaving = ball;
  std::vector<double> plotted;
  const auto plot = [&](const Ball& b) { plotted.push_back(b.s); };
  EXPECT_EQ(plottedBounce(table, ball, plot), BounceStatus::noArcAccepted);
  EXPECT_TRUE(plotted.empty());
  EXPECT_EQ(ball.x, leaving.x);
  EXPECT_EQ(ball.s, leaving.s);
  EXPECT_TRUE(std::isnan(ball.dx));

  Ball unlaunched;
  EXPECT_EQ(plottedBounce(table, unlaunched, plot), BounceStatus::noArcAccepted);
  EXPECT_TRUE(plotted.empty());
  expectSameBall(unlaunched, Ball{});
}

}  // namespace
}  // namespace trapezola
