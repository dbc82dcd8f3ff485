// Golden bits of the bounce map and the periodic-orbit analysis, run on an
// explorer value as the window runs them: the launch of a fresh "go", then the
// core's bounce (collision search, reflection and the copy of hit point and new
// direction). The inputs and the recorded digests are in golden_cases.h.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "core/analysis/lgtr_series.h"
#include "core/analysis/periodic_orbit.h"
#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "tests/explorer_test_support.h"
#include "tests/golden/golden_cases.h"

namespace trapezola {
namespace {

using golden::hex;

std::uint64_t orbitDigest(const golden::OrbitCase& c) {
  Explorer ex;
  buildGeometry(ex, c.b, c.rr);
  const double start = c.startAtCorner2 ? ex.table.s1 : c.distance;
  setupTable(ex, c.b, c.rr, start, c.angleDegrees, 1);
  launch(ex);
  WindowBall& ball = ex.ball;
  golden::Digest d;
  d.addLaunch(ball);
  for (int n = 0; n < golden::goldenBounces; ++n) {
    EXPECT_NE(bounce(ex.table, ball), BounceStatus::badArcIndex);
    d.addBounce(ball);
  }
  return d.value();
}

TEST(GoldenBits, OrbitsThroughTheWindowsValue) {
  for (const golden::OrbitCase& c : golden::orbitCases) {
    const std::uint64_t got = orbitDigest(c);
    EXPECT_EQ(got, c.digest) << c.name << ": digest " << hex(got) << ", recorded " << hex(c.digest);
  }
}

std::uint64_t analysisDigest(const golden::AnalysisCase& c) {
  Explorer ex;
  setupTable(ex, c.b, c.rr, c.distance, c.angleDegrees, 1);
  const double s = c.distance < 0 ? ex.table.s1 * 0.5 : c.distance;
  ex.ball.startS = s;
  launch(ex);
  std::optional<int> typed;
  if (c.typedPeriod != 0) typed = c.typedPeriod;
  const PeriodicOrbitAnalysis a =
      analyseOn(ex, s, startAngleRadians(c.angleDegrees), golden::analysisEpsilon, typed);
  golden::Digest d;
  d.add(a.period);
  for (const int count : a.returnCounts) d.add(count);
  d.add(a.trace);
  d.add(a.monodromy.m11);
  d.add(a.monodromy.m22);
  const std::int64_t rescales = runLgTrSeriesOn(ex, a.matrixStart, golden::lgTrBlockSize,
                                                golden::lgTrBlockCount, [&](int block, double value) {
                                                  d.add(block);
                                                  d.add(value);
                                                });
  d.add(rescales);
  return d.value();
}

TEST(GoldenBits, AnalysesThroughTheWindowsValue) {
  for (const golden::AnalysisCase& c : golden::analysisCases) {
    const std::uint64_t got = analysisDigest(c);
    EXPECT_EQ(got, c.digest) << c.name << ": digest " << hex(got) << ", recorded " << hex(c.digest);
  }
}

}  // namespace
}  // namespace trapezola
