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

namespace trapezola {
namespace {

using toolkit::clBlue;
using toolkit::TCanvas;

class PointerReadout : public ::testing::Test {
 protected:
  // b = 1, R8/R = 2 with the full window: 0 .. s4 against 0 .. pi.
  void SetUp() override {
    PhaseWindow = PhaseWindowRecord{};
    HoverPoint = HoverPointRecord{};
    setupTable(1, 2, 0.7, 60, 1);
    launch();
    runCount = 1;
  }
  void TearDown() override {
    runCount = 0;
    PhaseWindow = PhaseWindowRecord{};
  }
};

TEST_F(PointerReadout, ActiveOnlyInsideThePlotAfterARun) {
  EXPECT_TRUE(pointerReadoutActive(6, 9));
  EXPECT_TRUE(pointerReadoutActive(784, 675));
  EXPECT_FALSE(pointerReadoutActive(5, 100));
  EXPECT_FALSE(pointerReadoutActive(100, 676));
  EXPECT_FALSE(pointerReadoutActive(785, 100));
  EXPECT_FALSE(pointerReadoutActive(100, 8));
  runCount = 0;
  EXPECT_FALSE(pointerReadoutActive(100, 100));
}

TEST_F(PointerReadout, CornersOfThePlotGiveTheWindowsLimits) {
  hoverAt(6, 9);
  EXPECT_EQ(HoverPoint.s, 0);
  EXPECT_EQ(HoverPoint.phi, pi);
  hoverAt(784, 675);
  EXPECT_NEAR(HoverPoint.s, TableGeometry.s4, 1e-12);
  EXPECT_NEAR(HoverPoint.phi, 0, 1e-12);
}

TEST_F(PointerReadout, WorkedPointOnCornerThree) {
  hoverAt(395, 342);
  EXPECT_NEAR(HoverPoint.s, 4.549155, 1e-6);
  EXPECT_NEAR(HoverPoint.phi * 180 / pi, 90, 1e-9);
  TCanvas sketch(sketchWidth, sketchHeight);
  drawHoverSketch(sketch, [] { return 0; });
  EXPECT_NEAR(HoverPoint.x, -1, 1e-6);
  EXPECT_NEAR(HoverPoint.y, -1, 1e-6);
  // The marker: a blue disc just left of and below corner 3 (pixel 51, 170).
  EXPECT_EQ(sketch.pixel(49, 171), clBlue);
  EXPECT_EQ(BallState.startS, HoverPoint.s);
  EXPECT_EQ(BallState.cosPhi, std::cos(HoverPoint.phi));
}

TEST_F(PointerReadout, FollowDepthDrawsThatManySegments) {
  hoverAt(200, 200);
  const auto blueCount = [](const TCanvas& c) {
    int n = 0;
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x) n += c.pixel(x, y) == clBlue;
    return n;
  };
  TCanvas none(sketchWidth, sketchHeight), three(sketchWidth, sketchHeight);
  drawHoverSketch(none, [] { return 0; });
  drawHoverSketch(three, [] { return 3; });
  EXPECT_GT(blueCount(three), blueCount(none) + 30);
  // Depth 3 computes four bounces: the ball ends one bounce past the last point drawn.
  const double cosPhi = std::cos(HoverPoint.phi);
  placeOnBoundary(cosPhi, HoverPoint.s);
  for (int i = 0; i < 4; ++i) bounce();
  const double x = BallState.x;
  drawHoverSketch(three, [] { return 3; });
  EXPECT_EQ(BallState.x, x);
}

TEST_F(PointerReadout, ForecastCountsToTheFirstCornerApproachAndKeepsTheHoverPoint) {
  // From corner 1 at 45 degrees the first bounce is on the top arc at 1.756: no
  // corner; aim instead at a start whose first bounce lands on corner 3 (s2).
  HoverPoint.s = 0;
  HoverPoint.phi = pi / 4;
  const HoverPointRecord before = HoverPoint;
  const int k = forecastCornerApproach(0.05);
  EXPECT_GE(k, 1);
  EXPECT_EQ(HoverPoint.s, before.s);
  EXPECT_EQ(HoverPoint.phi, before.phi);
  // A negative tolerance can never be met.
  EXPECT_EQ(forecastCornerApproach(-0.001), forecastLimit);

  // The circle: from s = 0.7 at 60 degrees the first bounce lands at 3.661922,
  // within 0.05 of no corner (2.221, 4.443, 6.664, 8.886) but within 0.5 of s2.
  setupTable(1, 1, 0.7, 60, 1);
  launch();
  HoverPoint.s = 0.7;
  HoverPoint.phi = pi / 3;
  EXPECT_EQ(forecastCornerApproach(0.8), 1);
}

}  // namespace
}  // namespace trapezola
