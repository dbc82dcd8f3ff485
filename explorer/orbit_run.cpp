#include "explorer/orbit_run.h"

#include <cstdint>

#include "explorer/window_geometry.h"

namespace trapezola {

void prepareRun(Explorer& explorer, toolkit::TCanvas& portrait, const RunLook& look) {
  explorer.pointSize = look.sizeIndex + 2;
  portrait.Pen->Color = look.colour;
  portrait.Brush->Color = look.colour;
  portrait.Brush->Style = toolkit::bsSolid;
}

bool resumeStateIsZero(const ResumeStateRecord& resume) {
  return resume.x == 0.0 && resume.y == 0.0 && resume.dx == 0.0 && resume.dy == 0.0;
}

namespace {

// The last bounce computed, not the ball's position: the grid moves the ball
// but leaves the hit record alone.
void finishRun(Explorer& explorer, toolkit::TCanvas& portrait, const RunLook& look) {
  if (look.grid) {
    drawPhaseGrid(portrait, explorer.table, explorer.ball, explorer.window, explorer.window.scaleS,
                  explorer.window.scalePhi);
  }
  explorer.resume.x = explorer.ball.hitX;
  explorer.resume.y = explorer.ball.hitY;
  explorer.resume.dx = explorer.ball.newDx;
  explorer.resume.dy = explorer.ball.newDy;
}

BounceStatus runPasses(Explorer& explorer, toolkit::TCanvas& portrait, int passes,
                       std::int64_t bouncesPerPass, PassObserver* observer) {
  const PlottedPasses run{explorer.table, explorer.window, explorer.pointSize, passes, bouncesPerPass};
  RunPosition at;
  return runPlottedPasses(run, explorer.ball, portrait, at, std::numeric_limits<std::int64_t>::max(),
                          observer);
}

}  // namespace

void beginGoRun(Explorer& explorer) {
  if (resumeStateIsZero(explorer.resume)) {
    launch(explorer);
  } else {
    explorer.ball.x = explorer.resume.x;
    explorer.ball.y = explorer.resume.y;
    explorer.ball.dx = explorer.resume.dx;
    explorer.ball.dy = explorer.resume.dy;
  }
  ++explorer.runCount;
}

BounceStatus performGoRun(Explorer& explorer, toolkit::TCanvas& portrait, const RunLook& look,
                          PassObserver* observer) {
  beginGoRun(explorer);
  prepareRun(explorer, portrait, look);
  const BounceStatus status = runPasses(explorer, portrait, 1000, explorer.repeatCount, observer);
  finishRun(explorer, portrait, look);
  return status;
}

BounceStatus performDoubleClickRun(Explorer& explorer, toolkit::TCanvas& portrait, const RunLook& look,
                                   PassObserver* observer) {
  prepareRun(explorer, portrait, look);
  // repeatCount + 1 in 64 bits: a typed 2147483647 must not overflow.
  const BounceStatus status =
      runPasses(explorer, portrait, 1001, static_cast<std::int64_t>(explorer.repeatCount) + 1, observer);
  finishRun(explorer, portrait, look);
  return status;
}

}  // namespace trapezola
