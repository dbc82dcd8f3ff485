// What the pointer over the phase portrait shows, without the window: the phase
// point under a pixel, the sketch of its boundary point with the first bounces
// of its path, and the forecast of its first close approach to a corner.
#pragma once

#include <functional>

#include "raster/canvas.h"

namespace trapezola {

// The read-out works inside the plotting area (6..784, 9..675) once a run or a
// load has happened.
bool pointerReadoutActive(int x, int y);

// Sets HoverPoint.s and HoverPoint.phi to the phase point under pixel (x, y): the
// point mapping inverted with x = 6 at sMin and y = 9 at phiMax.
void hoverAt(int x, int y);

// Redraws the table outline on the sketch, marks HoverPoint's boundary point in
// blue and, for a follow depth n of 1 or more, draws the path through its first
// n bounce points. Sets HoverPoint.x and .y, BallState.startS and .cosPhi and the
// table's side tilt, as the read-out always has. followDepth is read again
// before every segment.
void drawHoverSketch(toolkit::TCanvas& sketch, const std::function<int()>& followDepth);

// The number of bounces from HoverPoint until one lands within epsilon of a
// corner's perimeter coordinate (s1, s2, s3 or s4), at most 10000. HoverPoint
// is left exactly as it was.
int forecastCornerApproach(double epsilon);

inline constexpr int forecastLimit = 10000;

}  // namespace trapezola
