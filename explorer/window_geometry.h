// The window's table operations on its explorer value: they rebuild the table
// and place the ball as the core's value operations do, and keep the phase
// window's perimeter range and pixel scales in step with them.
#pragma once

#include "explorer/explorer.h"

namespace trapezola {

// Rebuilds the explorer's table: every field but sideTilt from b and rr, as
// buildTable derives them; lowers window.sMax to the perimeter length where it
// is larger.
void buildGeometry(Explorer& explorer, double b, double rr);

// buildGeometry, then the start values of an orbit run: ball.startS,
// ball.cosPhi (from the angle in degrees against the counter-clockwise tangent)
// and repeatCount.
void setupTable(Explorer& explorer, double b, double rr, double startDistance, double startAngleDegrees,
                int repeat);

// table.sideTilt := pi/2 - theta, then the core's launch at ball.startS (stored
// back wrapped) with ball.cosPhi, then the phase window's pixel scales.
void launch(Explorer& explorer);

}  // namespace trapezola
