// Drawing the phase portrait: the plot step of one bounce, the frame with its
// grid and corner curves, the clear, and the bounce loop of an orbit run.
//
// The portrait is the 794 x 681 image faziskep. A phase point (s, phi) lands at
// x = trunc((s - sMin) * scaleS + 6), y = trunc(678 - (phi - phiMin) * scalePhi);
// the grid uses the base line 675 instead of 678, so its lines sit three pixels
// above the points they label. None of this knows about Qt: the window, the
// benchmarks and trapezola-cli render all draw through these functions.
#pragma once

#include <cstdint>
#include <limits>

#include "core/dynamics/bounce.h"
#include "core/dynamics/reflection.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"
#include "raster/canvas.h"

namespace trapezola {

inline constexpr int portraitWidth = 794;
inline constexpr int portraitHeight = 681;

// The plot step: draws the phase point (s, phi) in `window` as a dotSize dot
// whose box lies right of and above the mapped pixel, when the point lies
// strictly inside the phase window. Pen and brush are the caller's; each thread
// plots into a canvas of its own.
void plotPhasePoint(toolkit::TCanvas& canvas, const PhaseWindowRecord& window, int dotSize, double s,
                    double phi);

// The red frame and grid lines of `table` in `window`, then the four green
// corner curves; leaves the pen black. The curves are walked with `walker`,
// whose position, direction and phi they overwrite (the window passes its own
// ball, and a double click after a grid runs on from where the walk left it).
void drawPhaseGrid(toolkit::TCanvas& canvas, const BilliardTable& table, Ball& walker,
                   const PhaseWindowRecord& window, double scaleS, double scalePhi);

// The angle at which a path leaving the boundary point (x, y), where the
// counter-clockwise unit tangent is (dx, dy), runs straight into corner k (1..4):
// the angle from the tangent to the chord, evaluated case by case in a fixed
// operation order (GoldenPortrait.RenderedPixels pins the curves drawn from
// it). At the few points where a case leaves it undefined
// (the corner itself, an unguarded vertical or horizontal tangent) `phi` keeps
// its previous value.
void cornerAngle(const BilliardTable& table, int k, double x, double y, double dx, double dy, double& phi);

// Clears the portrait (but its rightmost pixel column), sets pen and brush to
// the point colour and resets `window` to the whole perimeter of `table`.
void clearPortrait(toolkit::TCanvas& canvas, toolkit::TColor pointColour, const BilliardTable& table,
                   PhaseWindowRecord& window);

// Where a run of passes stands: `pass` passes are complete and `bounce` bounces
// of the next one are done. A run of P passes is complete at pass P, bounce 0.
struct RunPosition {
  int pass = 0;
  std::int64_t bounce = 0;
};

// The number of bounces in a run's passes, which a position has done.
std::int64_t bouncesDoneAt(const RunPosition& at, std::int64_t bouncesPerPass);

// Called after every pass of a run; a run makes 1000 or 1001 passes.
class PassObserver {
 public:
  virtual ~PassObserver() = default;
  virtual void passDone() = 0;
};

// A run of plotted passes: `passes` passes of `bouncesPerPass` bounces of
// `ball` on `table`, each one plottedBounce whose plot step draws the bounce
// into `canvas` as a dotSize dot in `window` (plotPhasePoint). The one run
// loop of every orbit picture: the window's runs (on its thread or a worker's),
// trapezola-cli render and the many-orbit portrait all call it.
struct PlottedPasses {
  const BilliardTable& table;
  const PhaseWindowRecord& window;
  int dotSize = 2;
  int passes = 1000;
  std::int64_t bouncesPerPass = 0;  // 0 or less: no bounce, the passes still count
};

// Runs `run` on from `at` (moved on as it goes) for at most `bounceLimit`
// bounces, or to the end of the run; a pass that is complete counts at once,
// and `observer` sees each one. A bounce whose collision search finds no arc (a
// start along the tangent, a non-finite ray) ends the run there, before its
// reflection: nothing is plotted from the previous hit, the ball keeps its
// position and direction, and the result is noArcAccepted. A hit that names no
// arc gives badArcIndex, for the caller to act on. Otherwise ok; the run is
// complete when at.pass == run.passes.
BounceStatus runPlottedPasses(const PlottedPasses& run, Ball& ball, toolkit::TCanvas& canvas, RunPosition& at,
                              std::int64_t bounceLimit = std::numeric_limits<std::int64_t>::max(),
                              PassObserver* observer = nullptr);

// The loop of runPlottedPasses with any plot step: `plot(const Ball&)` sees
// each bounce between the copy of the hit point and the copy of the new
// direction (plottedBounce). runPlottedPasses plots dots on a canvas; the
// many-orbit portrait marks its own images of orbit numbers.
template <typename Plot>
BounceStatus runPasses(const BilliardTable& table, int passes, std::int64_t bouncesPerPass, Ball& ball,
                       RunPosition& at, std::int64_t bounceLimit, PassObserver* observer, Plot&& plot) {
  std::int64_t left = bounceLimit > 0 ? bounceLimit : 0;
  while (at.pass < passes) {
    // The bounces of this pass that the limit allows, counted without overflow.
    const std::int64_t end = bouncesPerPass - at.bounce > left ? at.bounce + left : bouncesPerPass;
    // Counted in a local, which the plot step cannot alias, and stored back
    // once.
    std::int64_t n = at.bounce;
    for (; n < end; ++n) {
      const BounceStatus status = plottedBounce(table, ball, plot);
      if (status != BounceStatus::ok) {
        at.bounce = n;
        return status;
      }
    }
    if (n > at.bounce) left -= n - at.bounce;
    at.bounce = n;
    if (at.bounce < bouncesPerPass) return BounceStatus::ok;
    ++at.pass;
    at.bounce = 0;
    if (observer != nullptr) observer->passDone();
  }
  return BounceStatus::ok;
}

}  // namespace trapezola
