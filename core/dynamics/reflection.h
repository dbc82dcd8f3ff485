// Reflection: from the hit of the collision search to the bounce's phase point
// (BallState.s, BallState.phi) and the specularly reflected direction.
//
// phi is measured from the counter-clockwise tangent at the hit to the outgoing
// direction, in radians: below pi/2 the ball goes on counter-clockwise.
#pragma once

namespace trapezola {

// Always called as reflect(hitX, hitY, hitCentreX, hitCentreY, hitRadius, arc)
// right after findHit; reads the incoming direction (BallState.dx, dy) and writes
// side, tx, ty, arcAngle, s, cosPhi, newDx, newDy and phi. It does not move the
// ball. An arc index outside 1..4 is the program's one fatal guard: it writes
// "problem!" to standard output and ends the process with exit status 1.
// Returns 0.
int reflect(double x, double y, double cx, double cy, double radius, int arcIndex);

}  // namespace trapezola
