#include "explorer/pointer_readout.h"

#include <cmath>

#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_window.h"
#include "explorer/table_sketch.h"

namespace trapezola {

using toolkit::pixelFromReal;

bool pointerReadoutActive(int x, int y) {
  return 6 <= x && x <= 784 && 9 <= y && y <= 675 && runCount >= 1;
}

void hoverAt(int x, int y) {
  HoverPoint.s = PhaseWindow.sMin + (x - 6) / PhaseWindow.scaleS;
  HoverPoint.phi = PhaseWindow.phiMax - (y - 9) / PhaseWindow.scalePhi;
}

void drawHoverSketch(toolkit::TCanvas& sketch, const std::function<int()>& followDepth) {
  sketch.Pen->Color = toolkit::clBlack;
  drawTableOutline(sketch);

  sketch.Pen->Color = toolkit::clBlue;
  sketch.Brush->Color = toolkit::clBlue;
  BallState.startS = HoverPoint.s;
  // Not wrapped: beyond the perimeter the marker stays where it was.
  boundaryPointAt(HoverPoint.s, HoverPoint.x, HoverPoint.y);
  const double p = 105 + 54 * HoverPoint.x;
  const double q = 116 - 54 * HoverPoint.y;
  // A 4 x 4 disc whose centre lies one pixel left of and below the point.
  sketch.Ellipse(pixelFromReal(p - 3), pixelFromReal(q - 1), pixelFromReal(p + 1), pixelFromReal(q + 3));
  sketch.Pen->Color = toolkit::clBlue;
  sketch.MoveTo(pixelFromReal(p), pixelFromReal(q));

  BallState.cosPhi = std::cos(HoverPoint.phi);
  BallState.startS = HoverPoint.s;
  TableGeometry.sideTilt = pi * 0.5 - TableGeometry.theta;

  if (followDepth() < 1) return;
  placeOnBoundary(BallState.cosPhi, BallState.startS);
  // The first segment ends where the pen already stands; one more bounce is
  // computed than is drawn.
  for (int i = 0; i < followDepth() + 1; ++i) {
    sketch.LineTo(pixelFromReal(105 + 54 * BallState.x), pixelFromReal(116 - 54 * BallState.y));
    bounce();
  }
}

int forecastCornerApproach(double epsilon) {
  const HoverPointRecord kept = HoverPoint;
  BallState.cosPhi = std::cos(HoverPoint.phi);
  BallState.startS = HoverPoint.s;
  placeOnBoundary(BallState.cosPhi, BallState.startS);
  const TableGeometryRecord& g = TableGeometry;
  int k = 0;
  do {
    bounce();
    ++k;
    const double s = BallState.s;
    // Corner 1 is compared only as the end of the perimeter, never as 0.
    if (std::fabs(s - g.s1) <= epsilon || std::fabs(s - g.s2) <= epsilon || std::fabs(s - g.s3) <= epsilon ||
        std::fabs(s - g.s4) <= epsilon) {
      break;
    }
  } while (k < forecastLimit);
  HoverPoint.s = kept.s;
  HoverPoint.phi = kept.phi;
  return k;
}

}  // namespace trapezola
