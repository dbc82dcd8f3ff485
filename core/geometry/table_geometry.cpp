// Table construction. Notation: yTop and yBot are the heights of the top and the
// bottom side of the trapezoid; rho is the provisional top radius (distance from
// centre1 to corner 1). Every expression keeps the operation order of the
// published formulas, and squares are square(x), x * x: the golden tests
// (tests/golden, GoldenBits and GoldenValues) pin every bit of the results.
#include "core/geometry/table_geometry.h"

#include <cmath>

#include "core/geometry/square.h"

namespace trapezola {

namespace {
// 1/180 as an extended-precision constant: the degree conversion of the start
// angle is rounded once, after the product. Every golden orbit (GoldenBits,
// GoldenValues) starts from an angle converted so.
constexpr long double oneDegreeFraction = 1.0L / 180.0L;
}  // namespace

template <typename T>
BasicTable<T> buildTable(double bIn, double rrIn) {
  // The shape parameters are doubles as typed; the extended table converts
  // them exactly and computes everything after in T.
  const T b = bIn;
  const T rr = rrIn;
  constexpr T piT = piIn<T>;
  BasicTable<T> g;
  g.b = b;
  g.corner1.x = b;
  g.corner2.x = -b;
  g.corner3.x = -1.0;
  g.corner4.x = 1.0;

  g.height = std::sqrt(2 * b + 3 - square(b));
  // b = 1 is compared exactly: it is the one case where 1 - b would divide by zero.
  g.theta = (b == 1.0) ? piT * 0.5 : std::atan(g.height / (1 - b));

  const T yTop = g.height - std::tan(g.theta * 0.5);
  const T yBot = -std::tan(g.theta * 0.5);
  g.corner1.y = yTop;
  g.corner2.y = yTop;
  g.corner3.y = yBot;
  g.corner4.y = yBot;

  g.rr = rr;
  g.centre1.x = 0;
  g.centre4.x = 1 - rr;
  g.centre2.x = -(1 - rr);

  g.legMidSlope = (g.height * 0.5 + yBot) / (b * 0.5 + 0.5);
  g.centre4.y = g.legMidSlope * (1 - rr);
  g.centre2.y = g.centre4.y;
  // Where the line through corner 1 and centre4 meets the y axis: arcs 1 and 4
  // then share their tangent at corner 1.
  g.centre1.y = (g.legMidSlope * (1 - rr) - yTop * (1 - rr) / b) / (1 - (1 - rr) / b);
  const T rho = std::sqrt(square(b) + square(yTop - g.centre1.y));

  // Where the line through corner 4 and centre4 meets the y axis.
  g.centre3.x = 0;
  g.centre3.y = yBot - (g.centre4.y - yBot) / ((1 - rr) - 1);

  g.delta = std::acos((g.height + yBot - g.centre1.y) / rho);
  g.radiusTop = (1 - 2 * std::cos(g.theta)) / std::sin(g.delta);
  g.radiusBottom = 1 / std::sin(2 * g.theta - g.delta);
  g.radiusSide = 1 / std::sin(g.theta - g.delta);
  g.halfAngleSide = g.theta - g.delta;
  g.halfAngleBottom = (piT - 2 * g.theta) + g.delta;

  g.s1 = 2 * g.delta * g.radiusTop;
  g.s2 = 2 * g.halfAngleSide * g.radiusSide + g.s1;
  g.s3 = 2 * g.halfAngleBottom * g.radiusBottom + g.s2;
  g.s4 = 2 * g.halfAngleSide * g.radiusSide + g.s3;
  // The same expression as launch writes into the window's record, so a value run
  // and a window run agree (GoldenValues.OrbitsOnTableValues).
  g.sideTilt = piT * 0.5 - g.theta;
  return g;
}

template BasicTable<double> buildTable<double>(double, double);
template BasicTable<long double> buildTable<long double>(double, double);

bool tableParametersValid(double b, double rr) {
  return minimumB <= b && b <= 1 && 1 <= rr && rr <= maximumRr;
}

template <>
double startAngleRadians<double>(double startAngleDegrees) {
  return static_cast<double>(startAngleDegrees * pi * oneDegreeFraction);
}

template <>
long double startAngleRadians<long double>(double startAngleDegrees) {
  return startAngleDegrees * piIn<long double> * oneDegreeFraction;
}

}  // namespace trapezola
