#include "explorer/pointer_readout.h"

#include <cmath>

#include "core/dynamics/bounce.h"
#include "core/geometry/boundary.h"
#include "explorer/table_sketch.h"

namespace trapezola {

using toolkit::pixelFromReal;

bool pointerReadoutActive(const Explorer& explorer, int x, int y) {
  return 6 <= x && x <= 784 && 9 <= y && y <= 675 && explorer.runCount >= 1;
}

void hoverAt(Explorer& explorer, int x, int y) {
  const PhaseWindowRecord& w = explorer.window;
  explorer.hover.s = w.sMin + (x - 6) / w.scaleS;
  explorer.hover.phi = w.phiMax - (y - 9) / w.scalePhi;
}

BounceStatus drawHoverSketch(Explorer& explorer, toolkit::TCanvas& sketch,
                             const std::function<int()>& followDepth) {
  BilliardTable& table = explorer.table;
  WindowBall& ball = explorer.ball;
  HoverPointRecord& hover = explorer.hover;
  sketch.Pen->Color = toolkit::clBlack;
  drawTableOutline(sketch, table);
  sketch.Pen->Color = toolkit::clBlue;
  sketch.Brush->Color = toolkit::clBlue;
  ball.startS = hover.s;
  // Not wrapped: beyond the perimeter the marker stays where it was.
  boundaryPointAt(table, hover.s, hover.x, hover.y);
  const double p = 105 + 54 * hover.x;
  const double q = 116 - 54 * hover.y;
  // A 4 x 4 disc whose centre lies one pixel left of and below the point.
  sketch.Ellipse(pixelFromReal(p - 3), pixelFromReal(q - 1), pixelFromReal(p + 1), pixelFromReal(q + 3));
  sketch.Pen->Color = toolkit::clBlue;
  sketch.MoveTo(pixelFromReal(p), pixelFromReal(q));
  ball.cosPhi = std::cos(hover.phi);
  ball.startS = hover.s;
  table.sideTilt = pi * 0.5 - table.theta;
  if (followDepth() < 1) return BounceStatus::ok;
  placeOnBoundary(table, static_cast<Ball&>(ball), ball.cosPhi, ball.startS);
  // The first segment ends where the pen already stands; one more bounce is
  // computed than is drawn.
  for (int i = 0; i < followDepth() + 1; ++i) {
    sketch.LineTo(pixelFromReal(105 + 54 * ball.x), pixelFromReal(116 - 54 * ball.y));
    if (bounce(table, static_cast<Ball&>(ball)) == BounceStatus::badArcIndex)
      return BounceStatus::badArcIndex;
  }
  return BounceStatus::ok;
}

std::optional<int> forecastCornerApproach(Explorer& explorer, double epsilon) {
  const BilliardTable& g = explorer.table;
  WindowBall& ball = explorer.ball;
  const HoverPointRecord kept = explorer.hover;
  ball.cosPhi = std::cos(kept.phi);
  ball.startS = kept.s;
  placeOnBoundary(g, static_cast<Ball&>(ball), ball.cosPhi, ball.startS);
  int k = 0;
  do {
    if (bounce(g, static_cast<Ball&>(ball)) == BounceStatus::badArcIndex) return std::nullopt;
    ++k;
    const double s = ball.s;
    // Corner 1 is compared only as the end of the perimeter, never as 0.
    if (std::fabs(s - g.s1) <= epsilon || std::fabs(s - g.s2) <= epsilon || std::fabs(s - g.s3) <= epsilon ||
        std::fabs(s - g.s4) <= epsilon) {
      break;
    }
  } while (k < forecastLimit);
  explorer.hover.s = kept.s;
  explorer.hover.phi = kept.phi;
  return k;
}

}  // namespace trapezola
