// The sketch of the table on the 209 x 241 image vazlat: 54 pixels per table
// unit, table origin at pixel (105, 116), y upwards. A table point (x, y) lands
// at (trunc(x * 54 + 105), trunc(116 - y * 54)).
#pragma once

#include <array>

#include "core/geometry/table_geometry.h"
#include "raster/canvas.h"

namespace trapezola {

inline constexpr int sketchWidth = 209;
inline constexpr int sketchHeight = 241;

int sketchX(double x);
int sketchY(double y);

// Arguments of the Arc call that draws each arc of `table`, in the
// order top, left, bottom, right.
struct SketchArc {
  int x1, y1, x2, y2, x3, y3, x4, y4;
};
std::array<SketchArc, 4> sketchArcs(const BilliardTable& table);

// The red corner ticks, corners 1 to 4: MoveTo(fromX, fromY), LineTo(toX, toY).
struct SketchTick {
  int fromX, fromY, toX, toY;
};
std::array<SketchTick, 4> cornerTicks(const BilliardTable& table);

// Clears the sketch but its bottom 8 rows, draws the four arcs of `table` with
// the current pen, then the four red corner ticks. The pen is left red.
void drawTableOutline(toolkit::TCanvas& canvas, const BilliardTable& table);

}  // namespace trapezola
