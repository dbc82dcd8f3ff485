// Collision search: where the straight ray from the ball meets the boundary next.
//
// The ray (BallState.x, y) + t (BallState.dx, dy) is intersected with the full
// circle of each arc in the fixed order 1, 2, 3, 4; the far intersection is
// taken, and the first one inside its arc's acceptance window wins. No distances
// are compared. For a ray that starts on the boundary and points into the table,
// the far root is the exit, never the start point.
#pragma once

namespace trapezola {

// Returns i when arc i accepts the ray and records the hit (hitX, hitY,
// hitCentreX, hitCentreY, hitRadius, arc); 0 otherwise. hitDistance is written
// for every circle the ray meets, accepted or not. An index outside 1..4
// returns 0 and writes nothing.
int hitArc(int i);

// hitArc(1..4) until one accepts. When none does (floating-point error, a
// direction leaving the table, a non-finite ray), the previous hit stays in
// place and the caller is not told.
void findHit();

}  // namespace trapezola
