// Notation: r is the radius of arc 1, R8 that of arcs 2 and 4, R that of arc 3,
// as they are shown to the user. Each formula for s inverts the matching
// placement rule, so placing the ball at the returned s gives back the hit
// point. The sums of whole arc lengths are recomputed here rather than taken from
// s1..s3: their rounding differs, and the golden tests (GoldenBits) pin these.
#include "core/dynamics/reflection.h"

#include <cmath>

#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/square.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

template <typename T>
BounceStatus reflect(const BasicTable<T>& g, BasicBall<T>& ball, T x, T y, T cx, T cy, T radius,
                     int arcIndex) {
  if (arcIndex < 1 || arcIndex > 4) return BounceStatus::badArcIndex;
  constexpr T piT = piIn<T>;
  const T sqrtTwo = std::sqrt(T(2));

  // A distance exactly at the threshold goes to the y test; y = cy gives 3.
  if (std::fabs(x - cx) > (sqrtTwo * radius) * 0.5) {
    ball.side = (x > cx) ? 4 : 2;
  } else {
    ball.side = (y > cy) ? 1 : 3;
  }
  const BasicTangent<T> t = boundaryTangent(x, y, cx, cy, ball.side);
  ball.tx = t.tx;
  ball.ty = t.ty;

  const T r = g.radiusTop;
  const T r8 = g.radiusSide;
  const T rBottom = g.radiusBottom;
  switch (arcIndex) {
    case 1:
      ball.arcAngle = std::asin((x - g.centre1.x) / r);
      ball.s = (g.delta - ball.arcAngle) * r;
      break;
    case 2:
      ball.arcAngle = std::asin((y - g.centre2.y) / r8) - g.sideTilt;
      ball.s = 2 * g.delta * r + (g.halfAngleSide - ball.arcAngle) * r8;
      break;
    case 3:
      // Far from the lowest point the angle comes from y, near it from x.
      if (std::fabs(x - cx) > radius / sqrtTwo) {
        if (x > cx) {
          ball.arcAngle = std::asin((g.centre3.y - y) / rBottom) - piT * 0.5;
        } else {
          ball.arcAngle = std::asin((y - g.centre3.y) / rBottom) + piT * 0.5;
        }
      } else {
        ball.arcAngle = std::asin(g.centre3.x - x / rBottom);
      }
      ball.s = (2 * g.delta * r + 2 * g.halfAngleSide * r8) + (g.halfAngleBottom - ball.arcAngle) * rBottom;
      break;
    default:
      // Arc 4; the index was checked on entry.
      ball.arcAngle = std::asin((g.centre4.y - y) / r8) + g.sideTilt;
      ball.s = ((2 * g.delta * r + 2 * g.halfAngleSide * r8) + 2 * g.halfAngleBottom * rBottom) +
               (g.halfAngleSide - ball.arcAngle) * r8;
      break;
  }

  // A hit at corner 1, or within rounding of it, can give an s a hair below 0
  // on arc 1 or at s4 on arc 4: the tools show it in [0, s4).
  ball.s = perimeterCoordinateInRange(ball.s, g.s4);

  // Not clamped: a |cosPhi| above 1 from rounding gives a NaN phi, which the
  // plot step treats as outside the window.
  ball.cosPhi = t.tx * ball.dx + t.ty * ball.dy;
  const T q = std::sqrt(1 - square(ball.cosPhi));
  ball.newDx = ball.cosPhi * t.tx - q * t.ty;
  ball.newDy = q * t.tx + ball.cosPhi * t.ty;
  ball.phi = std::acos(ball.cosPhi);
  return BounceStatus::ok;
}

template BounceStatus reflect<double>(const BasicTable<double>&, BasicBall<double>&, double, double, double,
                                      double, double, int);
template BounceStatus reflect<long double>(const BasicTable<long double>&, BasicBall<long double>&,
                                           long double, long double, long double, long double, long double,
                                           int);

}  // namespace trapezola
