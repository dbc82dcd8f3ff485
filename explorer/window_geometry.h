// The window's table operations on its records: they rebuild TableGeometry and
// place BallState as the core's value operations do, and keep the phase
// window's perimeter range and pixel scales in step with them.
#pragma once

namespace trapezola {

// Rebuilds the window's record: every TableGeometry field but sideTilt from b
// and rr, as buildTable derives them; lowers PhaseWindow.sMax to the perimeter
// length where it is larger.
void buildGeometry(double b, double rr);

// buildGeometry, then the start values of an orbit run: BallState.startS,
// BallState.cosPhi (from the angle in degrees against the counter-clockwise
// tangent) and repeatCount.
void setupTable(double b, double rr, double startDistance, double startAngleDegrees, int repeat);

// TableGeometry.sideTilt := pi/2 - theta, then the core's launch at
// BallState.startS (stored back wrapped) with BallState.cosPhi, then the phase
// window's pixel scales. Returns 1.
int launch();

}  // namespace trapezola
