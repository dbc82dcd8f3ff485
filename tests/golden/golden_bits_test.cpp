// Golden bits of the bounce map and the periodic-orbit analysis, run through the
// shared records as the window runs them: the launch of a fresh "go", then
// collision search, reflection and the copy of hit point and new direction. The
// inputs and the recorded digests are in golden_cases.h.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "core/analysis/lgtr_series.h"
#include "core/analysis/periodic_orbit.h"
#include "core/dynamics/collision.h"
#include "core/dynamics/reflection.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "tests/golden/golden_cases.h"

namespace trapezola {
namespace {

using golden::hex;

class GoldenBits : public ::testing::Test {
 protected:
  void SetUp() override {
    TableGeometry = TableGeometryRecord{};
    BallState = BallStateRecord{};
    PhaseWindow = PhaseWindowRecord{};
  }
  void TearDown() override { SetUp(); }
};

std::uint64_t orbitDigest(const golden::OrbitCase& c) {
  buildGeometry(c.b, c.rr);
  const double start = c.startAtCorner2 ? TableGeometry.s1 : c.distance;
  setupTable(c.b, c.rr, start, c.angleDegrees, 1);
  launch();
  BallStateRecord& ball = BallState;
  golden::Digest d;
  d.addLaunch(ball);
  for (int n = 0; n < golden::goldenBounces; ++n) {
    findHit();
    reflect(ball.hitX, ball.hitY, ball.hitCentreX, ball.hitCentreY, ball.hitRadius, ball.arc);
    ball.x = ball.hitX;
    ball.y = ball.hitY;
    ball.dx = ball.newDx;
    ball.dy = ball.newDy;
    d.addBounce(ball);
  }
  return d.value();
}

TEST_F(GoldenBits, OrbitsThroughTheSharedRecords) {
  for (const golden::OrbitCase& c : golden::orbitCases) {
    SetUp();
    const std::uint64_t got = orbitDigest(c);
    EXPECT_EQ(got, c.digest) << c.name << ": digest " << hex(got) << ", recorded " << hex(c.digest);
  }
}

std::uint64_t analysisDigest(const golden::AnalysisCase& c) {
  setupTable(c.b, c.rr, c.distance, c.angleDegrees, 1);
  const double s = c.distance < 0 ? TableGeometry.s1 * 0.5 : c.distance;
  BallState.startS = s;
  launch();
  std::optional<int> typed;
  if (c.typedPeriod != 0) typed = c.typedPeriod;
  const PeriodicOrbitAnalysis a =
      analysePeriodicOrbit(s, startAngleRadians(c.angleDegrees), golden::analysisEpsilon, typed);
  golden::Digest d;
  d.add(a.period);
  for (const int count : a.returnCounts) d.add(count);
  d.add(a.trace);
  d.add(a.monodromy.m11);
  d.add(a.monodromy.m22);
  const std::int64_t rescales = runLgTrSeries(a.matrixStart, golden::lgTrBlockSize, golden::lgTrBlockCount,
                                              [&](int block, double value) {
                                                d.add(block);
                                                d.add(value);
                                              });
  d.add(rescales);
  return d.value();
}

TEST_F(GoldenBits, AnalysesThroughTheSharedRecords) {
  for (const golden::AnalysisCase& c : golden::analysisCases) {
    SetUp();
    const std::uint64_t got = analysisDigest(c);
    EXPECT_EQ(got, c.digest) << c.name << ": digest " << hex(got) << ", recorded " << hex(c.digest);
  }
}

}  // namespace
}  // namespace trapezola
