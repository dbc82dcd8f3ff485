// The table sketch: the arc calls and corner ticks of the worked table, and the
// pixels they leave.
#include "explorer/table_sketch.h"

#include <gtest/gtest.h>

#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "raster/canvas.h"
#include "tests/explorer_test_support.h"

namespace trapezola {
namespace {

using toolkit::clBlack;
using toolkit::clRed;
using toolkit::clWhite;

void halfTable(Explorer& ex) {
  buildGeometry(ex, 0.5, 2);
  ex.window = PhaseWindowRecord{};
}

TEST(TableSketch, ArcCallsOfTheHalfTable) {
  Explorer ex;
  halfTable(ex);
  const auto arcs = sketchArcs(ex.table);
  const SketchArc want[] = {{67, 41, 142, 116, 132, 53, 78, 53},
                            {47, 18, 270, 241, 78, 53, 51, 157},
                            {49, 88, 160, 199, 51, 157, 159, 157},
                            {162, 241, -60, 18, 159, 157, 132, 53}};
  for (int i = 0; i < 4; ++i) {
    const SketchArc& a = arcs[i];
    const SketchArc& w = want[i];
    EXPECT_EQ((std::array{a.x1, a.y1, a.x2, a.y2, a.x3, a.y3, a.x4, a.y4}),
              (std::array{w.x1, w.y1, w.x2, w.y2, w.x3, w.y3, w.x4, w.y4}))
        << "arc " << i + 1;
  }
}

TEST(TableSketch, CornerTicksOfTheHalfTable) {
  Explorer ex;
  halfTable(ex);
  const auto ticks = cornerTicks(ex.table);
  const SketchTick want[] = {{127, 58, 137, 48}, {83, 58, 73, 48}, {46, 162, 56, 152}, {163, 161, 152, 150}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ((std::array{ticks[i].fromX, ticks[i].fromY, ticks[i].toX, ticks[i].toY}),
              (std::array{want[i].fromX, want[i].fromY, want[i].toX, want[i].toY}))
        << "corner " << i + 1;
  }
}

TEST(TableSketch, OutlineClearsAllButTheBottomRowsAndLeavesThePenRed) {
  Explorer ex;
  halfTable(ex);
  toolkit::TCanvas canvas(sketchWidth, sketchHeight);
  canvas.Brush->Color = clBlack;
  canvas.FillRect(0, 0, sketchWidth, sketchHeight);
  canvas.Pen->Color = clBlack;
  drawTableOutline(canvas, ex.table);
  EXPECT_EQ(canvas.pixel(5, 5), clWhite);
  EXPECT_EQ(canvas.pixel(5, 232), clWhite);
  EXPECT_EQ(canvas.pixel(5, 233), clBlack);  // the bottom 8 rows keep their content
  EXPECT_EQ(canvas.pixel(208, 240), clBlack);
  EXPECT_EQ(canvas.pixel(105, 116), clWhite);  // the table's inside
  EXPECT_EQ(canvas.pixel(127, 58), clRed);     // corner 1's tick starts here
  EXPECT_EQ(canvas.pixel(46, 162), clRed);
  EXPECT_EQ(canvas.Pen->Color, clRed);
  // The bottom arc passes below the table's centre: its lowest point is at
  // y = -0.516398 - 1.032796, pixel row trunc(116 + 83.66) = 199 (box bottom,
  // exclusive), so the arc's pixels lie on row 198.
  bool bottomArcDrawn = false;
  for (int y = 195; y < 200; ++y) bottomArcDrawn = bottomArcDrawn || canvas.pixel(105, y) == clBlack;
  EXPECT_TRUE(bottomArcDrawn);
}

}  // namespace
}  // namespace trapezola
