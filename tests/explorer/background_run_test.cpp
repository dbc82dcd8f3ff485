// Orbit runs on a worker thread: a run nobody stops draws what one synchronous
// run of the same passes draws, to the bit; a run stopped anywhere and continued
// from where it stopped draws the same as one run; a bounce on no arc stops the
// run instead of ending the process. make test-tsan runs these under
// ThreadSanitizer.
#include "explorer/background_run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

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

bool samePixels(const toolkit::TCanvas& a, const toolkit::TCanvas& b) {
  return a.width() == b.width() && a.height() == b.height() &&
         std::memcmp(a.bits(), b.bits(),
                     sizeof(std::uint32_t) * static_cast<std::size_t>(a.width()) *
                         static_cast<std::size_t>(a.height())) == 0;
}

bool sameBall(const Ball& a, const Ball& b) {
  return std::memcmp(&a, &b, sizeof(Ball)) == 0;
}

class BackgroundRunTest : public ::testing::Test {
 protected:
  Explorer ex;

  void SetUp() override {
    setupTable(ex, 0.5, 2, 0.7, 60, 30);
    launch(ex);
  }

  // The job of a fresh go run of `passes` x `perPass` bounces, big blue dots.
  OrbitRunJob freshJob(int passes, std::int64_t perPass) {
    OrbitRunJob job;
    job.table = ex.table;
    job.ball = ex.ball;
    job.window = ex.window;
    job.dotSize = 3;
    job.colour = toolkit::clBlue;
    job.passes = passes;
    job.bouncesPerPass = perPass;
    return job;
  }

  // What one synchronous run of plotted passes, in one go, draws for the same
  // job: the worker's chunks and stops must not show in the picture.
  static Ball recordRun(toolkit::TCanvas& canvas, const OrbitRunJob& job) {
    Ball ball = job.ball;
    canvas.Pen->Color = job.colour;
    canvas.Brush->Color = job.colour;
    RunPosition at;
    EXPECT_EQ(
        runPlottedPasses(PlottedPasses{job.table, job.window, job.dotSize, job.passes, job.bouncesPerPass},
                         ball, canvas, at),
        BounceStatus::ok);
    return ball;
  }
};

TEST_F(BackgroundRunTest, ARunNobodyStopsDrawsTheSynchronousRunToTheBit) {
  const OrbitRunJob job = freshJob(1000, 30);
  toolkit::TCanvas want(portraitWidth, portraitHeight);
  const Ball wantBall = recordRun(want, job);

  toolkit::TCanvas shown(portraitWidth, portraitHeight);
  BackgroundRun run(job, shown);
  run.wait();
  run.showDrawing(shown);
  ASSERT_TRUE(run.finished());
  EXPECT_TRUE(run.end().complete);
  EXPECT_FALSE(run.end().badArcIndex);
  EXPECT_EQ(run.end().at.pass, 1000);
  EXPECT_EQ(run.bouncesDone(), 30000);
  EXPECT_EQ(run.passesDone(), 1000);
  EXPECT_TRUE(sameBall(run.end().ball, wantBall));
  EXPECT_TRUE(samePixels(shown, want));
}

// Each stretch is asked to stop at once; a stretch always finishes the chunk
// it began, so the run moves on, stopping wherever the thread happened to be.
TEST_F(BackgroundRunTest, StoppedAnywhereAndContinuedItDrawsOneRun) {
  for (const std::int64_t perPass : {std::int64_t{7}, std::int64_t{9000}}) {
    const OrbitRunJob job = freshJob(40, perPass);
    toolkit::TCanvas want(portraitWidth, portraitHeight);
    const Ball wantBall = recordRun(want, job);

    toolkit::TCanvas shown(portraitWidth, portraitHeight);
    OrbitRunJob stretch = job;
    int stretches = 0;
    for (;;) {
      BackgroundRun run(stretch, shown);
      run.requestStop();
      run.wait();
      run.showDrawing(shown);
      ++stretches;
      const OrbitRunEnd& end = run.end();
      EXPECT_EQ(run.bouncesDone(), bouncesDoneAt(end.at, perPass));
      if (end.complete) {
        EXPECT_TRUE(sameBall(end.ball, wantBall)) << perPass;
        break;
      }
      ASSERT_LT(stretches, 100000);
      stretch.ball = end.ball;
      stretch.from = end.at;
    }
    EXPECT_TRUE(samePixels(shown, want)) << perPass;
    // 9000 bounces a pass are three chunks: the long run was cut at least once.
    if (perPass == 9000) {
      EXPECT_GT(stretches, 1);
    }
  }
}

TEST_F(BackgroundRunTest, NoBounceRunsStillCountTheirPasses) {
  for (const std::int64_t perPass : {std::int64_t{0}, std::int64_t{-3}}) {
    toolkit::TCanvas shown(portraitWidth, portraitHeight);
    BackgroundRun run(freshJob(1001, perPass), shown);
    run.wait();
    EXPECT_TRUE(run.end().complete);
    EXPECT_EQ(run.passesDone(), 1001);
    EXPECT_EQ(run.bouncesDone(), 0);
    EXPECT_EQ(bouncesDoneAt(RunPosition{1001, 0}, perPass), 0);
  }
}

// A bounce whose collision search finds no arc ends the run before its
// reflection, as runPlottedPasses does; the worker only reports it (a ball that
// was never launched has no direction, so no arc accepts it).
TEST_F(BackgroundRunTest, ABallThatLeavesTheTableEndsTheRunAndIsReported) {
  OrbitRunJob job = freshJob(1000, 10);
  job.ball = Ball{};
  toolkit::TCanvas shown(portraitWidth, portraitHeight);
  bool told = false;
  {
    BackgroundRun run(job, shown, [&told] { told = true; });
    run.wait();
    EXPECT_TRUE(run.end().leftTable);
    EXPECT_FALSE(run.end().badArcIndex);
    EXPECT_FALSE(run.end().complete);
    EXPECT_EQ(run.bouncesDone(), 0);
    run.showDrawing(shown);
  }
  EXPECT_TRUE(told);
  EXPECT_EQ(shown.pixel(400, 300), toolkit::clWhite);
}

TEST_F(BackgroundRunTest, DestroyingARunningRunStopsIt) {
  toolkit::TCanvas shown(portraitWidth, portraitHeight);
  // Far more bounces than any machine computes before the destructor asks;
  // reaching the end of the test is the check that it stopped and joined.
  { BackgroundRun run(freshJob(1000, 1000000000), shown); }
  SUCCEED();
}

}  // namespace
}  // namespace trapezola
