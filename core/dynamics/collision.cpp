// Notation: (x, y) ray start, (dx, dy) unit direction, (cx, cy) and R the circle
// of the arc; q is the dot product of the direction with (start - centre) and k
// the start's power with respect to the circle.
#include "core/dynamics/collision.h"

#include <cmath>

#include "core/geometry/ball_state.h"
#include "core/geometry/square.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

template <typename T>
int hitArc(const BasicTable<T>& g, BasicBall<T>& ball, int i) {
  T cx = 0, cy = 0, r = 0;
  switch (i) {
    case 1:
      cx = g.centre1.x, cy = g.centre1.y, r = g.radiusTop;
      break;
    case 2:
      cx = g.centre2.x, cy = g.centre2.y, r = g.radiusSide;
      break;
    case 3:
      cx = g.centre3.x, cy = g.centre3.y, r = g.radiusBottom;
      break;
    case 4:
      cx = g.centre4.x, cy = g.centre4.y, r = g.radiusSide;
      break;
    default:
      return 0;
  }
  const T x = ball.x, y = ball.y, dx = ball.dx, dy = ball.dy;
  const T q = ((dy * y - cy * dy) + dx * x) - cx * dx;
  const T k = (square(y - cy) + square(x - cx)) - square(r);
  // Written as a negated >= so that a NaN (non-finite ray) counts as a miss.
  if (!(square(q) >= k)) return 0;

  const T w = std::sqrt(square(q) - k);
  const T t1 = w + (-q);
  const T t2 = -q - w;
  const T t = (t1 > t2) ? t1 : t2;
  ball.hitDistance = t;

  const T hx = t * dx + x;
  const T hy = t * dy + y;
  const T yTop = g.corner2.y;
  const T yBot = g.corner3.y;
  bool inside = false;
  switch (i) {
    case 1:
      inside = hy >= yTop;
      break;
    case 2:
      inside = yBot <= hy && hy <= yTop && hx <= g.corner2.x;
      break;
    case 3:
      inside = hy <= yBot;
      break;
    default:
      inside = yBot <= hy && hy <= yTop && hx >= g.corner1.x;
      break;
  }
  if (!inside) return 0;

  ball.hitX = t * dx + x;
  ball.hitY = dy * t + y;
  ball.hitCentreX = cx;
  ball.hitCentreY = cy;
  ball.hitRadius = r;
  ball.arc = i;
  return i;
}

namespace {

// The corner rule (collision.h): the ray's far root on the circle of the
// corner's arc, taken as the hit when it lies within the tolerance of the
// corner.
template <typename T>
int hitCorner(const BasicTable<T>& g, BasicBall<T>& ball) {
  for (int n = 1; n <= 4; ++n) {
    BasicPoint<T> corner, centre;
    T r = 0;
    int arc = 0;
    switch (n) {
      case 1:
        corner = g.corner1, centre = g.centre1, r = g.radiusTop, arc = 1;
        break;
      case 2:
        corner = g.corner2, centre = g.centre1, r = g.radiusTop, arc = 1;
        break;
      case 3:
        corner = g.corner3, centre = g.centre2, r = g.radiusSide, arc = 2;
        break;
      default:
        corner = g.corner4, centre = g.centre3, r = g.radiusBottom, arc = 3;
        break;
    }
    const T x = ball.x, y = ball.y, dx = ball.dx, dy = ball.dy;
    const T q = ((dy * y - centre.y * dy) + dx * x) - centre.x * dx;
    const T k = (square(y - centre.y) + square(x - centre.x)) - square(r);
    // A ray that only grazes the circle within rounding has a slightly
    // negative discriminant: it meets the circle at -q.
    const T w = std::sqrt(std::fmax(square(q) - k, T(0)));
    const T t = w + (-q);
    const T hx = t * dx + x;
    const T hy = t * dy + y;
    const T tolerance = T(cornerTolerance) * std::fmax(T(1), r);
    // A ray that leaves a corner is not taken back to it.
    if (!(t > tolerance && std::hypot(hx - corner.x, hy - corner.y) <= tolerance)) continue;
    ball.hitDistance = t;
    ball.hitX = hx;
    ball.hitY = hy;
    ball.hitCentreX = centre.x;
    ball.hitCentreY = centre.y;
    ball.hitRadius = r;
    ball.arc = arc;
    return arc;
  }
  return 0;
}

}  // namespace

template <typename T>
int findHit(const BasicTable<T>& table, BasicBall<T>& ball) {
  for (int i = 1; i <= 4; ++i) {
    if (hitArc(table, ball, i) != 0) return i;
  }
  return hitCorner(table, ball);
}

template int hitArc<double>(const BasicTable<double>&, BasicBall<double>&, int);
template int hitArc<long double>(const BasicTable<long double>&, BasicBall<long double>&, int);
template int findHit<double>(const BasicTable<double>&, BasicBall<double>&);
template int findHit<long double>(const BasicTable<long double>&, BasicBall<long double>&);

}  // namespace trapezola
