#include "explorer/periodic_marks.h"

#include <cmath>
#include <cstdio>

#include "core/analysis/periodic_orbit.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "explorer/table_sketch.h"
#include "raster/conversions.h"

namespace trapezola {

namespace {

constexpr int markRadius = 3;

std::string number(double v, const char* format) {
  char text[40];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

}  // namespace

std::optional<int> periodToFind(const BilliardTable& table, PhasePoint hovered, int typedPeriod,
                                double epsilon) {
  if (typedPeriod > 0) return typedPeriod;
  Ball ball;
  const PeriodicOrbitAnalysis analysis =
      analysePeriodicOrbit(table, ball, hovered.s, hovered.phi, epsilon, std::nullopt);
  if (analysis.status != BounceStatus::ok || !analysis.periodFound || analysis.period == notPeriodic ||
      analysis.period < 1) {
    return std::nullopt;
  }
  return analysis.period;
}

void drawPeriodicMarks(toolkit::TCanvas& portrait, const PhaseWindowRecord& w,
                       const std::vector<PhasePoint>& points) {
  const toolkit::TBrushStyle style = portrait.Brush->Style;
  portrait.Brush->Style = toolkit::bsClear;
  for (const PhasePoint& p : points) {
    if (!(w.sMin < p.s && p.s < w.sMax && w.phiMin < p.phi && p.phi < w.phiMax)) continue;
    // The centre of the point's dot: the dot's box runs right of and above the mapped pixel.
    const int x = toolkit::pixelFromReal((p.s - w.sMin) * w.scaleS + 6) + 1;
    const int y = toolkit::pixelFromReal(678 - (p.phi - w.phiMin) * w.scalePhi) - 1;
    portrait.Ellipse(x - markRadius, y - markRadius, x + markRadius + 1, y + markRadius + 1);
  }
  portrait.Brush->Style = style;
}

void drawOrbitPolygon(toolkit::TCanvas& sketch, const BilliardTable& table,
                      const std::vector<PhasePoint>& points) {
  if (points.empty()) return;
  const auto corner = [&](const PhasePoint& p) {
    double x = 0, y = 0;
    boundaryPointAt(table, perimeterCoordinateInRange(p.s, table.s4), x, y);
    return std::pair{sketchX(x), sketchY(y)};
  };
  const auto [x0, y0] = corner(points.front());
  sketch.MoveTo(x0, y0);
  for (std::size_t i = 1; i <= points.size(); ++i) {
    const auto [x, y] = corner(points[i % points.size()]);
    sketch.LineTo(x, y);
  }
}

std::string periodicOrbitText(const PeriodicOrbitSolution& orbit) {
  if (!orbit.converged) {
    return "no periodic orbit of period " + std::to_string(orbit.period) +
           " found near the point: residual " + number(orbit.residual, "%.2g");
  }
  return "periodic orbit " + std::to_string(orbit.turns) + "/" + std::to_string(orbit.period) + ": trace " +
         number(orbit.trace, "%.8g") + ", " +
         (orbit.hasClass ? orbitClassName(orbit.orbitClass) : "no class") + ", residual " +
         number(orbit.residual, "%.2g");
}

}  // namespace trapezola
