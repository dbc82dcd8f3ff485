// Reflection: from the hit of the collision search to the bounce's phase point
// (s, phi) and the specularly reflected direction.
//
// phi is measured from the counter-clockwise tangent at the hit to the outgoing
// direction, in radians: below pi/2 the ball goes on counter-clockwise.
#pragma once

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

// How a bounce went. noArcAccepted: the collision search found no arc, and the
// reflection worked on the ball's previous hit, as the window's bounce always
// has. badArcIndex: the hit record names no arc 1..4 (a ball that was never
// launched and never hit anything); nothing was moved or written.
enum class BounceStatus { ok, noArcAccepted, badArcIndex };

// Reflects the ball's incoming direction (ball.dx, dy) at the hit point (x, y)
// on the circle with centre (cx, cy) and the given radius, the perimeter
// coordinate taken by the formula of arc arcIndex and put in [0, s4)
// (perimeterCoordinateInRange). Writes side, tx, ty,
// arcAngle, s, cosPhi, newDx, newDy and phi; does not move the ball. Returns ok,
// or badArcIndex for an index outside 1..4 with nothing written.
// Defined for double and long double.
template <typename T>
BounceStatus reflect(const BasicTable<T>& table, BasicBall<T>& ball, T x, T y, T cx, T cy, T radius,
                     int arcIndex);

}  // namespace trapezola
