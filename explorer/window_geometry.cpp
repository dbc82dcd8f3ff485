#include "explorer/window_geometry.h"

#include <cmath>

#include "core/geometry/boundary.h"

namespace trapezola {

void buildGeometry(Explorer& explorer, double b, double rr) {
  // The window's tilt is the last launch's or pointer read-out's, not the new
  // table's: a pointer read-out after a rebuild uses it until the next launch.
  const double tilt = explorer.table.sideTilt;
  explorer.table = buildTable(b, rr);
  explorer.table.sideTilt = tilt;
  // The visible perimeter range never reaches past one full perimeter; it is
  // never raised here.
  if (explorer.window.sMax > explorer.table.s4) explorer.window.sMax = explorer.table.s4;
}

void setupTable(Explorer& explorer, double b, double rr, double startDistance, double startAngleDegrees,
                int repeat) {
  buildGeometry(explorer, b, rr);
  explorer.ball.startS = startDistance;
  explorer.ball.cosPhi = std::cos(startAngleRadians(startAngleDegrees));
  explorer.repeatCount = repeat;
}

void launch(Explorer& explorer) {
  BilliardTable& table = explorer.table;
  WindowBall& ball = explorer.ball;
  PhaseWindowRecord& window = explorer.window;
  table.sideTilt = pi * 0.5 - table.theta;
  ball.startS = launch(table, static_cast<Ball&>(ball), ball.startS, ball.cosPhi);
  // Done even when no arc was selected.
  window.scaleS = plotAreaWidth / (window.sMax - window.sMin);
  window.scalePhi = plotAreaHeight / (window.phiMax - window.phiMin);
}

}  // namespace trapezola
