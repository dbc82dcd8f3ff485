#include "explorer/table_sketch.h"

#include <utility>

#include "core/geometry/table_geometry.h"

namespace trapezola {

using toolkit::pixelFromReal;
using toolkit::TCanvas;

namespace {

double unroundedX(double x) {
  return x * 54 + 105;
}
double unroundedY(double y) {
  return 116 - y * 54;
}

// The arc of the circle about c with radius r, counter-clockwise from corner
// `from` to corner `to`; `reversedBox` gives the box from its lower right corner,
// as the right arc always has.
SketchArc arcCall(TablePoint c, double r, TablePoint from, TablePoint to, bool reversedBox) {
  SketchArc a{sketchX(c.x - r), sketchY(c.y + r), sketchX(c.x + r), sketchY(c.y - r),
              sketchX(from.x),  sketchY(from.y),  sketchX(to.x),    sketchY(to.y)};
  if (reversedBox) {
    std::swap(a.x1, a.x2);
    std::swap(a.y1, a.y2);
  }
  return a;
}

SketchTick tick(double fromX, double fromY, double toX, double toY) {
  return {pixelFromReal(fromX), pixelFromReal(fromY), pixelFromReal(toX), pixelFromReal(toY)};
}

}  // namespace

int sketchX(double x) {
  return pixelFromReal(unroundedX(x));
}
int sketchY(double y) {
  return pixelFromReal(unroundedY(y));
}

std::array<SketchArc, 4> sketchArcs(const BilliardTable& g) {
  return {arcCall(g.centre1, g.radiusTop, g.corner1, g.corner2, false),
          arcCall(g.centre2, g.radiusSide, g.corner2, g.corner3, false),
          arcCall(g.centre3, g.radiusBottom, g.corner3, g.corner4, false),
          arcCall(g.centre4, g.radiusSide, g.corner4, g.corner1, true)};
}

std::array<SketchTick, 4> cornerTicks(const BilliardTable& g) {
  const double u1 = unroundedX(g.corner1.x), v1 = unroundedY(g.corner1.y);
  const double u2 = unroundedX(g.corner2.x), v2 = unroundedY(g.corner2.y);
  const double v3 = unroundedY(g.corner3.y), v4 = unroundedY(g.corner4.y);
  // The offsets are added before truncation. The bottom corners always lie at
  // x = -1 and 1 (pixels 51 and 159), so their ticks use fixed columns, and
  // corner 4's tick is deliberately lopsided.
  return {tick(u1 - 5, v1 + 5, u1 + 5, v1 - 5), tick(u2 + 5, v2 + 5, u2 - 5, v2 - 5),
          tick(46, v3 + 5, 56, v3 - 5), tick(163, v4 + 4, 152, v4 - 7)};
}

void drawTableOutline(TCanvas& canvas, const BilliardTable& table) {
  canvas.Brush->Color = toolkit::clWhite;
  canvas.FillRect(0, 0, 209, 233);
  canvas.Brush->Color = toolkit::clBlack;
  for (const SketchArc& a : sketchArcs(table)) canvas.Arc(a.x1, a.y1, a.x2, a.y2, a.x3, a.y3, a.x4, a.y4);
  canvas.Pen->Color = toolkit::clRed;
  for (const SketchTick& t : cornerTicks(table)) {
    canvas.MoveTo(t.fromX, t.fromY);
    canvas.LineTo(t.toX, t.toY);
  }
}

}  // namespace trapezola
