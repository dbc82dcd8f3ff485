// Orbit runs without the window: fresh against continued runs, the bounce
// counts of go and double click, and the saved end state.
#include "explorer/orbit_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"

namespace trapezola {
namespace {

class CountingObserver : public PassObserver {
 public:
  void passDone() override { ++passes; }
  int passes = 0;
};

class OrbitRun : public ::testing::Test {
 protected:
  void SetUp() override {
    PhaseWindow = PhaseWindowRecord{};
    ResumeState = ResumeStateRecord{};
    BallState = BallStateRecord{};
    runCount = 0;
  }
  void TearDown() override { SetUp(); }

  // The end of a run of n bounces from a fresh launch, computed bounce by bounce.
  static BallStateRecord bouncesFromLaunch(std::int64_t n) {
    launch();
    for (std::int64_t i = 0; i < n; ++i) bounce();
    return BallState;
  }

  toolkit::TCanvas portrait{portraitWidth, portraitHeight};
};

TEST_F(OrbitRun, GoStartsFreshThenContinues) {
  setupTable(0.5, 2, 0.7, 60, 1);
  const BallStateRecord after2000 = [] {
    const BallStateRecord saved = BallState;
    const BallStateRecord end = bouncesFromLaunch(2000);
    BallState = saved;
    return end;
  }();

  CountingObserver observer;
  performGoRun(portrait, RunLook{}, &observer);
  EXPECT_EQ(observer.passes, 1000);
  EXPECT_EQ(runCount, 1);
  EXPECT_EQ(pointSize, 2);
  // Continue: the second run picks up where the first stopped, even though the
  // start fields (startS) now say something else.
  setupTable(0.5, 2, 3.3, 10, 1);
  performGoRun(portrait, RunLook{}, nullptr);
  EXPECT_EQ(runCount, 2);
  EXPECT_EQ(ResumeState.x, after2000.hitX);
  EXPECT_EQ(ResumeState.y, after2000.hitY);
  EXPECT_EQ(ResumeState.dx, after2000.newDx);
  EXPECT_EQ(ResumeState.dy, after2000.newDy);
}

// A start along the tangent: the collision search finds no arc. The run used to
// reflect on the hit left by the previous run and plot about a thousand dots of
// that other orbit; now it ends at once and plots nothing.
TEST_F(OrbitRun, RunThatFindsNoBoundaryStopsAndPlotsNothing) {
  setupTable(0.5, 2, 0.7, 60, 1);
  EXPECT_TRUE(performGoRun(portrait, RunLook{0, toolkit::clBlack, false}, nullptr));
  ResumeState = ResumeStateRecord{};
  toolkit::TCanvas fresh{portraitWidth, portraitHeight};
  for (const double angle : {0.0, 180.0}) {
    setupTable(0.5, 2, 0.7, angle, 1);
    CountingObserver observer;
    EXPECT_FALSE(performGoRun(fresh, RunLook{0, toolkit::clBlack, false}, &observer)) << angle;
    EXPECT_EQ(observer.passes, 0) << angle;
    const toolkit::TCanvas blank{portraitWidth, portraitHeight};
    EXPECT_TRUE(std::equal(fresh.bits(), fresh.bits() + portraitWidth * portraitHeight, blank.bits()))
        << angle;
    ResumeState = ResumeStateRecord{};
  }
}

TEST_F(OrbitRun, ClearedResumeStateStartsFreshFromTheFields) {
  setupTable(0.5, 2, 0.7, 60, 1);
  performGoRun(portrait, RunLook{}, nullptr);
  ResumeState = ResumeStateRecord{};
  setupTable(0.5, 2, 3.3, 10, 2);
  const BallStateRecord saved = BallState;
  const BallStateRecord want = bouncesFromLaunch(2000);
  BallState = saved;
  performGoRun(portrait, RunLook{1, 0xFF, false}, nullptr);
  EXPECT_EQ(ResumeState.x, want.hitX);
  EXPECT_EQ(ResumeState.dy, want.newDy);
  EXPECT_EQ(pointSize, 3);
  EXPECT_EQ(portrait.Pen->Color, 0xFFu);
}

TEST_F(OrbitRun, DoubleClickMakesOneMoreBounceEveryPassAndOneMorePass) {
  setupTable(0.5, 2, 0.7, 60, 1);
  launch();
  const BallStateRecord start = BallState;
  const BallStateRecord want = bouncesFromLaunch(2002);
  BallState = start;
  CountingObserver observer;
  performDoubleClickRun(portrait, RunLook{}, &observer);
  EXPECT_EQ(observer.passes, 1001);
  EXPECT_EQ(ResumeState.x, want.hitX);
  EXPECT_EQ(ResumeState.dx, want.newDx);
  EXPECT_EQ(runCount, 0);  // a double click is not a go press
}

TEST_F(OrbitRun, GridAfterTheRunDoesNotSpoilTheSavedState) {
  setupTable(0.5, 2, 0.7, 60, 1);
  const BallStateRecord want = bouncesFromLaunch(1000);
  setupTable(0.5, 2, 0.7, 60, 1);  // the reflection overwrote the start cosine
  performGoRun(portrait, RunLook{0, 0, true}, nullptr);
  EXPECT_EQ(ResumeState.x, want.hitX);
  EXPECT_EQ(ResumeState.dy, want.newDy);
  EXPECT_EQ(portrait.Pen->Color, toolkit::clBlack);
}

TEST_F(OrbitRun, NoBouncesForAZeroRepeatCountButEveryPassIsReported) {
  setupTable(0.5, 2, 0.7, 60, 0);
  CountingObserver observer;
  performGoRun(portrait, RunLook{}, &observer);
  EXPECT_EQ(observer.passes, 1000);
  EXPECT_EQ(ResumeState.x, 0);  // no bounce ever computed: all zero
}

TEST_F(OrbitRun, PlottedRunMatchesTheBareBounceLoop) {
  // Plotting must not disturb the orbit: same end state as unplotted bounces.
  setupTable(1, 2, 1.1, 33, 5);
  const BallStateRecord want = bouncesFromLaunch(5000);
  setupTable(1, 2, 1.1, 33, 5);
  performGoRun(portrait, RunLook{}, nullptr);
  EXPECT_EQ(ResumeState.x, want.hitX);
  EXPECT_EQ(ResumeState.y, want.hitY);
}

}  // namespace
}  // namespace trapezola
