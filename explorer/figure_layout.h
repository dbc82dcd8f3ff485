// What a published figure of the phase portrait shows, without drawing it:
// the tick values of its axes, their texts, and the portrait's dots as runs of
// equal colour, which a vector format draws as small rectangles.
//
// The figure's plot frame is the portrait's plotting area: pixel column 6 is
// s = sMin, column 784 is sMax; row 678 is phi = phiMin, row 12 is phiMax.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster/canvas.h"

namespace trapezola {

inline constexpr int figurePlotLeft = 6;
inline constexpr int figurePlotRight = 784;
inline constexpr int figurePlotTop = 12;
inline constexpr int figurePlotBottom = 678;

// Round tick values (1, 2 or 5 times a power of ten apart) inside [lo, hi],
// about `wanted` of them; none for an empty or non-finite range.
std::vector<double> niceTicks(double lo, double hi, int wanted);

// A tick value as printed: no more decimals than the step between ticks needs.
std::string tickText(double value, double step);

// A horizontal run of pixels of one colour that is not white.
struct DotRun {
  int x, y, length;
  toolkit::TColor colour;
};

// The non-white pixels of the canvas inside [left, right) x [top, bottom), row
// by row, as runs of equal colour.
std::vector<DotRun> dotRuns(const toolkit::TCanvas& canvas, int left, int top, int right, int bottom);

}  // namespace trapezola
