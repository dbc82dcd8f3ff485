// Operations of the window's model on one explorer value, as the tests drive
// them: the ball of `ex` on the table of `ex`, a bad arc index reported as a
// test failure instead of a status the window acts on.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "core/analysis/lgtr_series.h"
#include "core/analysis/periodic_orbit.h"
#include "core/dynamics/bounce.h"
#include "explorer/explorer.h"
#include "explorer/phase_portrait.h"

namespace trapezola {

// The window's bounce on `ex`: the value bounce, whatever arc the search found.
inline void bounceOn(Explorer& ex) {
  EXPECT_NE(bounce(ex.table, ex.ball), BounceStatus::badArcIndex);
}

// The window's analysis of the orbit at (s, phi), which also keeps s as the
// ball's start, as the right click does.
inline PeriodicOrbitAnalysis analyseOn(Explorer& ex, double s, double phi, double epsilon,
                                       std::optional<int> typedPeriod) {
  ex.ball.startS = s;
  const PeriodicOrbitAnalysis a = analysePeriodicOrbit(ex.table, ex.ball, s, phi, epsilon, typedPeriod);
  EXPECT_NE(a.status, BounceStatus::badArcIndex);
  return a;
}

inline BallPose placeAnalysisStartOn(Explorer& ex, double s, double phi) {
  ex.ball.startS = s;
  return placeAnalysisStart(ex.table, ex.ball, s, phi);
}

inline int searchReturnOn(Explorer& ex, const BallPose& reference, double epsilon) {
  int bounces = 0;
  EXPECT_NE(searchReturn(ex.table, ex.ball, reference, epsilon, bounces), BounceStatus::badArcIndex);
  return bounces;
}

inline Monodromy monodromyOverPeriodOn(Explorer& ex, int period) {
  Monodromy m;
  EXPECT_NE(monodromyOverPeriod(ex.table, ex.ball, period, m), BounceStatus::badArcIndex);
  return m;
}

inline std::int64_t runLgTrSeriesOn(Explorer& ex, const BallPose& start, int blockSize, int blockCount,
                                    const LgTrSink& sink) {
  const LgTrSeriesEnd end = runLgTrSeries(ex.table, ex.ball, start, blockSize, blockCount, sink);
  EXPECT_NE(end.status, BounceStatus::badArcIndex);
  return end.rescaleCount;
}

// A synchronous run of plotted passes of the ball of `ex` in its window with its
// point size; true unless the orbit left the table.
inline bool plottedPassesOn(Explorer& ex, toolkit::TCanvas& canvas, int passes, std::int64_t bouncesPerPass,
                            PassObserver* observer) {
  RunPosition at;
  const BounceStatus status =
      runPlottedPasses(PlottedPasses{ex.table, ex.window, ex.pointSize, passes, bouncesPerPass}, ex.ball,
                       canvas, at, std::numeric_limits<std::int64_t>::max(), observer);
  EXPECT_NE(status, BounceStatus::badArcIndex);
  return status == BounceStatus::ok;
}

}  // namespace trapezola
