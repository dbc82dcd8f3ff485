#include "explorer/window_geometry.h"

#include <cmath>

#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"

namespace trapezola {

void buildGeometry(double b, double rr) {
  // The window's tilt is the last launch's or pointer read-out's, not the new
  // table's: a pointer read-out after a rebuild uses it until the next launch.
  const double tilt = TableGeometry.sideTilt;
  static_cast<BilliardTable&>(TableGeometry) = buildTable(b, rr);
  TableGeometry.sideTilt = tilt;
  // The visible perimeter range never reaches past one full perimeter; it is
  // never raised here.
  if (PhaseWindow.sMax > TableGeometry.s4) PhaseWindow.sMax = TableGeometry.s4;
}

void setupTable(double b, double rr, double startDistance, double startAngleDegrees, int repeat) {
  buildGeometry(b, rr);
  BallState.startS = startDistance;
  BallState.cosPhi = std::cos(startAngleRadians(startAngleDegrees));
  repeatCount = repeat;
}

int launch() {
  TableGeometry.sideTilt = pi * 0.5 - TableGeometry.theta;
  BallState.startS = launch(TableGeometry, BallState, BallState.startS, BallState.cosPhi);
  // Done even when no arc was selected.
  PhaseWindow.scaleS = plotAreaWidth / (PhaseWindow.sMax - PhaseWindow.sMin);
  PhaseWindow.scalePhi = plotAreaHeight / (PhaseWindow.phiMax - PhaseWindow.phiMin);
  return 1;
}

}  // namespace trapezola
