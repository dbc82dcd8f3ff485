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

#include "explorer/phase_window.h"
#include "raster/canvas.h"

namespace trapezola {

inline constexpr int portraitWidth = 794;
inline constexpr int portraitHeight = 681;

// Draws the bounce that reflect has just produced (BallState.s, BallState.phi) as
// a pointSize dot whose box lies right of and above the mapped pixel, when the
// point lies strictly inside the phase window. Pen and brush are the caller's.
void plotBounce(toolkit::TCanvas& canvas);

// The plot step on values: draws the phase point (s, phi) in `window` as a
// dotSize dot, exactly as plotBounce draws a bounce, and touches no shared
// record, so that each thread can plot into a canvas of its own.
void plotPhasePoint(toolkit::TCanvas& canvas, const PhaseWindowRecord& window, int dotSize, double s,
                    double phi);

// The red frame and grid lines, then the four green corner curves; leaves the
// pen black. Overwrites BallState's position, direction and phi.
void drawPhaseGrid(toolkit::TCanvas& canvas, double scaleS, double scalePhi);

// The angle at which a path leaving the boundary point (x, y), where the
// counter-clockwise unit tangent is (dx, dy), runs straight into corner k (1..4):
// the angle from the tangent to the chord, evaluated case by case in a fixed
// operation order (GoldenPortrait.RenderedPixels pins the curves drawn from
// it). At the few points where a case leaves it undefined
// (the corner itself, an unguarded vertical or horizontal tangent) `phi` keeps
// its previous value.
void cornerAngle(int k, double x, double y, double dx, double dy, double& phi);

// Clears the portrait (but its rightmost pixel column), sets pen and brush to
// the point colour and resets the phase window to the whole perimeter.
void clearPortrait(toolkit::TCanvas& canvas, toolkit::TColor pointColour);

// Called after every pass of a run; a run makes 1000 or 1001 passes.
class PassObserver {
 public:
  virtual ~PassObserver() = default;
  virtual void passDone() = 0;
};

// passes x bouncesPerPass bounces from the current BallState, each plotted
// between the copy of the hit point and the copy of the new direction. A count
// of 0 or less makes no bounce; the observer still sees every pass. A bounce
// whose collision search finds no arc (a start along the tangent, a non-finite
// ray) ends the run there, before its reflection: nothing is plotted from the
// previous hit, the ball keeps its position and direction, and the result is
// false. Otherwise true.
bool runPlottedPasses(toolkit::TCanvas& canvas, int passes, std::int64_t bouncesPerPass,
                      PassObserver* observer);

}  // namespace trapezola
