// Notation: (x, y) is the boundary point of a corner-curve step and (dx, dy)
// the unit tangent there (the placement with cosine 1); (xk, yk) is corner k;
// delta is arc 1's half opening angle and cy the height of arc 3's centre.
#include "explorer/phase_portrait.h"

#include <algorithm>
#include <cmath>

#include "core/dynamics/bounce.h"
#include "core/geometry/boundary.h"

namespace trapezola {

using toolkit::pixelFromReal;
using toolkit::TCanvas;

namespace {

constexpr double cornerCurveStep = 0.001;
// A perimeter is about 10 long; a non-finite or absurd one must not make the
// walk endless, so it stops after a million steps (s = 1000) whatever happens.
constexpr int cornerCurveMaxSteps = 1000000;
// 666 / 3.14: the clear button's vertical scale.
constexpr double clearedScalePhi = 212.10191082802547;

void line(TCanvas& c, int x1, int y1, int x2, int y2) {
  c.MoveTo(x1, y1);
  c.LineTo(x2, y2);
}

}  // namespace

void cornerAngle(const BilliardTable& g, int k, double x, double y, double dx, double dy, double& phi) {
  const double x1 = g.corner1.x, y1 = g.corner1.y;
  const double x2 = g.corner2.x;
  const double x3 = g.corner3.x, y3 = g.corner3.y;
  const double x4 = g.corner4.x, y4 = g.corner4.y;
  const double cy = g.centre3.y;
  switch (k) {
    case 1:
      if (y > y1) {
        phi = std::atan((y - y1) / (x1 - x)) + pi - g.delta;
      } else if (x == x1 || dy == 0) {
      } else if (0 <= x && x < x1) {
        phi = std::atan((y1 - y) / (x1 - x)) - std::atan(dy / dx);
      } else {
        phi = pi / 2 + std::atan((y1 - y) / (x1 - x)) + std::atan(dx / dy);
      }
      break;
    case 2:
      if (y > y1) {
        phi = g.delta - std::atan((y - y1) / (x - x2));
      } else if (x == x2 || dy == 0) {
      } else if (x2 < x && x <= 0) {
        phi = pi - std::atan((y1 - y) / (x - x2)) - std::atan(dy / dx);
      } else {
        phi = pi / 2 - std::atan((y1 - y) / (x - x2)) + std::atan(dx / dy);
      }
      break;
    case 3: {
      const double a = std::atan((y - y3) / (x - x3));
      if (y > y3 && x > x3 && dx < 0) {
        phi = a - std::atan(dy / dx);
      } else if (y > y3 && x > x4) {
        phi = a + pi - std::atan(dy / dx);
      } else if (y > y3 && x >= x3) {
        phi = a - std::atan(dy / dx);
      } else if (y > y3 && dx > 0) {
        phi = a - std::atan(dy / dx);
      } else if (y > y3) {
        phi = a + pi - std::atan(dy / dx);
      } else if ((x > x4 && y > cy) || (x < x3 && y < cy)) {
        phi = a + pi / 2 + std::atan(dx / dy);
      } else {
        phi = a + pi - std::atan(dy / dx);
      }
      break;
    }
    default: {
      const double a = std::atan((y - y4) / (x4 - x));
      if (y > y4 && x > x3 && dx < 0 && x > x4) {
        phi = -a - std::atan(dy / dx);
      } else if (y > y4 && x > x3 && dx < 0) {
        phi = pi - a - std::atan(dy / dx);
      } else if (y > y4 && x < x3 && dx > 0) {
        phi = -a - std::atan(dy / dx);
      } else if (y > y4) {
        phi = pi - a - std::atan(dy / dx);
      } else if ((y > cy && x < x3) || (y < cy && x > x4)) {
        phi = pi - a - std::atan(dy / dx);
      } else {
        phi = -a - std::atan(dy / dx);
      }
      break;
    }
  }
}

namespace {

// One polyline over the whole perimeter, from s = 0.001 to the first step past
// s4; the angle lives in the walker's phi, as it always has.
void drawCornerCurve(TCanvas& c, const BilliardTable& table, Ball& ball, const PhaseWindowRecord& w, int k,
                     double scaleS, double scalePhi) {
  const double s4 = table.s4;
  double s = 0;
  for (int step = 0; step < cornerCurveMaxSteps; ++step) {
    s += cornerCurveStep;
    placeOnBoundary(table, ball, 1.0, s);
    cornerAngle(table, k, ball.x, ball.y, ball.dx, ball.dy, ball.phi);
    // The x of the last step uses the unreduced s, past the end of the perimeter.
    const int x = pixelFromReal((s - w.sMin) * scaleS + 6);
    const int y = pixelFromReal(678 - (ball.phi - w.phiMin) * scalePhi);
    if (step == 0) {
      c.MoveTo(x, y);
    } else {
      c.LineTo(x, y);
    }
    // Written so that a NaN perimeter also ends the walk.
    if (!(s <= s4)) break;
  }
}

}  // namespace

void plotPhasePoint(TCanvas& canvas, const PhaseWindowRecord& w, int dotSize, double s, double phi) {
  // Strict on all four sides: a bounce on a border is not drawn, nor is a NaN.
  if (!(w.sMin < s && s < w.sMax && w.phiMin < phi && phi < w.phiMax)) return;
  const double xr = (s - w.sMin) * w.scaleS + 6;
  const double yr = 678 - (phi - w.phiMin) * w.scalePhi;
  canvas.Ellipse(pixelFromReal(xr), pixelFromReal(yr), pixelFromReal(xr + dotSize),
                 pixelFromReal(yr - dotSize));
}

void drawPhaseGrid(TCanvas& canvas, const BilliardTable& g, Ball& walker, const PhaseWindowRecord& w,
                   double scaleS, double scalePhi) {
  const auto xg = [&](double s) { return pixelFromReal((s - w.sMin) * scaleS + 6); };
  const auto yg = [&](double phi) { return pixelFromReal(675 - (phi - w.phiMin) * scalePhi); };

  canvas.Pen->Color = toolkit::clRed;
  line(canvas, 0, 675, 793, 675);
  line(canvas, 6, 681, 6, 0);
  for (const double s : {g.s1, g.s2, g.s3}) line(canvas, xg(s), 675, xg(s), 9);
  // One pixel right of where a bounce at s4 would land.
  const int xe = pixelFromReal((g.s4 - w.sMin) * scaleS + 7);
  line(canvas, xe, 675, xe, 9);
  for (const double phi : {pi / 4, pi / 2, 3 * pi / 4}) line(canvas, 6, yg(phi), 785, yg(phi));
  line(canvas, 6, 9, 785, 9);

  canvas.Pen->Color = toolkit::clGreen;
  for (int k = 1; k <= 4; ++k) drawCornerCurve(canvas, g, walker, w, k, scaleS, scalePhi);
  canvas.Pen->Color = toolkit::clBlack;
}

void clearPortrait(TCanvas& canvas, toolkit::TColor pointColour, const BilliardTable& table,
                   PhaseWindowRecord& w) {
  canvas.Brush->Color = toolkit::clWhite;
  // Right is exclusive: column 793 keeps what it showed.
  canvas.FillRect(0, 0, 793, 681);
  canvas.Brush->Color = toolkit::clBlack;
  canvas.Pen->Color = pointColour;
  canvas.Brush->Color = pointColour;
  w.scaleS = plotAreaWidth / table.s4;
  w.scalePhi = clearedScalePhi;
  w.sMin = 0;
  w.sMax = 11.0;
  w.phiMin = 0;
  w.phiMax = pi;
}

std::int64_t bouncesDoneAt(const RunPosition& at, std::int64_t bouncesPerPass) {
  return static_cast<std::int64_t>(at.pass) * std::max<std::int64_t>(bouncesPerPass, 0) + at.bounce;
}

BounceStatus runPlottedPasses(const PlottedPasses& run, Ball& ball, TCanvas& canvas, RunPosition& at,
                              std::int64_t bounceLimit, PassObserver* observer) {
  const PhaseWindowRecord& window = run.window;
  const int dotSize = run.dotSize;
  return runPasses(run.table, run.passes, run.bouncesPerPass, ball, at, bounceLimit, observer,
                   [&](const Ball& b) { plotPhasePoint(canvas, window, dotSize, b.s, b.phi); });
}

}  // namespace trapezola
