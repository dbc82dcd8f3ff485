// The moving point of the billiard: the ball value that placement, collision
// search, reflection and the bounce work on, and the window's one shared ball.
//
// Directions and tangents are unit vectors in table coordinates; the tangent is
// the counter-clockwise one. phi is the angle from that tangent to the outgoing
// direction, in radians from 0 to pi.
#pragma once

namespace trapezola {

// One ball, owned by whoever runs its orbit. Besides position and direction it
// keeps the hit record of the last collision search, because a search in which
// no arc accepts leaves the previous hit in place and the reflection works on
// that.
struct Ball {
  // Position on the boundary and unit direction of travel.
  double x = 0, y = 0;
  double dx = 0, dy = 0;
  // Counter-clockwise unit tangent at the last placement or reflection.
  double tx = 0, ty = 0;
  // Cosine of the last bounce's angle (for the window's ball, first the start
  // angle's).
  double cosPhi = 0;
  // Hit record of the last collision search.
  double hitDistance = 0;
  double hitX = 0, hitY = 0;
  double hitCentreX = 0, hitCentreY = 0;
  double hitRadius = 0;
  int arc = 0;  // 1..4; 0 before any launch or accepted hit
  // Bounce result.
  int side = 0;  // quadrant of the hit relative to its arc's centre: 1 above, 2 left, 3 below, 4 right
  double arcAngle = 0;
  double s = 0;
  double phi = 0;
  double newDx = 0, newDy = 0;
};

// The window's ball, with the start of a run: startS is the perimeter
// coordinate of the start, and cosPhi holds the start angle's cosine until the
// first reflection.
struct BallStateRecord : Ball {
  double startS = 0;
};

extern BallStateRecord BallState;

}  // namespace trapezola
