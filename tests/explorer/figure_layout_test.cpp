// The figure's axes and dots without drawing: round tick values inside the
// phase window, their texts, and the portrait's pixels as runs of one colour.
#include "explorer/figure_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/dynamics/orbit_walk.h"

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

TEST(FigureLayout, PhiTicksAreFractionsOfPiWhereTheyFit) {
  const auto texts = [](double lo, double hi) {
    std::vector<std::string> out;
    for (const AxisTick& t : phiTicks(lo, hi)) out.push_back(t.text);
    return out;
  };
  EXPECT_EQ(texts(0, pi), (std::vector<std::string>{"0", "π/4", "π/2", "3π/4", "π"}));
  // The window's edges a little outside 0 and pi, as a fresh run's are.
  EXPECT_EQ(texts(-0.01, pi + 0.01), texts(0, pi));
  // Zoomed: the first of pi/8, pi/16, ... with three ticks inside.
  EXPECT_EQ(texts(1.0, 1.7), (std::vector<std::string>{"3π/8", "7π/16", "π/2"}));
  // Deeper than pi/1024: round numbers.
  EXPECT_EQ(texts(1.5, 1.5005),
            (std::vector<std::string>{"1.5000", "1.5001", "1.5002", "1.5003", "1.5004", "1.5005"}));
  EXPECT_TRUE(phiTicks(1, 1).empty());
  EXPECT_TRUE(phiTicks(0, NAN).empty());
  for (const AxisTick& t : phiTicks(0, pi)) EXPECT_GE(t.value, 0);
  EXPECT_EQ(phiTicks(0, pi).back().value, pi);
}

TEST(FigureLayout, PiFractionsAreReduced) {
  EXPECT_EQ(piFractionText(0, 4), "0");
  EXPECT_EQ(piFractionText(4, 4), "π");
  EXPECT_EQ(piFractionText(2, 4), "π/2");
  EXPECT_EQ(piFractionText(6, 8), "3π/4");
  EXPECT_EQ(piFractionText(-1, 2), "-π/2");
  EXPECT_EQ(piFractionText(8, 4), "2π");
}

TEST(FigureLayout, FigureWidthsInMillimetresOrCentimetres) {
  EXPECT_EQ(parseFigureWidth("85mm"), 85.0);
  EXPECT_EQ(parseFigureWidth("180mm"), 180.0);
  EXPECT_EQ(parseFigureWidth("8.5cm"), 85.0);
  for (const char* bad :
       {"85", "85 mm", "mm", "85in", "10mm", "1001mm", "nanmm", "infmm", "-85mm", "8.5.1cm"}) {
    EXPECT_FALSE(parseFigureWidth(bad).has_value()) << bad;
  }
  EXPECT_NEAR(pointsFromMm(25.4), 72, 1e-12);  // 1e-12: a few ulps
}

TEST(FigureLayout, AFigureOrbitHasTheOrbitsBitsFromBounceOne) {
  const BilliardTable table = buildTable(0.5, 2);
  const FigureOrbit orbit = figureOrbit(table, OrbitStart{0.7, 60}, 300, toolkit::clRed);
  ASSERT_EQ(orbit.points.size(), 300u);
  EXPECT_EQ(orbit.colour, toolkit::clRed);
  EXPECT_EQ(legendText(orbit.start), "s = 0.700, φ = 60.0°");
  OrbitWalk walk(table, 0.7, 60, 300, 1);
  std::size_t k = 0;
  walk.advance(300, [&](const OrbitRow& row) {
    EXPECT_EQ(orbit.points[k].s, row.s);
    EXPECT_EQ(orbit.points[k].phi, row.phi);
    ++k;
    return true;
  });
  EXPECT_EQ(k, 300u);
  // A start along the tangent leaves the table at once: no dots, no failure.
  EXPECT_TRUE(figureOrbit(table, OrbitStart{0.7, 0}, 10, toolkit::clBlack).points.empty());
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
