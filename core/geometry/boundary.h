// Boundary coordinates: from a phase point (s, cos phi) back to the plane.
//
// s is the perimeter coordinate (arc length from corner 1, counter-clockwise);
// the angle enters only through its cosine c, and its sine is always taken as
// sqrt(1 - c^2), so the direction always points into the table.
#pragma once

#include <cmath>

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

template <typename T>
struct BasicTangent {
  T tx = 0;
  T ty = 0;
};
using UnitTangent = BasicTangent<double>;

// Counter-clockwise unit tangent of the circle with centre (cx, cy) at the point
// (x, y) on it. The class picks the formula (1 above the centre, 2 left of it,
// 3 below, 4 right), so that the slope divides by the larger coordinate
// difference; the caller chooses the class.
// Defined for double and long double, as are the functions below.
template <typename T>
BasicTangent<T> boundaryTangent(T x, T y, T cx, T cy, int tangentClass);

// s wrapped onto the perimeter: s modulo s4 when it is larger than s4, s plus a
// whole number of perimeters when it is negative, itself in [0, s4].
template <typename T>
T wrappedPerimeterCoordinate(T s, T s4);

// s as the tools print it, in [0, s4): corner 1 is both 0 and s4, so s4 and
// a coordinate that rounding put a hair beyond either end of the perimeter (a
// hit at corner 1, a start at s4) become the same point inside the range; -0
// becomes 0. Every s already in [0, s4) is returned with its bits; a NaN stays
// NaN.
template <typename T>
T perimeterCoordinateInRange(T s, T s4) {
  if (!(s < 0 || s >= s4)) return s == 0 ? T(0) : s;
  if (s != s) return s;
  s -= std::floor(s / s4) * s4;
  // The subtraction rounds: -1e-16 + s4 is s4 again.
  return (s < 0 || s >= s4) ? T(0) : s;
}

// The start of an orbit on `table`: sets ball.arc to 1 (whatever arc the start
// lies on) and places the ball at startS, wrapped onto the perimeter, with
// cosine cosPhi. Returns the wrapped start. The rest of the hit record is
// left alone: a fresh Ball has it zero.
template <typename T>
T launch(const BasicTable<T>& table, BasicBall<T>& ball, T startS, T cosPhi);

// Places the ball at s (wrapped onto the perimeter) with cosine c: writes x, y,
// tx, ty, dx, dy and nothing else. A non-finite s places nothing and returns
// false.
template <typename T>
bool placeOnBoundary(const BasicTable<T>& table, BasicBall<T>& ball, T c, T s);

// The boundary point at s, by the same piecewise rule as the placement but
// without wrapping s. Returns false, leaving x and y alone, when s lies outside
// [0, s4].
template <typename T>
bool boundaryPointAt(const BasicTable<T>& table, T s, T& x, T& y);

}  // namespace trapezola
