// The precision horizon against answers known without it: a circle's orbits
// stay close to their extended-precision shadows for a long time, a chaotic
// orbit's drift grows like e^(lambda n) from the rounding of its start.
#include "core/analysis/precision_horizon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/analysis/lgtr_series.h"
#include "core/analysis/periodic_orbit.h"
#include "core/dynamics/bounce.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {
namespace {

TEST(PhaseDrift, MeasuresSRoundThePerimeter) {
  EXPECT_NEAR(phaseDrift(0.1, 1.0, 7.9L, 1.0L, 8.0L), 0.2, 1e-15);
  EXPECT_NEAR(phaseDrift(8.0, 1.0, 0.0L, 1.0L, 8.0L), 0, 1e-15);
  EXPECT_NEAR(phaseDrift(3.0, 1.0, 3.0L, 1.25L, 8.0L), 0.25, 1e-15);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(std::isinf(phaseDrift(nan, 1.0, 3.0L, 1.0L, 8.0L)));
  EXPECT_TRUE(std::isinf(phaseDrift(3.0, nan, 3.0L, 1.0L, 8.0L)));
}

// The double orbit of a shadowed run is the plain run's, bit for bit: the
// shadow only watches it.
TEST(ShadowedOrbit, LeavesTheDoubleOrbitAlone) {
  ShadowedOrbit shadowed(0.5, 2, 0.7, 60);
  const BilliardTable table = buildTable(0.5, 2);
  Ball ball;
  EXPECT_EQ(shadowed.startS(), launch(table, ball, 0.7, std::cos(startAngleRadians(60))));
  for (int n = 1; n <= 500; ++n) {
    ASSERT_EQ(shadowed.bounce(), bounce(table, ball));
    ASSERT_EQ(shadowed.ball().s, ball.s) << n;
    ASSERT_EQ(shadowed.ball().phi, ball.phi) << n;
    ASSERT_EQ(shadowed.ball().x, ball.x) << n;
  }
}

// The extended path is the double one in another type: its first bounces agree
// with the double's to the double's rounding, never only roughly.
TEST(ShadowedOrbit, ExtendedTableAndBounceAgreeWithTheDoubleOnes) {
  const BilliardTable d = buildTable(0.3, 5);
  const BasicTable<long double> e = buildTable<long double>(0.3, 5);
  EXPECT_NEAR(static_cast<double>(e.s4), d.s4, 1e-14);
  EXPECT_NEAR(static_cast<double>(e.radiusTop), d.radiusTop, 1e-14);
  EXPECT_NEAR(static_cast<double>(e.centre1.y), d.centre1.y, 1e-14);
  ShadowedOrbit orbit(0.3, 5, 2.2, 75);
  EXPECT_LT(orbit.drift(), 1e-15);
  orbit.bounce();
  EXPECT_LT(orbit.drift(), 1e-14);
}

// A start along the tangent leaves the table at once: the drift is infinite
// from there on, and nothing of the orbit is trusted.
TEST(ShadowedOrbit, OrbitThatLeavesTheTableIsNotTrusted) {
  ShadowedOrbit orbit(0.5, 2, 0.7, 1e-300);
  EXPECT_NE(orbit.bounce(), BounceStatus::ok);
  EXPECT_TRUE(std::isinf(orbit.drift()));
  orbit.bounce();
  EXPECT_TRUE(std::isinf(orbit.drift()));
  EXPECT_EQ(trustedBounces(0.5, 2, 0.7, 1e-300, 1e-9, 100), 0);
}

// In a circle the angle is constant and s advances evenly, so only rounding
// moves the orbit: the direction's rounding walks like eps sqrt(n), which
// moves s like eps n^1.5. At 1e-9 that takes some 10^4 bounces; at 1e-7 beyond
// 10^5 (measured: at least 1.6e4 and 2.5e5 over 15 starts).
TEST(PrecisionHorizon, CircleKeepsALongHorizon) {
  for (const double angle : {20.0, 77.7, 133.0}) {
    EXPECT_GE(trustedBounces(1, 1, 0.7, angle, 1e-9, 10000), 10000) << angle;
    EXPECT_EQ(trustedBounces(1, 1, 0.7, angle, 1e-7, 100000), 100000) << angle;
  }
}

// The finite-time Lyapunov exponent per bounce from the slope of the lg(Tr)
// series, as the Lyapunov window fits it.
double lyapunovExponent(double b, double rr) {
  const BilliardTable table = buildTable(b, rr);
  Ball ball;
  launch(table, ball, 0.7, std::cos(startAngleRadians(60)));
  const BallPose start = poseOf(ball);
  const int blockSize = 500;
  const int blocks = 200;
  std::vector<double> values;
  runLgTrSeries(table, ball, start, blockSize, blocks, [&](int, double v) { values.push_back(v); });
  return (values.back() - values.front()) / ((blocks - 1) * blockSize);
}

// A chaotic orbit's drift starts near the rounding of its start (1e-16) and
// grows like e^(lambda n), so it passes the tolerance after about
// ln(tolerance / 1e-16) / lambda bounces. The median over starts spread over
// the table must be within a factor 1.5 of that (measured: 0.74 to 1.28).
TEST(PrecisionHorizon, ChaoticHorizonFollowsTheLyapunovExponent) {
  struct Table {
    double b, rr;
  };
  for (const Table t : {Table{0.5, 2}, Table{0.3, 5}, Table{0.1, 3}}) {
    const double lambda = lyapunovExponent(t.b, t.rr);
    ASSERT_GT(lambda, 0.2);
    const double predicted = std::log(1e-9 / 1e-16) / lambda;
    std::vector<std::int64_t> horizons;
    for (int i = 0; i < 15; ++i) {
      horizons.push_back(trustedBounces(t.b, t.rr, 0.3 + 0.41 * i, 20 + 9.7 * i, 1e-9, 100000));
    }
    std::nth_element(horizons.begin(), horizons.begin() + 7, horizons.end());
    const double median = static_cast<double>(horizons[7]);
    EXPECT_GT(median, predicted / 1.5) << t.b << " " << t.rr << ": lambda " << lambda;
    EXPECT_LT(median, predicted * 1.5) << t.b << " " << t.rr << ": lambda " << lambda;
    // A looser tolerance is reached later, by ln(100) / lambda bounces.
    EXPECT_GT(trustedBounces(t.b, t.rr, 0.7, 60, 1e-7, 100000),
              trustedBounces(t.b, t.rr, 0.7, 60, 1e-9, 100000));
  }
}

// Inside the range the command-line tool accepts, every corner lies on both
// its arcs to 1e-8 of their radii; just beyond it, that fails.
TEST(TableRange, CornersLieOnTheirArcsInsideTheAcceptedRange) {
  const auto worstCornerError = [](double b, double rr) {
    const BilliardTable g = buildTable(b, rr);
    const auto off = [](TablePoint p, TablePoint c, double r) {
      return std::fabs(std::hypot(p.x - c.x, p.y - c.y) - r) / r;
    };
    return std::max({off(g.corner1, g.centre1, g.radiusTop), off(g.corner2, g.centre1, g.radiusTop),
                     off(g.corner1, g.centre4, g.radiusSide), off(g.corner4, g.centre4, g.radiusSide),
                     off(g.corner3, g.centre3, g.radiusBottom), off(g.corner4, g.centre3, g.radiusBottom)});
  };
  for (double b = minimumB; b <= 1; b *= 1.7) {
    for (double rr = 1; rr <= maximumRr; rr *= 2.3) {
      ASSERT_TRUE(tableParametersValid(b, rr));
      const BilliardTable g = buildTable(b, rr);
      EXPECT_GT(g.radiusTop, 0) << b << " " << rr;
      EXPECT_GT(g.halfAngleSide, 0) << b << " " << rr;
      EXPECT_LT(g.s3, g.s4) << b << " " << rr;
      EXPECT_LT(worstCornerError(b, rr), 1e-8) << b << " " << rr;
    }
  }
  EXPECT_FALSE(tableParametersValid(minimumB / 2, 2));
  EXPECT_FALSE(tableParametersValid(0.5, maximumRr * 2));
  EXPECT_GT(worstCornerError(1e-6, 1), 1e-6);
}

}  // namespace
}  // namespace trapezola
