#include "explorer/orbit_run.h"

#include <cstdint>

#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"

namespace trapezola {

void prepareRun(toolkit::TCanvas& portrait, const RunLook& look) {
  pointSize = look.sizeIndex + 2;
  portrait.Pen->Color = look.colour;
  portrait.Brush->Color = look.colour;
  portrait.Brush->Style = toolkit::bsSolid;
}

bool resumeStateIsZero() {
  return ResumeState.x == 0.0 && ResumeState.y == 0.0 && ResumeState.dx == 0.0 && ResumeState.dy == 0.0;
}

namespace {

// The last bounce computed, not the ball's position: the grid moves the ball
// but leaves the hit record alone.
void finishRun(toolkit::TCanvas& portrait, const RunLook& look) {
  if (look.grid) drawPhaseGrid(portrait, PhaseWindow.scaleS, PhaseWindow.scalePhi);
  ResumeState.x = BallState.hitX;
  ResumeState.y = BallState.hitY;
  ResumeState.dx = BallState.newDx;
  ResumeState.dy = BallState.newDy;
}

}  // namespace

void beginGoRun() {
  if (resumeStateIsZero()) {
    launch();
  } else {
    BallState.x = ResumeState.x;
    BallState.y = ResumeState.y;
    BallState.dx = ResumeState.dx;
    BallState.dy = ResumeState.dy;
  }
  ++runCount;
}

bool performGoRun(toolkit::TCanvas& portrait, const RunLook& look, PassObserver* observer) {
  beginGoRun();
  prepareRun(portrait, look);
  const bool stayed = runPlottedPasses(portrait, 1000, repeatCount, observer);
  finishRun(portrait, look);
  return stayed;
}

bool performDoubleClickRun(toolkit::TCanvas& portrait, const RunLook& look, PassObserver* observer) {
  prepareRun(portrait, look);
  // repeatCount + 1 in 64 bits: a typed 2147483647 must not overflow.
  const bool stayed = runPlottedPasses(portrait, 1001, static_cast<std::int64_t>(repeatCount) + 1, observer);
  finishRun(portrait, look);
  return stayed;
}

}  // namespace trapezola
