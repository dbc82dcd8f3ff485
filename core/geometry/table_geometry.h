// The billiard table: four circular arcs derived from an isosceles trapezoid.
//
// Conventions: plane Cartesian coordinates, x to the right, y upwards, in table
// units. The bottom corners lie at x = -1 and x = 1; the table is symmetric about
// x = 0, and the origin is where the bisectors of the two bottom angles meet.
// Arcs are numbered counter-clockwise from corner 1 (top right): 1 top, 2 left,
// 3 bottom, 4 right. Angles are radians. The perimeter coordinate s is the arc
// length from corner 1, counter-clockwise; s1..s4 are the coordinates of corners
// 2, 3, 4 and of corner 1 again (s4 is the perimeter length).
//
// The geometry does no clamping and no range checks: parameters outside
// 0 < b <= 1, rr >= 1 give non-finite or meaningless numbers, which the plotting
// treats as outside the visible window.
#pragma once

namespace trapezola {

// The double value of pi that the whole program uses.
inline constexpr double pi = 3.141592653589793;

// pi in the number type T that a table and its orbits are computed in: the
// double above for double, pi rounded to long double for the extended orbit of
// the precision horizon.
template <typename T>
inline constexpr T piIn = static_cast<T>(3.14159265358979323846264338327950288L);
template <>
inline constexpr double piIn<double> = pi;

template <typename T>
struct BasicPoint {
  T x = 0;
  T y = 0;
};

// A table built from its two shape parameters, its numbers of type T (double
// everywhere, long double for the precision horizon's shadow orbit). As a value
// it is built once by buildTable and then only read, so any number of orbits,
// on any number of threads, can run on one table.
template <typename T>
struct BasicTable {
  T b = 0;       // half length of the top side; x of corner 1
  T rr = 0;      // radiusSide / radiusBottom, shown as "R8/R"
  T height = 0;  // height of the trapezoid
  T theta = 0;   // angle between a leg and the bottom side
  BasicPoint<T> corner1, corner2, corner3, corner4;
  T legMidSlope = 0;  // slope from the origin to the right leg's midpoint
  BasicPoint<T> centre1, centre2, centre3, centre4;
  T radiusTop = 0;
  T radiusSide = 0;
  T radiusBottom = 1.0;
  T delta = 0;            // half opening angle of arc 1
  T halfAngleSide = 0;    // half opening angle of arcs 2 and 4
  T halfAngleBottom = 0;  // half opening angle of arc 3
  T sideTilt = 0;         // pi/2 - theta; buildGeometry leaves the record's alone
  T s1 = 0, s2 = 0, s3 = 0, s4 = 0;
};

using TablePoint = BasicPoint<double>;
using BilliardTable = BasicTable<double>;

// The table with shape parameters b and rr, every field derived in the number
// type T, sideTilt included (pi/2 - theta, the value every launch sets). Writes
// nothing else. Defined for double and long double.
template <typename T = double>
BasicTable<T> buildTable(double b, double rr);

// Whether b and rr give a table that doubles can hold: b in [minimumB, 1] and
// rr in [1, maximumRr]. Inside that range every number is finite, the four arcs
// make a convex boundary, and each corner lies on both its arcs within 1e-8 of
// their radii. Beyond it the corners leave their arcs (relative errors of 1e-6
// at b = 1e-5, rr = 1e6), then radii turn negative or non-finite (b = 1e-16,
// rr = 1e16 and beyond).
bool tableParametersValid(double b, double rr);
inline constexpr double minimumB = 1e-4;
inline constexpr double maximumRr = 1e4;

// The start angle in degrees as radians, rounded once after the product with an
// extended-precision 1/180: the angle whose cosine setupTable stores. The long
// double form keeps the extended product unrounded.
template <typename T = double>
T startAngleRadians(double startAngleDegrees);

}  // namespace trapezola
