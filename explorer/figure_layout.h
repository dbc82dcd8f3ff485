// What a published figure of the phase portrait shows, without drawing it:
// the tick values of its axes and their texts (phi in fractions of pi), the
// exact phase points of its orbits with their legend texts, the page size of a
// physical width, and the portrait's pixels as runs of equal colour for a
// figure of the window's picture.
//
// The figure's plot frame is the portrait's plotting area: pixel column 6 is
// s = sMin, column 784 is sMax; row 678 is phi = phiMin, row 12 is phiMax.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/analysis/orbit_starts.h"
#include "core/geometry/phase_point.h"
#include "core/geometry/table_geometry.h"
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

// A tick of the phi axis: its value in radians and its text ("0", "π/4",
// "3π/4", "π"; plain numbers where no fraction of pi fits).
struct AxisTick {
  double value;
  std::string text;
};

// Multiples of pi/4 inside [lo, hi]; in a zoomed window, the multiples of the
// first of pi/8, pi/16, ... pi/1024 of which at least three fall inside. When
// even pi/1024 is too coarse, round numbers as niceTicks gives them.
std::vector<AxisTick> phiTicks(double lo, double hi);

// "π", "3π/4", "-π/2", "0": the fraction numerator pi / denominator,
// reduced.
std::string piFractionText(std::int64_t numerator, std::int64_t denominator);

// A figure's width: "85mm" or "8.5cm" (a real number and a unit, mm or cm),
// returned in millimetres; none for another text, a width outside
// [minimumFigureMm, maximumFigureMm] or not finite.
inline constexpr double minimumFigureMm = 20;
inline constexpr double maximumFigureMm = 1000;
std::optional<double> parseFigureWidth(const std::string& text);

// Points (1/72 inch) in `mm` millimetres.
inline double pointsFromMm(double mm) {
  return mm / 25.4 * 72;
}

// One phase point of an orbit: a dot of the figure at exactly (s, phi).

// An orbit as a figure draws it: its colour, its start (for the legend) and
// the phase points of its bounces 1..n.
struct FigureOrbit {
  toolkit::TColor colour = toolkit::clBlack;
  OrbitStart start;
  std::vector<PhasePoint> points;
};

// The orbit from `start`, launched as a fresh "go" run launches it, for
// `bounces` bounces: bounces 1..n where n is `bounces` or the bounce before the
// one that found no boundary. The same bits as trapezola-cli orbit prints.
FigureOrbit figureOrbit(const BilliardTable& table, const OrbitStart& start, std::int64_t bounces,
                        toolkit::TColor colour);

// The legend's name of an orbit: its start, "s = 0.700, φ = 60.0°".
std::string legendText(const OrbitStart& start);

// A horizontal run of pixels of one colour that is not white.
struct DotRun {
  int x, y, length;
  toolkit::TColor colour;
};

// The non-white pixels of the canvas inside [left, right) x [top, bottom), row
// by row, as runs of equal colour.
std::vector<DotRun> dotRuns(const toolkit::TCanvas& canvas, int left, int top, int right, int bottom);

}  // namespace trapezola
