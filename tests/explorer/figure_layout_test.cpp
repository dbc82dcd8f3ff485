// The figure's axes and dots without drawing: round tick values inside the
// phase window, their texts, and the portrait's pixels as runs of one colour.
#include "explorer/figure_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace trapezola {
namespace {

TEST(FigureLayout, TicksAreRoundValuesInsideTheWindow) {
  // The whole perimeter of b = 0.5, R8/R = 2 and the whole angle range.
  EXPECT_EQ(niceTicks(0, 8.017375, 8), (std::vector<double>{0, 2, 4, 6, 8}));
  EXPECT_EQ(niceTicks(0, 8.017375, 9), (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(niceTicks(0, 3.141592653589793, 6), (std::vector<double>{0, 1, 2, 3}));
  EXPECT_EQ(niceTicks(0, 3.141592653589793, 7), (std::vector<double>{0, 0.5, 1, 1.5, 2, 2.5, 3}));
  // A zoomed window: steps of 0.02, from the first multiple inside it.
  const std::vector<double> zoomed = niceTicks(2.013, 2.1, 6);
  ASSERT_EQ(zoomed.size(), 5u);
  EXPECT_NEAR(zoomed.front(), 2.02, 1e-12);  // 1e-12: a few ulps of k * step
  EXPECT_NEAR(zoomed.back(), 2.10, 1e-12);
  EXPECT_TRUE(niceTicks(1, 1, 5).empty());
  EXPECT_TRUE(niceTicks(2, 1, 5).empty());
  EXPECT_TRUE(niceTicks(0, NAN, 5).empty());
}

TEST(FigureLayout, TickTextsShowTheDecimalsTheStepNeeds) {
  EXPECT_EQ(tickText(4, 1), "4");
  EXPECT_EQ(tickText(1.5, 0.5), "1.5");
  EXPECT_EQ(tickText(2.0200000000000002, 0.02), "2.02");
  EXPECT_EQ(tickText(-1e-17, 0.5), "0.0");
  EXPECT_EQ(tickText(200, 50), "200");
}

TEST(FigureLayout, DotsAreRunsOfOneColourRowByRow) {
  toolkit::TCanvas c(20, 4);
  c.Brush->Color = toolkit::clBlack;
  c.FillRect(2, 1, 6, 2);  // 4 black
  c.Brush->Color = toolkit::clRed;
  c.FillRect(6, 1, 8, 2);   // 2 red right after
  c.FillRect(0, 3, 20, 4);  // a whole red row, partly outside the region
  const std::vector<DotRun> runs = dotRuns(c, 1, 0, 15, 4);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].x, 2);
  EXPECT_EQ(runs[0].length, 4);
  EXPECT_EQ(runs[0].colour, toolkit::clBlack);
  EXPECT_EQ(runs[1].x, 6);
  EXPECT_EQ(runs[1].length, 2);
  EXPECT_EQ(runs[2].y, 3);
  EXPECT_EQ(runs[2].x, 1);
  EXPECT_EQ(runs[2].length, 14);
}

}  // namespace
}  // namespace trapezola
