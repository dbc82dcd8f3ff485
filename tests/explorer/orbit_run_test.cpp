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
#include "tests/explorer_test_support.h"

namespace trapezola {
namespace {

class CountingObserver : public PassObserver {
 public:
  void passDone() override { ++passes; }
  int passes = 0;
};

class OrbitRun : public ::testing::Test {
 protected:
  Explorer ex;

  void SetUp() override {
    ex.window = PhaseWindowRecord{};
    ex.resume = ResumeStateRecord{};
    ex.ball = WindowBall{};
    ex.runCount = 0;
  }
  void TearDown() override { SetUp(); }

  // The end of a run of n bounces from a fresh launch, computed bounce by bounce.
  WindowBall bouncesFromLaunch(std::int64_t n) {
    launch(ex);
    for (std::int64_t i = 0; i < n; ++i) bounceOn(ex);
    return ex.ball;
  }

  toolkit::TCanvas portrait{portraitWidth, portraitHeight};
};

TEST_F(OrbitRun, GoStartsFreshThenContinues) {
  setupTable(ex, 0.5, 2, 0.7, 60, 1);
  const WindowBall after2000 = [this] {
    const WindowBall saved = ex.ball;
    const WindowBall end = bouncesFromLaunch(2000);
    ex.ball = saved;
    return end;
  }();

  CountingObserver observer;
  performGoRun(ex, portrait, RunLook{}, &observer);
  EXPECT_EQ(observer.passes, 1000);
  EXPECT_EQ(ex.runCount, 1);
  EXPECT_EQ(ex.pointSize, 2);
  // Continue: the second run picks up where the first stopped, even though the
  // start fields (startS) now say something else.
  setupTable(ex, 0.5, 2, 3.3, 10, 1);
  performGoRun(ex, portrait, RunLook{}, nullptr);
  EXPECT_EQ(ex.runCount, 2);
  EXPECT_EQ(ex.resume.x, after2000.hitX);
  EXPECT_EQ(ex.resume.y, after2000.hitY);
  EXPECT_EQ(ex.resume.dx, after2000.newDx);
  EXPECT_EQ(ex.resume.dy, after2000.newDy);
}

// A start along the tangent: the collision search finds no arc. The run used to
// reflect on the hit left by the previous run and plot about a thousand dots of
// that other orbit; now it ends at once and plots nothing.
TEST_F(OrbitRun, RunThatFindsNoBoundaryStopsAndPlotsNothing) {
  setupTable(ex, 0.5, 2, 0.7, 60, 1);
  EXPECT_TRUE((performGoRun(ex, portrait, RunLook{0, toolkit::clBlack, false}, nullptr) == BounceStatus::ok));
  ex.resume = ResumeStateRecord{};
  toolkit::TCanvas fresh{portraitWidth, portraitHeight};
  for (const double angle : {0.0, 180.0}) {
    setupTable(ex, 0.5, 2, 0.7, angle, 1);
    CountingObserver observer;
    EXPECT_FALSE(
        (performGoRun(ex, fresh, RunLook{0, toolkit::clBlack, false}, &observer) == BounceStatus::ok))
        << angle;
    EXPECT_EQ(observer.passes, 0) << angle;
    const toolkit::TCanvas blank{portraitWidth, portraitHeight};
    EXPECT_TRUE(std::equal(fresh.bits(), fresh.bits() + portraitWidth * portraitHeight, blank.bits()))
        << angle;
    ex.resume = ResumeStateRecord{};
  }
}

TEST_F(OrbitRun, ClearedResumeStateStartsFreshFromTheFields) {
  setupTable(ex, 0.5, 2, 0.7, 60, 1);
  performGoRun(ex, portrait, RunLook{}, nullptr);
  ex.resume = ResumeStateRecord{};
  setupTable(ex, 0.5, 2, 3.3, 10, 2);
  const WindowBall saved = ex.ball;
  const WindowBall want = bouncesFromLaunch(2000);
  ex.ball = saved;
  performGoRun(ex, portrait, RunLook{1, 0xFF, false}, nullptr);
  EXPECT_EQ(ex.resume.x, want.hitX);
  EXPECT_EQ(ex.resume.dy, want.newDy);
  EXPECT_EQ(ex.pointSize, 3);
  EXPECT_EQ(portrait.Pen->Color, 0xFFu);
}

TEST_F(OrbitRun, DoubleClickMakesOneMoreBounceEveryPassAndOneMorePass) {
  setupTable(ex, 0.5, 2, 0.7, 60, 1);
  launch(ex);
  const WindowBall start = ex.ball;
  const WindowBall want = bouncesFromLaunch(2002);
  ex.ball = start;
  CountingObserver observer;
  performDoubleClickRun(ex, portrait, RunLook{}, &observer);
  EXPECT_EQ(observer.passes, 1001);
  EXPECT_EQ(ex.resume.x, want.hitX);
  EXPECT_EQ(ex.resume.dx, want.newDx);
  EXPECT_EQ(ex.runCount, 0);  // a double click is not a go press
}

TEST_F(OrbitRun, GridAfterTheRunDoesNotSpoilTheSavedState) {
  setupTable(ex, 0.5, 2, 0.7, 60, 1);
  const WindowBall want = bouncesFromLaunch(1000);
  setupTable(ex, 0.5, 2, 0.7, 60, 1);  // the reflection overwrote the start cosine
  performGoRun(ex, portrait, RunLook{0, 0, true}, nullptr);
  EXPECT_EQ(ex.resume.x, want.hitX);
  EXPECT_EQ(ex.resume.dy, want.newDy);
  EXPECT_EQ(portrait.Pen->Color, toolkit::clBlack);
}

TEST_F(OrbitRun, NoBouncesForAZeroRepeatCountButEveryPassIsReported) {
  setupTable(ex, 0.5, 2, 0.7, 60, 0);
  CountingObserver observer;
  performGoRun(ex, portrait, RunLook{}, &observer);
  EXPECT_EQ(observer.passes, 1000);
  EXPECT_EQ(ex.resume.x, 0);  // no bounce ever computed: all zero
}

TEST_F(OrbitRun, PlottedRunMatchesTheBareBounceLoop) {
  // Plotting must not disturb the orbit: same end state as unplotted bounces.
  setupTable(ex, 1, 2, 1.1, 33, 5);
  const WindowBall want = bouncesFromLaunch(5000);
  setupTable(ex, 1, 2, 1.1, 33, 5);
  performGoRun(ex, portrait, RunLook{}, nullptr);
  EXPECT_EQ(ex.resume.x, want.hitX);
  EXPECT_EQ(ex.resume.y, want.hitY);
}

}  // namespace
}  // namespace trapezola
