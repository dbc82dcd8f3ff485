// The one moving point of the billiard, shared by placement, collision search,
// reflection and every handler that bounces the ball.
//
// Directions and tangents are unit vectors in table coordinates; the tangent is
// the counter-clockwise one. phi is the angle from that tangent to the outgoing
// direction, in radians from 0 to pi.
#pragma once

namespace trapezola {

struct BallStateRecord {
  // Position on the boundary and unit direction of travel.
  double x = 0, y = 0;
  double dx = 0, dy = 0;
  // Counter-clockwise unit tangent at the last placement or reflection.
  double tx = 0, ty = 0;
  // Start of a run: perimeter coordinate and cosine of the start angle. The
  // reflection also writes cosPhi for each bounce.
  double cosPhi = 0;
  double startS = 0;
  // Hit record of the last collision search.
  double hitDistance = 0;
  double hitX = 0, hitY = 0;
  double hitCentreX = 0, hitCentreY = 0;
  double hitRadius = 0;
  int arc = 0;  // 1..4
  // Bounce result.
  int side = 0;  // quadrant of the hit relative to its arc's centre: 1 above, 2 left, 3 below, 4 right
  double arcAngle = 0;
  double s = 0;
  double phi = 0;
  double newDx = 0, newDy = 0;
};

extern BallStateRecord BallState;

}  // namespace trapezola
