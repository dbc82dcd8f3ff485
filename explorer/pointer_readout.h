// What the pointer over the phase portrait shows, without the window: the phase
// point under a pixel, the sketch of its boundary point with the first bounces
// of its path, and the forecast of its first close approach to a corner.
#pragma once

#include <functional>
#include <optional>

#include "core/dynamics/reflection.h"
#include "explorer/explorer.h"
#include "raster/canvas.h"

namespace trapezola {

// The read-out works inside the plotting area (6..784, 9..675) once a run or a
// load has happened.
bool pointerReadoutActive(const Explorer& explorer, int x, int y);

// Sets hover.s and hover.phi to the phase point under pixel (x, y): the point
// mapping of the explorer's window inverted with x = 6 at sMin and y = 9 at
// phiMax.
void hoverAt(Explorer& explorer, int x, int y);

// Redraws the table outline on the sketch, marks the hover point's boundary
// point in blue and, for a follow depth n of 1 or more, draws the path through
// its first n bounce points. Sets hover.x and .y, ball.startS and .cosPhi and
// the table's side tilt, as the read-out always has. followDepth is read again
// before every segment. Returns badArcIndex, with the path drawn up to there,
// when a bounce's hit names no arc; otherwise ok.
BounceStatus drawHoverSketch(Explorer& explorer, toolkit::TCanvas& sketch,
                             const std::function<int()>& followDepth);

// The number of bounces from the hover point until one lands within epsilon of
// a corner's perimeter coordinate (s1, s2, s3 or s4), at most forecastLimit;
// nothing when a bounce's hit names no arc. The hover point is left exactly as
// it was.
std::optional<int> forecastCornerApproach(Explorer& explorer, double epsilon);

inline constexpr int forecastLimit = 10000;

}  // namespace trapezola
