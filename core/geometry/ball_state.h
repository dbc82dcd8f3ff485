// The moving point of the billiard: the ball value that placement, collision
// search, reflection and the bounce work on.
//
// Directions and tangents are unit vectors in table coordinates; the tangent is
// the counter-clockwise one. phi is the angle from that tangent to the outgoing
// direction, in radians from 0 to pi.
#pragma once

namespace trapezola {

// One ball, owned by whoever runs its orbit, its numbers of type T (double, or
// long double for the precision horizon's shadow orbit). Besides position and
// direction it keeps the hit record of the last collision search, because a
// search in which no arc accepts leaves the previous hit in place and the
// reflection works on that.
template <typename T>
struct BasicBall {
  // Position on the boundary and unit direction of travel.
  T x = 0, y = 0;
  T dx = 0, dy = 0;
  // Counter-clockwise unit tangent at the last placement or reflection.
  T tx = 0, ty = 0;
  // Cosine of the last bounce's angle (for the window's ball, first the start
  // angle's).
  T cosPhi = 0;
  // Hit record of the last collision search.
  T hitDistance = 0;
  T hitX = 0, hitY = 0;
  T hitCentreX = 0, hitCentreY = 0;
  T hitRadius = 0;
  int arc = 0;  // 1..4; 0 before any launch or accepted hit
  // Bounce result.
  int side = 0;  // quadrant of the hit relative to its arc's centre: 1 above, 2 left, 3 below, 4 right
  T arcAngle = 0;
  T s = 0;
  T phi = 0;
  T newDx = 0, newDy = 0;
};

using Ball = BasicBall<double>;

}  // namespace trapezola
