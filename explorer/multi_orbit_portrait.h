// A phase portrait of many orbits at once, one colour an orbit, computed on
// several threads: what trapezola-cli portrait draws.
//
// The starts are OrbitStart values (core/analysis/orbit_starts.h: a list, or
// spreadStarts over the phase space). Each orbit starts as a fresh "go" run
// does (a perimeter coordinate s from corner 1, counter-clockwise, and an angle
// in degrees against the counter-clockwise tangent), runs on one shared table value with the value
// bounce, and plots bounces 1..M (not its start) with the window's plot step in
// the window's phase window, as small (2-pixel) dots. No orbit is stored: each
// worker thread keeps one image of orbit numbers and overwrites a pixel with the
// number of the orbit it is plotting. Workers take orbits in increasing order,
// so a pixel of a worker's image holds the highest orbit that worker plotted
// there; the images are merged by the highest number too. The result is
// therefore the highest-numbered orbit at every pixel, whichever thread ran
// which orbit and however many threads there were: the pixels a canvas would
// show after plotPhasePoint with pen and brush in the orbit's number. A
// worker's image holds a byte a pixel, the orbit's place among the last 255
// the worker began; it is merged whenever those run out.
//
// An orbit whose bounce reports no boundary hit (or a bad arc index) stops
// there: the bounce that failed is not drawn, its earlier bounces are.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "core/analysis/orbit_starts.h"
#include "core/dynamics/reflection.h"
#include "core/geometry/table_geometry.h"
#include "core/jobs/request_limits.h"
#include "explorer/phase_window.h"
#include "raster/canvas.h"

namespace trapezola {

// Kenneth Kelly's sequence of colours of maximum contrast (1965) without its
// white, as TColor values (0x00BBGGRR), his black taken as pure black, the
// window's default dot colour. Orbit i takes colour i modulo the palette's
// size, so neighbouring orbit numbers always differ clearly.
extern const std::array<toolkit::TColor, 21> orbitPalette;

// The phase window a fresh "go" run of the window program plots in: the whole
// perimeter (up to 13, the window's start value) across, 0 to pi up, with the
// scales that its launch computes.
PhaseWindowRecord freshRunWindow(const BilliardTable& table);

// How far one orbit got.
struct OrbitOutcome {
  std::int64_t bounces = 0;              // bounces computed ok, all drawn when inside the window
  BounceStatus stop = BounceStatus::ok;  // ok: ran all; otherwise why it stopped at bounce bounces + 1
};

// Told the bounces done so far while the workers run, from the thread that
// called drawOrbits, about four times a second.
class OrbitProgress {
 public:
  virtual ~OrbitProgress() = default;
  virtual void progress(std::int64_t bouncesDone, std::int64_t bouncesTotal) = 0;
};

struct OrbitPortrait {
  // Per pixel, row after row of the 794 x 681 portrait: the highest orbit
  // drawn there, or -1.
  std::vector<std::int32_t> topOrbit;
  std::vector<OrbitOutcome> outcomes;  // one per start, in start order
};

// Runs every start for `bounces` bounces on `table` with `threads` workers (at
// least 1, at most one per start) and returns the merged orbit numbers. The
// starts may number at most maxPortraitOrbits. The result does not depend on
// `threads`. Memory: one portrait-sized image per worker, whatever `bounces`.
// When `stop` turns true the workers end within a block of bounces: the
// orbits not yet begun are left out and the one each worker runs ends there.
OrbitPortrait drawOrbits(const BilliardTable& table, const PhaseWindowRecord& window,
                         std::span<const OrbitStart> starts, std::int64_t bounces, int threads,
                         OrbitProgress* progress, const std::atomic<bool>* stop = nullptr);

// The bytes drawOrbits allocates for `orbits` orbits on `threads` workers: an
// image of orbit numbers (794 x 681 bytes) a worker, the merged one (4 bytes a
// pixel), and an outcome a start. For the memory bound (core/jobs/memory_bound.h).
double portraitMemoryNeed(std::int64_t orbits, int threads);

// Paints every pixel that holds an orbit in that orbit's palette colour; the
// other pixels keep what the canvas showed. The canvas is portrait-sized.
void paintOrbits(toolkit::TCanvas& canvas, const OrbitPortrait& portrait);

}  // namespace trapezola
