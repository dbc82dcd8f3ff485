// Continuation along the family: a closed-form orbit followed step by step,
// a period doubling located to 1e-10, and the stops.
#include "core/analysis/orbit_continuation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/geometry/table_geometry.h"

namespace trapezola {
namespace {

constexpr double degree = pi / 180;

// The side arcs' two-bounce orbit, along the line through their centres: free
// path L = 2 (R8 + centre4.x), trace 4 (1 - L/R8)^2 - 2. The trace touches -2
// where L = R8 and comes back: no crossing, so no bifurcation.
TEST(OrbitContinuation, FollowsTheSideOrbitAlongItsClosedForm) {
  ContinuationRequest request;
  request.parameter = FamilyParameter::rr;
  request.from = 1.5;
  request.to = 6;
  request.count = 46;
  request.fixed = 0.7;
  request.period = 2;
  request.near = PhasePoint{6.9, 85 * degree};
  const Continuation c = continueOrbit(request);
  EXPECT_EQ(c.stopped, "");
  ASSERT_EQ(c.steps.size(), 46u);
  double lowest = 2;
  for (const ContinuationStep& step : c.steps) {
    const BilliardTable t = buildTable(0.7, step.parameter);
    const double l = 2 * (t.radiusSide + t.centre4.x);
    const double exact = 4 * (1 - l / t.radiusSide) * (1 - l / t.radiusSide) - 2;
    EXPECT_NEAR(step.trace, exact, 1e-12) << step.parameter;
    EXPECT_NEAR(step.length, 2 * l, 1e-12) << step.parameter;
    EXPECT_NEAR(step.point.phi, pi / 2, 1e-12) << step.parameter;
    EXPECT_EQ(step.orbitClass, OrbitClass::elliptic) << step.parameter;
    lowest = std::min(lowest, step.trace);
  }
  EXPECT_LT(lowest, -1.99);
  EXPECT_TRUE(c.bifurcations.empty());
}

// The elliptic minimax orbit of rotation number 1/5 of b = 0.5, R8/R = 2
// doubles its period as R8/R falls: the located parameter has the trace on
// either side of -2 within 1e-10 of it, whatever the step.
TEST(OrbitContinuation, LocatesAPeriodDoublingToItsBisectionWidth) {
  ContinuationRequest request;
  request.parameter = FamilyParameter::rr;
  request.from = 2;
  request.to = 1.8;
  request.fixed = 0.5;
  request.period = 5;
  request.near = PhasePoint{0.378745, 45.755 * degree};
  double located[2] = {0, 0};
  int k = 0;
  for (const int count : {5, 41}) {
    request.count = count;
    const Continuation c = continueOrbit(request);
    EXPECT_EQ(c.stopped, "");
    ASSERT_EQ(c.bifurcations.size(), 1u) << count;
    const Bifurcation& found = c.bifurcations[0];
    EXPECT_EQ(found.trace, -2);
    EXPECT_TRUE(found.periodDoubling);
    EXPECT_STREQ(bifurcationKindName(found), "period doubling");
    located[k++] = found.parameter;
    // Just above and below: the orbit is elliptic on the side of R8/R = 2 and
    // hyperbolic beyond.
    const PhasePoint start = c.steps.front().point;
    for (const double side : {-1.0, 1.0}) {
      const BilliardTable t = buildTable(0.5, found.parameter + side * bifurcationWidth);
      ContinuationRequest nearby = request;
      nearby.from = 2;
      nearby.to = found.parameter + side * bifurcationWidth;
      nearby.count = 9;
      nearby.near = start;
      const Continuation there = continueOrbit(nearby);
      ASSERT_EQ(there.steps.size(), 9u);
      const double trace = there.steps.back().trace;
      if (side > 0) {
        EXPECT_GT(trace, -2) << t.rr;
      } else {
        EXPECT_LT(trace, -2) << t.rr;
      }
    }
  }
  EXPECT_NEAR(located[0], located[1], 2 * bifurcationWidth);
}

// The side orbit of b = 0.5 ends in the corners 3 and 4 where centre4 is as
// low as the bottom corners: centre4.y = -tan(theta / 2), which for b = 0.5
// happens at R8/R = 1 - yBottom / legMidSlope.
TEST(OrbitContinuation, StopsWhereAPointReachesACorner) {
  const BilliardTable t = buildTable(0.5, 2);
  const double atCorner = 1 - t.corner4.y / t.legMidSlope;
  ContinuationRequest request;
  request.parameter = FamilyParameter::rr;
  request.from = 3;
  request.to = 5;
  request.count = 11;
  request.fixed = 0.5;
  request.period = 2;
  request.near = PhasePoint{6.9, 90 * degree};
  const Continuation c = continueOrbit(request);
  ASSERT_NE(c.stopped, "");
  EXPECT_NE(c.stopped.find("corner"), std::string::npos) << c.stopped;
  ASSERT_FALSE(c.steps.empty());
  EXPECT_LE(c.steps.back().parameter, atCorner + 1e-9);
  const double reported = std::stod(c.stopped.substr(c.stopped.rfind('=') + 1));
  EXPECT_NEAR(reported, atCorner, 1e-9) << c.stopped;
}

TEST(OrbitContinuation, SaysSoWhenTheStartIsNoOrbit) {
  ContinuationRequest request;
  request.parameter = FamilyParameter::b;
  request.from = 0.5;
  request.to = 0.6;
  request.count = 3;
  request.fixed = 2;
  request.period = 1;
  request.near = PhasePoint{0.7, 60 * degree};
  const Continuation c = continueOrbit(request);
  EXPECT_TRUE(c.steps.empty());
  EXPECT_NE(c.stopped.find("start guess at b = 0.5"), std::string::npos) << c.stopped;
}

}  // namespace
}  // namespace trapezola
