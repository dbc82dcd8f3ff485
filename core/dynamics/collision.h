// Collision search: where the straight ray from the ball meets the boundary next.
//
// The ray (x, y) + t (dx, dy) of a ball is intersected with the full
// circle of each arc in the fixed order 1, 2, 3, 4; the far intersection is
// taken, and the first one inside its arc's acceptance window wins. No distances
// are compared. For a ray that starts on the boundary and points into the table,
// the far root is the exit, never the start point.
//
// The corner rule. A corner belongs to the lower-numbered of the two arcs that
// meet there (corner 1 to arc 1, corner 2 to arc 1, corner 3 to arc 2, corner
// 4 to arc 3): where a ray meets a corner exactly, the windows, tried in the
// order 1 to 4, already give it so. But rounding can put each far root a hair
// beyond its own arc's end, and then no window takes the ray. When no arc
// accepts, the ray's far root on the circle of the corner's arc counts as the
// hit if it lies within cornerTolerance of the corner, and the ball reflects
// off that arc there. In a circle every arc is one circle, so any arc gives
// the same reflection and no orbit stops at a corner. A search that some arc
// accepts never looks at the corners, so the bounces of an orbit that touches
// no corner keep every bit (GoldenBits, GoldenValues, GoldenPortrait).
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

// How far from a corner, relative to the larger of 1 and the radius of the
// corner's arc, a refused far root still counts as the corner. The far
// roots of a ray at a corner miss it by a few roundings of the circle's
// equation (1e-16 of the radius in the circle of b = 0.15 whose diameter from
// s4/2 runs into corner 1); 1e-9 leaves room for the cancellation of large
// side radii, and is used only where the orbit would otherwise stop.
inline constexpr double cornerTolerance = 1e-9;

// hitArc(1..4) until one accepts, then the corner rule; returns the arc, or 0
// when neither finds one (a direction leaving the table, a non-finite ray). The
// previous hit then stays in the ball.
template <typename T>
int findHit(const BasicTable<T>& table, BasicBall<T>& ball);

}  // namespace trapezola
