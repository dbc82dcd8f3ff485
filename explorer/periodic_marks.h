// Run > Find periodic orbit in the window: Newton from the hovered phase point
// (core/analysis/periodic_solver.h), the orbit's points marked on the portrait
// as small circles and its polygon drawn on the table sketch, and the status
// line's words.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/analysis/periodic_solver.h"
#include "core/geometry/phase_point.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"
#include "raster/canvas.h"

namespace trapezola {

// The period to look for: the period field's value, or, when it is 0, the
// period the right-click analysis's search finds at (s, phi) with `epsilon`;
// none when that search finds none.
std::optional<int> periodToFind(const BilliardTable& table, PhasePoint hovered, int typedPeriod,
                                double epsilon);

// The marks: a circle of radius 3 pixels round each point inside the phase
// window, outlined in the pen's colour and not filled (the dots under it stay
// visible). The pen's colour is the caller's; the brush is left as it was.
void drawPeriodicMarks(toolkit::TCanvas& portrait, const PhaseWindowRecord& window,
                       const std::vector<PhasePoint>& points);

// The orbit's polygon on the table sketch: the chords from each bounce point
// to the next and from the last back to the first, in the pen's colour.
void drawOrbitPolygon(toolkit::TCanvas& sketch, const BilliardTable& table,
                      const std::vector<PhasePoint>& points);

// "periodic orbit 1/2: trace -1.5590284, elliptic, residual 2.2e-16", or why
// none was found.
std::string periodicOrbitText(const PeriodicOrbitSolution& orbit);

}  // namespace trapezola
