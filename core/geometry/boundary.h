// Boundary coordinates: from a phase point (s, cos phi) back to the plane.
//
// s is the perimeter coordinate (arc length from corner 1, counter-clockwise);
// the angle enters only through its cosine c, and its sine is always taken as
// sqrt(1 - c^2), so the direction always points into the table.
#pragma once

namespace trapezola {

struct UnitTangent {
  double tx = 0;
  double ty = 0;
};

// Counter-clockwise unit tangent of the circle with centre (cx, cy) at the point
// (x, y) on it. The class picks the formula (1 above the centre, 2 left of it,
// 3 below, 4 right), so that the slope divides by the larger coordinate
// difference; the caller chooses the class.
UnitTangent boundaryTangent(double x, double y, double cx, double cy, int tangentClass);

// Places the ball at BallState.startS (wrapped modulo s4 and stored back) with
// cosine BallState.cosPhi, sets BallState.arc to 1 and TableGeometry.sideTilt,
// and recomputes the phase window's pixel scales. Returns 1.
int launch();

// Places the ball at s (wrapped on a local copy) with cosine c: writes
// BallState.x, y, tx, ty, dx, dy and nothing else. A negative s places nothing.
// Returns 0.
int placeOnBoundary(double c, double s);

// The boundary point at s, by the same piecewise rule as the placement but
// without wrapping s. Returns false, leaving x and y alone, when s lies outside
// [0, s4].
bool boundaryPointAt(double s, double& x, double& y);

}  // namespace trapezola
