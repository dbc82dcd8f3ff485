// The phase portrait's pixels: dots, the strict window test, the grid lines, the
// corner curves and the clear.
#include "explorer/phase_portrait.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "raster/canvas.h"

namespace trapezola {
namespace {

using toolkit::clBlack;
using toolkit::clGreen;
using toolkit::clRed;
using toolkit::clWhite;
using toolkit::TCanvas;

// A fresh start on b = 1, R8/R = 2: the whole perimeter 0 .. 9.09831 against
// 0 .. pi, scales 778 / s4 and 666 / pi.
void freshSquareTable() {
  PhaseWindow = PhaseWindowRecord{};
  setupTable(1, 2, 0.7, 60, 1);
  launch();
}

int countColour(const TCanvas& c, toolkit::TColor colour) {
  int n = 0;
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) n += c.pixel(x, y) == colour;
  return n;
}

TEST(PlotBounce, SmallAndBigDotsSitRightOfAndAboveTheMappedPixel) {
  freshSquareTable();
  for (const int size : {2, 3}) {
    TCanvas canvas(portraitWidth, portraitHeight);
    canvas.Pen->Color = clBlack;
    canvas.Brush->Color = clBlack;
    pointSize = size;
    BallState.s = 4.549155;  // corner 3, the middle of the perimeter
    BallState.phi = pi / 2;
    plotBounce(canvas);
    const int x = 395, y = 345;  // trunc(4.549155 * 778 / s4 + 6), trunc(678 - 333)
    EXPECT_EQ(canvas.pixel(x, y - 1 - (size == 3)), clBlack) << "size " << size;
    EXPECT_EQ(canvas.pixel(x, y), clWhite) << "size " << size;
    EXPECT_EQ(canvas.pixel(x - 1, y - 1), clWhite) << "size " << size;
    EXPECT_EQ(countColour(canvas, clBlack), size == 2 ? 4 : 5) << "size " << size;
  }
}

TEST(PlotBounce, DrawsOnlyStrictlyInsideTheWindow) {
  freshSquareTable();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double outside[][2] = {{0, 1}, {TableGeometry.s4, 1}, {1, 0}, {1, pi}, {nan, 1}, {1, nan}, {-0.5, 1},
                               {1, 4}};
  TCanvas canvas(portraitWidth, portraitHeight);
  canvas.Brush->Color = clBlack;
  pointSize = 2;
  for (const auto& p : outside) {
    BallState.s = p[0];
    BallState.phi = p[1];
    plotBounce(canvas);
  }
  EXPECT_EQ(countColour(canvas, clWhite), portraitWidth * portraitHeight);
}

TEST(PlotBounce, HugeScalesSaturateInsteadOfOverflowing) {
  freshSquareTable();
  // A zoom so deep that the mapped pixel lies far beyond the int range.
  PhaseWindow.scaleS = 1e300;
  PhaseWindow.scalePhi = 1e300;
  TCanvas canvas(portraitWidth, portraitHeight);
  pointSize = 3;
  BallState.s = 5;
  BallState.phi = 1;
  plotBounce(canvas);
  EXPECT_EQ(countColour(canvas, clWhite), portraitWidth * portraitHeight);
}

TEST(PhaseGrid, LinesSitWhereTheFrameMappingPutsThem) {
  freshSquareTable();
  TCanvas canvas(portraitWidth, portraitHeight);
  drawPhaseGrid(canvas, PhaseWindow.scaleS, PhaseWindow.scalePhi);
  const TableGeometryRecord& g = TableGeometry;
  const double scaleS = PhaseWindow.scaleS;
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
  freshSquareTable();
  TCanvas canvas(portraitWidth, portraitHeight);
  drawPhaseGrid(canvas, PhaseWindow.scaleS, PhaseWindow.scalePhi);
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
  PhaseWindow = PhaseWindowRecord{};
  buildGeometry(0, 2);  // b = 0: non-finite table
  TableGeometry.s4 = std::numeric_limits<double>::quiet_NaN();
  TCanvas canvas(portraitWidth, portraitHeight);
  drawPhaseGrid(canvas, 778 / TableGeometry.s4, PhaseWindow.scalePhi);
  EXPECT_EQ(canvas.pixel(0, 675), clRed);
  PhaseWindow = PhaseWindowRecord{};
}

// Wherever a row of the case tables applies, the corner curve's angle is the
// angle from the tangent to the chord towards the corner.
TEST(CornerAngle, AgreesWithTheGeometricAngleAlongThePerimeter) {
  for (const auto& table : {std::pair{1.0, 2.0}, std::pair{0.5, 2.0}, std::pair{0.2, 5.0}}) {
    PhaseWindow = PhaseWindowRecord{};
    setupTable(table.first, table.second, 0, 90, 1);
    launch();
    const TableGeometryRecord& g = TableGeometry;
    const TablePoint corners[] = {g.corner1, g.corner2, g.corner3, g.corner4};
    for (double s = 0.0105; s < g.s4; s += 0.01) {
      placeOnBoundary(1.0, s);
      const double x = BallState.x, y = BallState.y, dx = BallState.dx, dy = BallState.dy;
      for (int k = 1; k <= 4; ++k) {
        const TablePoint c = corners[k - 1];
        if (std::hypot(c.x - x, c.y - y) < 0.02) continue;  // the corner itself
        double phi = -100;
        cornerAngle(k, x, y, dx, dy, phi);
        const double want = std::atan2(dx * (c.y - y) - dy * (c.x - x), dx * (c.x - x) + dy * (c.y - y));
        ASSERT_NEAR(phi, want, 1e-9) << "b=" << g.b << " rr=" << g.rr << " s=" << s << " corner " << k;
      }
    }
  }
  PhaseWindow = PhaseWindowRecord{};
}

TEST(ClearPortrait, KeepsTheRightmostColumnAndResetsTheWindow) {
  freshSquareTable();
  TCanvas canvas(portraitWidth, portraitHeight);
  canvas.Brush->Color = clBlack;
  canvas.FillRect(0, 0, portraitWidth, portraitHeight);
  PhaseWindow.sMin = 3;
  clearPortrait(canvas, 0x123456);
  EXPECT_EQ(canvas.pixel(792, 300), clWhite);
  EXPECT_EQ(canvas.pixel(793, 300), clBlack);
  EXPECT_EQ(canvas.pixel(0, 680), clWhite);
  EXPECT_EQ(canvas.Pen->Color, 0x123456u);
  EXPECT_EQ(canvas.Brush->Color, 0x123456u);
  EXPECT_EQ(PhaseWindow.sMin, 0);
  EXPECT_EQ(PhaseWindow.sMax, 11.0);
  EXPECT_EQ(PhaseWindow.phiMax, pi);
  EXPECT_DOUBLE_EQ(PhaseWindow.scaleS, 778 / TableGeometry.s4);
  EXPECT_EQ(PhaseWindow.scalePhi, 212.10191082802547);  // 666 / 3.14, not 666 / pi
  PhaseWindow = PhaseWindowRecord{};
}

TEST(ClearPortrait, BeforeAnyTableDoesNotCrash) {
  TableGeometry = TableGeometryRecord{};
  PhaseWindow = PhaseWindowRecord{};
  TCanvas canvas(portraitWidth, portraitHeight);
  clearPortrait(canvas, clBlack);
  EXPECT_TRUE(std::isinf(PhaseWindow.scaleS));
  BallState.s = 1;
  BallState.phi = 1;
  pointSize = 2;
  plotBounce(canvas);  // x maps to +inf: saturated, off the image
  EXPECT_EQ(canvas.pixel(792, 300), clWhite);
  PhaseWindow = PhaseWindowRecord{};
}

}  // namespace
}  // namespace trapezola
