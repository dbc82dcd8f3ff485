// Collision search: where the straight ray from the ball meets the boundary next.
//
// The ray (x, y) + t (dx, dy) of a ball is intersected with the full
// circle of each arc in the fixed order 1, 2, 3, 4; the far intersection is
// taken, and the first one inside its arc's acceptance window wins. No distances
// are compared. For a ray that starts on the boundary and points into the table,
// the far root is the exit, never the start point.
#pragma once

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

// Returns i when arc i of `table` accepts the ball's ray and records the hit in
// the ball (hitX, hitY, hitCentreX, hitCentreY, hitRadius, arc); 0 otherwise.
// hitDistance is written for every circle the ray meets, accepted or not. An
// index outside 1..4 returns 0 and writes nothing.
// Defined for double and long double, as findHit is.
template <typename T>
int hitArc(const BasicTable<T>& table, BasicBall<T>& ball, int i);

// hitArc(1..4) until one accepts; returns the arc, or 0 when none does
// (floating-point error, a direction leaving the table, a non-finite ray). The
// previous hit then stays in the ball.
template <typename T>
int findHit(const BasicTable<T>& table, BasicBall<T>& ball);

// The window's adapters on TableGeometry and BallState. findHit() does not tell
// its caller when no arc accepted.
int hitArc(int i);
void findHit();

}  // namespace trapezola
