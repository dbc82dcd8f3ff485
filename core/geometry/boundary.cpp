// Placement on the boundary. Notation: u is the arc length along the current arc
// divided by its radius; h is arc 3's half opening angle. Arc 3 is split in
// three: within 45 degrees of its lowest point the x coordinate is computed from
// the angle, outside it the y coordinate, so that the square root that gives the
// other coordinate stays well conditioned.
#include "core/geometry/boundary.h"

#include <cmath>

#include "core/geometry/ball_state.h"
#include "core/geometry/square.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

namespace {

template <typename T>
struct ArcPoint {
  T x = 0;
  T y = 0;
  T cx = 0;
  T cy = 0;
  int tangentClass = 0;
};

// The point at s on its arc, s already reduced. Returns false when s lies on no
// arc (s < 0, s > s4, or NaN).
template <typename T>
bool arcPointAt(const BasicTable<T>& g, T s, ArcPoint<T>& p) {
  constexpr T pi = piIn<T>;
  if (0 <= s && s <= g.s1) {
    const T u = s / g.radiusTop;
    p.x = g.radiusTop * std::sin(g.delta - u) + g.centre1.x;
    p.y = std::sqrt(square(g.radiusTop) - square(p.x)) + g.centre1.y;
    p.cx = g.centre1.x;
    p.cy = g.centre1.y;
    p.tangentClass = 1;
    return true;
  }
  if (g.s1 < s && s <= g.s2) {
    const T u = (s - g.s1) / g.radiusSide;
    p.y = g.radiusSide * std::sin((g.halfAngleSide + g.sideTilt) - u) + g.centre2.y;
    p.x = g.centre2.x - std::sqrt(square(g.radiusSide) - square(p.y - g.centre2.y));
    p.cx = g.centre2.x;
    p.cy = g.centre2.y;
    p.tangentClass = 2;
    return true;
  }
  if (g.s2 < s && s <= g.s3) {
    const T u = (s - g.s2) / g.radiusBottom;
    const T h = g.halfAngleBottom;
    const T r = g.radiusBottom;
    if (h - pi * 0.25 <= u && u <= h + pi * 0.25) {
      p.x = r * std::sin((h - u) + pi) + g.centre3.x;
      p.y = g.centre3.y - std::sqrt(square(r) - square(p.x));
    } else if (u < h - pi * 0.25) {
      p.y = g.centre3.y - r * std::sin((pi * 0.5 + h) - u);
      p.x = g.centre3.x - std::sqrt(square(r) - square(p.y - g.centre3.y));
    } else {
      p.y = r * std::sin((h - pi * 0.5) - u) + g.centre3.y;
      p.x = std::sqrt(square(r) - square(p.y - g.centre3.y)) + g.centre3.x;
    }
    p.cx = g.centre3.x;
    p.cy = g.centre3.y;
    // The ends of arc 3 rise above its centre when its half opening angle
    // exceeds 90 degrees (small b, large rr): they take the side formulas.
    p.tangentClass = (p.y < g.centre3.y) ? 3 : (p.x <= 0 ? 2 : 4);
    return true;
  }
  if (g.s3 < s && s <= g.s4) {
    const T u = (s - g.s3) / g.radiusSide;
    p.y = g.centre4.y - g.radiusSide * std::sin((g.halfAngleSide - g.sideTilt) - u);
    p.x = std::sqrt(square(g.radiusSide) - square(p.y - g.centre4.y)) + g.centre4.x;
    p.cx = g.centre4.x;
    p.cy = g.centre4.y;
    p.tangentClass = 4;
    return true;
  }
  return false;
}

// Placement steps 2 to 5 at an already reduced s.
template <typename T>
bool placeReduced(const BasicTable<T>& table, BasicBall<T>& ball, T s, T c) {
  ArcPoint<T> p;
  if (!arcPointAt(table, s, p)) return false;
  const BasicTangent<T> t = boundaryTangent(p.x, p.y, p.cx, p.cy, p.tangentClass);
  ball.x = p.x;
  ball.y = p.y;
  ball.tx = t.tx;
  ball.ty = t.ty;
  const T q = std::sqrt(1 - square(c));
  ball.dx = c * t.tx - q * t.ty;
  ball.dy = q * t.tx + c * t.ty;
  return true;
}

}  // namespace

template <typename T>
BasicTangent<T> boundaryTangent(T x, T y, T cx, T cy, int tangentClass) {
  BasicTangent<T> t;
  T m = 0;
  switch (tangentClass) {
    case 1:
      m = -(x - cx) / (y - cy);
      break;
    case 3:
      m = -(x - cx) / (y - cy);
      break;
    default:
      m = -(y - cy) / (x - cx);
      break;
  }
  const T n = std::sqrt(square(m) + 1);
  switch (tangentClass) {
    case 1:
      t.tx = -1 / n;
      t.ty = -m / n;
      break;
    case 2:
      t.tx = -m / n;
      t.ty = -1 / n;
      break;
    case 3:
      t.tx = 1 / n;
      t.ty = m / n;
      break;
    default:
      t.tx = m / n;
      t.ty = 1 / n;
      break;
  }
  return t;
}

template <typename T>
T wrappedPerimeterCoordinate(T s, T s4) {
  // The perimeter is a circle of length s4: s and s + k s4 are the same point for
  // every whole k, negative ones included. [0, s4] is left alone, so that s4
  // stays the end of arc 4 (the same point as 0, corner 1). A negative multiple
  // of s4 gives s4 (-0 + s4). A NaN fails both tests and stays NaN.
  if (s > s4) return std::fmod(s, s4);
  if (s < 0) return std::fmod(s, s4) + s4;
  return s;
}

template <typename T>
T launch(const BasicTable<T>& table, BasicBall<T>& ball, T startS, T cosPhi) {
  ball.arc = 1;
  startS = wrappedPerimeterCoordinate(startS, table.s4);
  placeReduced(table, ball, startS, cosPhi);
  return startS;
}

template <typename T>
bool placeOnBoundary(const BasicTable<T>& table, BasicBall<T>& ball, T c, T s) {
  return placeReduced(table, ball, wrappedPerimeterCoordinate(s, table.s4), c);
}

template <typename T>
bool boundaryPointAt(const BasicTable<T>& table, T s, T& x, T& y) {
  ArcPoint<T> p;
  if (!arcPointAt(table, s, p)) return false;
  x = p.x;
  y = p.y;
  return true;
}

#define TRAPEZOLA_INSTANTIATE_BOUNDARY(T)                                      \
  template BasicTangent<T> boundaryTangent<T>(T, T, T, T, int);                \
  template T wrappedPerimeterCoordinate<T>(T, T);                              \
  template T launch<T>(const BasicTable<T>&, BasicBall<T>&, T, T);             \
  template bool placeOnBoundary<T>(const BasicTable<T>&, BasicBall<T>&, T, T); \
  template bool boundaryPointAt<T>(const BasicTable<T>&, T, T&, T&);
TRAPEZOLA_INSTANTIATE_BOUNDARY(double)
TRAPEZOLA_INSTANTIATE_BOUNDARY(long double)
#undef TRAPEZOLA_INSTANTIATE_BOUNDARY

}  // namespace trapezola
