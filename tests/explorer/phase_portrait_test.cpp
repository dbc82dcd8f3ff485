// The phase portrait's pixels: dots, the strict window test, the grid lines, the
// corner curves and the clear.
#include "explorer/phase_portrait.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/multi_orbit_portrait.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "raster/canvas.h"
#include "tests/explorer_test_support.h"

namespace trapezola {
namespace {

using toolkit::clBlack;
using toolkit::clGreen;
using toolkit::clRed;
using toolkit::clWhite;
using toolkit::TCanvas;

// A fresh start on b = 1, R8/R = 2: the whole perimeter 0 .. 9.09831 against
// 0 .. pi, scales 778 / s4 and 666 / pi.
void freshSquareTable(Explorer& ex) {
  ex.window = PhaseWindowRecord{};
  setupTable(ex, 1, 2, 0.7, 60, 1);
  launch(ex);
}

int countColour(const TCanvas& c, toolkit::TColor colour) {
  int n = 0;
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) n += c.pixel(x, y) == colour;
  return n;
}

TEST(PlotPhasePoint, SmallAndBigDotsSitRightOfAndAboveTheMappedPixel) {
  Explorer ex;
  freshSquareTable(ex);
  for (const int size : {2, 3}) {
    TCanvas canvas(portraitWidth, portraitHeight);
    canvas.Pen->Color = clBlack;
    canvas.Brush->Color = clBlack;
    ex.pointSize = size;
    ex.ball.s = 4.549155;  // corner 3, the middle of the perimeter
    ex.ball.phi = pi / 2;
    plotPhasePoint(canvas, ex.window, ex.pointSize, ex.ball.s, ex.ball.phi);
    const int x = 395, y = 345;  // trunc(4.549155 * 778 / s4 + 6), trunc(678 - 333)
    EXPECT_EQ(canvas.pixel(x, y - 1 - (size == 3)), clBlack) << "size " << size;
    EXPECT_EQ(canvas.pixel(x, y), clWhite) << "size " << size;
    EXPECT_EQ(canvas.pixel(x - 1, y - 1), clWhite) << "size " << size;
    EXPECT_EQ(countColour(canvas, clBlack), size == 2 ? 4 : 5) << "size " << size;
  }
}

TEST(PlotPhasePoint, DrawsOnlyStrictlyInsideTheWindow) {
  Explorer ex;
  freshSquareTable(ex);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double outside[][2] = {{0, 1},   {ex.table.s4, 1}, {1, 0},    {1, pi},
                               {nan, 1}, {1, nan},         {-0.5, 1}, {1, 4}};
  TCanvas canvas(portraitWidth, portraitHeight);
  canvas.Brush->Color = clBlack;
  ex.pointSize = 2;
  for (const auto& p : outside) {
    ex.ball.s = p[0];
    ex.ball.phi = p[1];
    plotPhasePoint(canvas, ex.window, ex.pointSize, ex.ball.s, ex.ball.phi);
  }
  EXPECT_EQ(countColour(canvas, clWhite), portraitWidth * portraitHeight);
}

TEST(PlotPhasePoint, HugeScalesSaturateInsteadOfOverflowing) {
  Explorer ex;
  freshSquareTable(ex);
  // A zoom so deep that the mapped pixel lies far beyond the int range.
  ex.window.scaleS = 1e300;
  ex.window.scalePhi = 1e300;
  TCanvas canvas(portraitWidth, portraitHeight);
  ex.pointSize = 3;
  ex.ball.s = 5;
  ex.ball.phi = 1;
  plotPhasePoint(canvas, ex.window, ex.pointSize, ex.ball.s, ex.ball.phi);
  EXPECT_EQ(countColour(canvas, clWhite), portraitWidth * portraitHeight);
}

TEST(PhaseGrid, LinesSitWhereTheFrameMappingPutsThem) {
  Explorer ex;
  freshSquareTable(ex);
  TCanvas canvas(portraitWidth, portraitHeight);
  drawPhaseGrid(canvas, ex.table, ex.ball, ex.window, ex.window.scaleS, ex.window.scalePhi);
  const BilliardTable& g = ex.table;
  const double scaleS = ex.window.scaleS;
  // Base line row 675, from column 0 to 792 (the end is exclusive).
  EXPECT_EQ(canvas.pixel(0, 675), clRed);
  EXPECT_EQ(canvas.pixel(792, 675), clRed);
  EXPECT_EQ(canvas.pixel(793, 675), clWhite);
  // Left axis, column 6, over the whole height; the top line at row 9.
  EXPECT_EQ(canvas.pixel(6, 680), clRed);
  EXPECT_EQ(canvas.pixel(6, 1), clRed);
  EXPECT_EQ(canvas.pixel(400, 9), clRed);
  EXPECT_EQ(canvas.pixel(785, 9), clWhite);
  // Corner lines at trunc((s - sMin) * scaleS + 6); the perimeter's end one
  // column further, at + 7.
  // At a corner the corner curves jump between 0 and pi, so green runs over the
  // red corner line there: count both.
  const auto redRows = [&](int x) {
    int n = 0;
    for (int y = 0; y < portraitHeight; ++y)
      n += canvas.pixel(x, y) == clRed || canvas.pixel(x, y) == clGreen;
    return n;
  };
  for (const double s : {g.s1, g.s2, g.s3}) {
    const int x = static_cast<int>(s * scaleS + 6);
    EXPECT_GT(redRows(x), 640) << "s = " << s;
    EXPECT_LT(redRows(x + 2), 20) << "s = " << s;
  }
  EXPECT_GT(redRows(785), 640);
  int redIn784 = 0;  // the green curves of corner 1 do run down column 784
  for (int y = 10; y < 675; ++y) redIn784 += canvas.pixel(784, y) == clRed;
  EXPECT_LT(redIn784, 10);
  // phi = pi/2 lies at row 342, three rows above where such bounces are plotted.
  EXPECT_EQ(canvas.pixel(100, 342), clRed);
  EXPECT_EQ(canvas.pixel(100, 508), clRed);  // pi/4: trunc(675 - 166.5)
  EXPECT_EQ(canvas.pixel(100, 175), clRed);  // 3 pi/4: trunc(675 - 499.5)
  EXPECT_EQ(canvas.pixel(100, 345), clWhite);
  EXPECT_EQ(canvas.Pen->Color, clBlack);
}

TEST(PhaseGrid, CornerCurvesAreDrawnInGreenOverTheWholePerimeter) {
  Explorer ex;
  freshSquareTable(ex);
  TCanvas canvas(portraitWidth, portraitHeight);
  drawPhaseGrid(canvas, ex.table, ex.ball, ex.window, ex.window.scaleS, ex.window.scalePhi);
  int columnsWithGreen = 0;
  for (int x = 0; x < portraitWidth; ++x) {
    for (int y = 0; y < portraitHeight; ++y) {
      if (canvas.pixel(x, y) == clGreen) {
        ++columnsWithGreen;
        break;
      }
    }
  }
  // From s = 0.001 to just past s4: every column of the plotting area.
  EXPECT_GE(columnsWithGreen, 770);
}

TEST(PhaseGrid, NonFiniteGeometryEndsTheCurvesAndDrawsNothingWild) {
  Explorer ex;
  ex.window = PhaseWindowRecord{};
  buildGeometry(ex, 0, 2);  // b = 0: non-finite table
  ex.table.s4 = std::numeric_limits<double>::quiet_NaN();
  TCanvas canvas(portraitWidth, portraitHeight);
  drawPhaseGrid(canvas, ex.table, ex.ball, ex.window, 778 / ex.table.s4, ex.window.scalePhi);
  EXPECT_EQ(canvas.pixel(0, 675), clRed);
  ex.window = PhaseWindowRecord{};
}

// Wherever a row of the case tables applies, the corner curve's angle is the
// angle from the tangent to the chord towards the corner.
TEST(CornerAngle, AgreesWithTheGeometricAngleAlongThePerimeter) {
  Explorer ex;
  for (const auto& table : {std::pair{1.0, 2.0}, std::pair{0.5, 2.0}, std::pair{0.2, 5.0}}) {
    ex.window = PhaseWindowRecord{};
    setupTable(ex, table.first, table.second, 0, 90, 1);
    launch(ex);
    const BilliardTable& g = ex.table;
    const TablePoint corners[] = {g.corner1, g.corner2, g.corner3, g.corner4};
    for (double s = 0.0105; s < g.s4; s += 0.01) {
      placeOnBoundary<double>(ex.table, ex.ball, 1.0, s);
      const double x = ex.ball.x, y = ex.ball.y, dx = ex.ball.dx, dy = ex.ball.dy;
      for (int k = 1; k <= 4; ++k) {
        const TablePoint c = corners[k - 1];
        if (std::hypot(c.x - x, c.y - y) < 0.02) continue;  // the corner itself
        double phi = -100;
        cornerAngle(ex.table, k, x, y, dx, dy, phi);
        const double want = std::atan2(dx * (c.y - y) - dy * (c.x - x), dx * (c.x - x) + dy * (c.y - y));
        ASSERT_NEAR(phi, want, 1e-9) << "b=" << g.b << " rr=" << g.rr << " s=" << s << " corner " << k;
      }
    }
  }
  ex.window = PhaseWindowRecord{};
}

TEST(ClearPortrait, KeepsTheRightmostColumnAndResetsTheWindow) {
  Explorer ex;
  freshSquareTable(ex);
  TCanvas canvas(portraitWidth, portraitHeight);
  canvas.Brush->Color = clBlack;
  canvas.FillRect(0, 0, portraitWidth, portraitHeight);
  ex.window.sMin = 3;
  clearPortrait(canvas, 0x123456, ex.table, ex.window);
  EXPECT_EQ(canvas.pixel(792, 300), clWhite);
  EXPECT_EQ(canvas.pixel(793, 300), clBlack);
  EXPECT_EQ(canvas.pixel(0, 680), clWhite);
  EXPECT_EQ(canvas.Pen->Color, 0x123456u);
  EXPECT_EQ(canvas.Brush->Color, 0x123456u);
  EXPECT_EQ(ex.window.sMin, 0);
  EXPECT_EQ(ex.window.sMax, 11.0);
  EXPECT_EQ(ex.window.phiMax, pi);
  EXPECT_DOUBLE_EQ(ex.window.scaleS, 778 / ex.table.s4);
  EXPECT_EQ(ex.window.scalePhi, 212.10191082802547);  // 666 / 3.14, not 666 / pi
  ex.window = PhaseWindowRecord{};
}

TEST(ClearPortrait, BeforeAnyTableDoesNotCrash) {
  Explorer ex;
  ex.table = BilliardTable{};
  ex.window = PhaseWindowRecord{};
  TCanvas canvas(portraitWidth, portraitHeight);
  clearPortrait(canvas, clBlack, ex.table, ex.window);
  EXPECT_TRUE(std::isinf(ex.window.scaleS));
  ex.ball.s = 1;
  ex.ball.phi = 1;
  ex.pointSize = 2;
  plotPhasePoint(canvas, ex.window, ex.pointSize, ex.ball.s,
                 ex.ball.phi);  // x maps to +inf: saturated, off the image
  EXPECT_EQ(canvas.pixel(792, 300), clWhite);
  ex.window = PhaseWindowRecord{};
}

class PassCounter : public PassObserver {
 public:
  void passDone() override { ++passes; }
  int passes = 0;
};

// A run cut into pieces of any length, the last piece ending exactly at a
// pass's end included, leaves the picture, the ball and the position of one
// uncut run; the observer sees each pass once, however it was cut.
TEST(PlottedPasses, ARunCutAnywhereIsTheRunInOneGo) {
  const BilliardTable table = buildTable(0.5, 2);
  const PhaseWindowRecord window = freshRunWindow(table);
  const PlottedPasses run{table, window, 3, 7, 50};
  Ball start;
  launch(table, start, 0.7, std::cos(startAngleRadians(60)));

  TCanvas whole(portraitWidth, portraitHeight);
  Ball wholeBall = start;
  RunPosition wholeAt;
  PassCounter wholePasses;
  ASSERT_EQ(runPlottedPasses(run, wholeBall, whole, wholeAt, std::numeric_limits<std::int64_t>::max(),
                             &wholePasses),
            BounceStatus::ok);
  EXPECT_EQ(wholeAt.pass, 7);
  EXPECT_EQ(wholeAt.bounce, 0);
  EXPECT_EQ(wholePasses.passes, 7);

  for (const std::int64_t piece : {1, 13, 50, 64, 349}) {
    TCanvas cut(portraitWidth, portraitHeight);
    Ball ball = start;
    RunPosition at;
    PassCounter passes;
    int calls = 0;
    while (at.pass < run.passes) {
      const std::int64_t before = bouncesDoneAt(at, run.bouncesPerPass);
      ASSERT_EQ(runPlottedPasses(run, ball, cut, at, piece, &passes), BounceStatus::ok);
      // No piece does more bounces than it is allowed.
      ASSERT_LE(bouncesDoneAt(at, run.bouncesPerPass) - before, piece);
      ++calls;
    }
    EXPECT_EQ(calls, (350 + piece - 1) / piece) << piece;
    EXPECT_EQ(passes.passes, 7) << piece;
    EXPECT_EQ(ball.x, wholeBall.x) << piece;
    EXPECT_EQ(ball.dy, wholeBall.dy) << piece;
    EXPECT_EQ(ball.phi, wholeBall.phi) << piece;
    for (int y = 0; y < portraitHeight; y += 3)
      for (int x = 0; x < portraitWidth; x += 3) ASSERT_EQ(cut.pixel(x, y), whole.pixel(x, y)) << piece;
  }
}

// Passes without bounces still count and are seen; a zero limit moves nothing
// but the passes that are already complete.
TEST(PlottedPasses, EmptyPassesCountAndAZeroLimitOnlyClosesPasses) {
  const BilliardTable table = buildTable(0.5, 2);
  const PhaseWindowRecord window = freshRunWindow(table);
  TCanvas canvas(portraitWidth, portraitHeight);
  Ball ball;
  launch(table, ball, 0.7, std::cos(startAngleRadians(60)));
  const Ball launched = ball;
  for (const std::int64_t perPass : {0, -5}) {
    RunPosition at;
    PassCounter passes;
    EXPECT_EQ(runPlottedPasses(PlottedPasses{table, window, 2, 4, perPass}, ball, canvas, at, 0, &passes),
              BounceStatus::ok);
    EXPECT_EQ(at.pass, 4);
    EXPECT_EQ(passes.passes, 4);
    EXPECT_EQ(ball.x, launched.x);
  }
  RunPosition atPassEnd{1, 10};
  PassCounter passes;
  EXPECT_EQ(runPlottedPasses(PlottedPasses{table, window, 2, 3, 10}, ball, canvas, atPassEnd, 0, &passes),
            BounceStatus::ok);
  EXPECT_EQ(atPassEnd.pass, 2);
  EXPECT_EQ(atPassEnd.bounce, 0);
  EXPECT_EQ(passes.passes, 1);
  EXPECT_EQ(ball.x, launched.x);
}

// An orbit that leaves the table ends the run at that bounce, before its
// reflection, with the position of the bounce that failed.
TEST(PlottedPasses, AnOrbitThatLeavesTheTableStopsWhereItLeft) {
  const BilliardTable table = buildTable(0.5, 2);
  const PhaseWindowRecord window = freshRunWindow(table);
  TCanvas canvas(portraitWidth, portraitHeight);
  Ball ball;
  launch(table, ball, 0.7, std::cos(startAngleRadians(60)));
  RunPosition at;
  ASSERT_EQ(runPlottedPasses(PlottedPasses{table, window, 2, 3, 10}, ball, canvas, at, 15), BounceStatus::ok);
  ball.dx = std::numeric_limits<double>::quiet_NaN();
  const Ball leaving = ball;
  EXPECT_EQ(runPlottedPasses(PlottedPasses{table, window, 2, 3, 10}, ball, canvas, at),
            BounceStatus::noArcAccepted);
  EXPECT_EQ(at.pass, 1);
  EXPECT_EQ(at.bounce, 5);
  EXPECT_EQ(ball.x, leaving.x);
  EXPECT_EQ(ball.s, leaving.s);
}

}  // namespace
}  // namespace trapezola
