// Boundary coordinates: from a phase point (s, cos phi) back to the plane.
//
// s is the perimeter coordinate (arc length from corner 1, counter-clockwise);
// the angle enters only through its cosine c, and its sine is always taken as
// sqrt(1 - c^2), so the direction always points into the table.
#pragma once

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"

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

// The start of an orbit on `table`: sets ball.arc to 1 (whatever arc the start
// lies on) and places the ball at startS, wrapped modulo s4 when it is larger,
// with cosine cosPhi. Returns the wrapped start. The rest of the hit record is
// left alone: a fresh Ball has it zero.
double launch(const BilliardTable& table, Ball& ball, double startS, double cosPhi);

// Places the ball at s (wrapped modulo s4 when larger) with cosine c: writes x,
// y, tx, ty, dx, dy and nothing else. A negative s places nothing and returns
// false.
bool placeOnBoundary(const BilliardTable& table, Ball& ball, double c, double s);

// The boundary point at s, by the same piecewise rule as the placement but
// without wrapping s. Returns false, leaving x and y alone, when s lies outside
// [0, s4].
bool boundaryPointAt(const BilliardTable& table, double s, double& x, double& y);

// The window's adapters on TableGeometry and BallState.
//
// launch(): TableGeometry.sideTilt := pi/2 - theta, then the launch above at
// BallState.startS (stored back wrapped) with BallState.cosPhi, then the phase
// window's pixel scales. Returns 1.
int launch();
// placeOnBoundary on the window's ball. Returns 0.
int placeOnBoundary(double c, double s);
bool boundaryPointAt(double s, double& x, double& y);

}  // namespace trapezola
