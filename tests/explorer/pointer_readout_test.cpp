// The pointer read-out and the corner forecast, without the window.
#include "explorer/pointer_readout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_window.h"
#include "explorer/table_sketch.h"
#include "explorer/window_geometry.h"
#include "raster/canvas.h"
#include "tests/explorer_test_support.h"

namespace trapezola {
namespace {

using toolkit::clBlue;
using toolkit::TCanvas;

class PointerReadout : public ::testing::Test {
 protected:
  Explorer ex;

  // b = 1, R8/R = 2 with the full window: 0 .. s4 against 0 .. pi.
  void SetUp() override {
    ex.window = PhaseWindowRecord{};
    ex.hover = HoverPointRecord{};
    setupTable(ex, 1, 2, 0.7, 60, 1);
    launch(ex);
    ex.runCount = 1;
  }
  void TearDown() override {
    ex.runCount = 0;
    ex.window = PhaseWindowRecord{};
  }
};

TEST_F(PointerReadout, ActiveOnlyInsideThePlotAfterARun) {
  EXPECT_TRUE(pointerReadoutActive(ex, 6, 9));
  EXPECT_TRUE(pointerReadoutActive(ex, 784, 675));
  EXPECT_FALSE(pointerReadoutActive(ex, 5, 100));
  EXPECT_FALSE(pointerReadoutActive(ex, 100, 676));
  EXPECT_FALSE(pointerReadoutActive(ex, 785, 100));
  EXPECT_FALSE(pointerReadoutActive(ex, 100, 8));
  ex.runCount = 0;
  EXPECT_FALSE(pointerReadoutActive(ex, 100, 100));
}

TEST_F(PointerReadout, CornersOfThePlotGiveTheWindowsLimits) {
  hoverAt(ex, 6, 9);
  EXPECT_EQ(ex.hover.s, 0);
  EXPECT_EQ(ex.hover.phi, pi);
  hoverAt(ex, 784, 675);
  EXPECT_NEAR(ex.hover.s, ex.table.s4, 1e-12);
  EXPECT_NEAR(ex.hover.phi, 0, 1e-12);
}

TEST_F(PointerReadout, WorkedPointOnCornerThree) {
  hoverAt(ex, 395, 342);
  EXPECT_NEAR(ex.hover.s, 4.549155, 1e-6);
  EXPECT_NEAR(ex.hover.phi * 180 / pi, 90, 1e-9);
  TCanvas sketch(sketchWidth, sketchHeight);
  drawHoverSketch(ex, sketch, [] { return 0; });
  EXPECT_NEAR(ex.hover.x, -1, 1e-6);
  EXPECT_NEAR(ex.hover.y, -1, 1e-6);
  // The marker: a blue disc just left of and below corner 3 (pixel 51, 170).
  EXPECT_EQ(sketch.pixel(49, 171), clBlue);
  EXPECT_EQ(ex.ball.startS, ex.hover.s);
  EXPECT_EQ(ex.ball.cosPhi, std::cos(ex.hover.phi));
}

TEST_F(PointerReadout, FollowDepthDrawsThatManySegments) {
  hoverAt(ex, 200, 200);
  const auto blueCount = [](const TCanvas& c) {
    int n = 0;
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x) n += c.pixel(x, y) == clBlue;
    return n;
  };
  TCanvas none(sketchWidth, sketchHeight), three(sketchWidth, sketchHeight);
  drawHoverSketch(ex, none, [] { return 0; });
  drawHoverSketch(ex, three, [] { return 3; });
  EXPECT_GT(blueCount(three), blueCount(none) + 30);
  // Depth 3 computes four bounces: the ball ends one bounce past the last point drawn.
  const double cosPhi = std::cos(ex.hover.phi);
  placeOnBoundary<double>(ex.table, ex.ball, cosPhi, ex.hover.s);
  for (int i = 0; i < 4; ++i) bounceOn(ex);
  const double x = ex.ball.x;
  drawHoverSketch(ex, three, [] { return 3; });
  EXPECT_EQ(ex.ball.x, x);
}

TEST_F(PointerReadout, ForecastCountsToTheFirstCornerApproachAndKeepsTheHoverPoint) {
  // From corner 1 at 45 degrees the first bounce is on the top arc at 1.756: no
  // corner; aim instead at a start whose first bounce lands on corner 3 (s2).
  ex.hover.s = 0;
  ex.hover.phi = pi / 4;
  const HoverPointRecord before = ex.hover;
  const int k = forecastCornerApproach(ex, 0.05).value_or(-1);
  EXPECT_GE(k, 1);
  EXPECT_EQ(ex.hover.s, before.s);
  EXPECT_EQ(ex.hover.phi, before.phi);
  // A negative tolerance can never be met.
  EXPECT_EQ(forecastCornerApproach(ex, -0.001).value_or(-1), forecastLimit);

  // The circle: from s = 0.7 at 60 degrees the first bounce lands at 3.661922,
  // within 0.05 of no corner (2.221, 4.443, 6.664, 8.886) but within 0.5 of s2.
  setupTable(ex, 1, 1, 0.7, 60, 1);
  launch(ex);
  ex.hover.s = 0.7;
  ex.hover.phi = pi / 3;
  EXPECT_EQ(forecastCornerApproach(ex, 0.8).value_or(-1), 1);
}

}  // namespace
}  // namespace trapezola
