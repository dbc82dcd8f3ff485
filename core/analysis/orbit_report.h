// The whole analysis of one phase point that trapezola-cli analyse prints and
// the Python module's analyse returns: the periodic-orbit analysis of a right
// click, the lg(Tr) series of an untouched Lyapunov window with its linear fit,
// and the precision horizon of the bounces followed.
//
// The start is a perimeter coordinate (arc length from corner 1,
// counter-clockwise, taken round the perimeter) and an angle in degrees against
// the counter-clockwise tangent; the series holds natural logarithms, one a
// block, and the fit's gradient is per bounce.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "core/analysis/lgtr_data_file.h"
#include "core/analysis/lyapunov_fit.h"
#include "core/analysis/periodic_orbit.h"
#include "core/analysis/precision_horizon.h"

namespace trapezola {

struct OrbitReportRequest {
  double b = 0;
  double rr = 0;
  double distance = 0;
  double angleDegrees = 0;
  // The start angle in radians, bit for bit, in place of angleDegrees: the
  // hovered phase point of the window, whose angle no degree value reaches
  // exactly.
  std::optional<double> phi;
  std::optional<int> typedPeriod;  // empty: search
  int sensitivity = -50;           // the slider's position: epsilon = -sensitivity / 1000
  int blockSize = 500;
  int blockCount = 100;
  double shadowTolerance = defaultShadowTolerance;
};

struct OrbitReport {
  PeriodicOrbitAnalysis analysis;
  std::vector<double> series;  // one value a block
  // The fit over line positions 1 to blockCount - 1, read back from the data
  // file's text as the window reads it; empty with a single block or
  // non-finite values.
  std::optional<LyapunovFit> fit;
  std::int64_t followedBounces = 0;  // the searches, then the series
  std::int64_t trustedBounces = 0;   // of those, the ones within the precision horizon
};

// Thrown by analyseOrbit when its stop flag turned true.
class AnalysisStopped : public std::runtime_error {
 public:
  AnalysisStopped() : std::runtime_error("the analysis was stopped") {}
};

// Analyses the request's phase point as a right click on a fresh "go" run's
// portrait does. `file`, when given, receives the series' lines (the caller
// commits it). When `stop` is given and turns true, the series ends after its
// current block by throwing AnalysisStopped (the Python module's Ctrl+C).
OrbitReport analyseOrbit(const OrbitReportRequest& request, LgTrFileWriter* file = nullptr,
                         const std::atomic<bool>* stop = nullptr);

}  // namespace trapezola
