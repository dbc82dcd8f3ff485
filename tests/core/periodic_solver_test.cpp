// Newton on the n-fold bounce map: closed-form orbits, the Jacobian it uses,
// and its agreement with the periodic orbit analysis.
#include "core/analysis/periodic_solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "core/analysis/periodic_orbit.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {
namespace {

constexpr double degree = pi / 180;

// A two-bounce orbit along the line through two arc centres: it meets both
// arcs at right angles. Its trace is 4 (1 - L/R1)(1 - L/R2) - 2 for free path
// L between arcs of radii R1 and R2.
struct TwoBounceOrbit {
  double s1 = 0, s2 = 0;  // the two points' perimeter coordinates
  double freePath = 0;
  double radius1 = 0, radius2 = 0;
  double trace() const { return 4 * (1 - freePath / radius1) * (1 - freePath / radius2) - 2; }
};

// Between the midpoints of the top and bottom arcs, on the axis x = 0.
TwoBounceOrbit verticalOrbit(const BilliardTable& t) {
  const double top = t.centre1.y + t.radiusTop;
  const double bottom = t.centre3.y - t.radiusBottom;
  return {t.delta * t.radiusTop, t.s2 + t.halfAngleBottom * t.radiusBottom, top - bottom, t.radiusTop,
          t.radiusBottom};
}

// Between the side arcs, on the line y = centre4.y through both centres; on
// arc 4 the point at angle sideTilt from its midpoint, on arc 2 its mirror image.
TwoBounceOrbit horizontalOrbit(const BilliardTable& t) {
  const double right = t.s3 + (t.halfAngleSide - t.sideTilt) * t.radiusSide;
  const double left = t.s1 + (t.halfAngleSide + t.sideTilt) * t.radiusSide;
  return {right, left, 2 * (t.radiusSide + t.centre4.x), t.radiusSide, t.radiusSide};
}

struct ClosedFormCase {
  double b, rr;
  bool horizontal;
};

std::string caseName(const ::testing::TestParamInfo<ClosedFormCase>& info) {
  const ClosedFormCase& c = info.param;
  std::string name =
      (c.horizontal ? "Side_b" : "TopBottom_b") + std::to_string(c.b) + "_rr" + std::to_string(c.rr);
  for (char& ch : name) {
    if (ch == '.') ch = '_';
  }
  return name;
}

class TwoBounceClosedForm : public ::testing::TestWithParam<ClosedFormCase> {};

TEST_P(TwoBounceClosedForm, NewtonFindsTheOrbitFromARoughGuess) {
  const ClosedFormCase c = GetParam();
  const BilliardTable table = buildTable(c.b, c.rr);
  const TwoBounceOrbit exact = c.horizontal ? horizontalOrbit(table) : verticalOrbit(table);
  const PeriodicOrbitSolution o = solvePeriodicOrbit(table, 2, PhasePoint{exact.s1 + 0.05, 84 * degree});
  ASSERT_TRUE(o.converged);
  EXPECT_EQ(o.turns, 1);
  ASSERT_EQ(o.points.size(), 2u);
  EXPECT_NEAR(o.points[0].s, exact.s1, 1e-12);
  EXPECT_NEAR(o.points[1].s, exact.s2, 1e-12);
  EXPECT_NEAR(o.points[0].phi, pi / 2, 1e-12);
  EXPECT_NEAR(o.points[1].phi, pi / 2, 1e-12);
  EXPECT_NEAR(o.length, 2 * exact.freePath, 1e-12);
  EXPECT_LE(o.residual, 1e-14);
  // The trace's sensitivity to the rounding of L grows with its size: a
  // relative 1e-12 on top of the analysis's bound.
  EXPECT_NEAR(o.trace, exact.trace(), 1e-12 * std::fabs(exact.trace()) + o.traceBound);
  EXPECT_NEAR(o.monodromy.m11 * o.monodromy.m22 - o.monodromy.m12 * o.monodromy.m21, 1, 1e-12);
}

// The horizontal orbit exists where the horizontal through centre4 meets arc 4
// between its corners: |sideTilt| < halfAngleSide.
INSTANTIATE_TEST_SUITE_P(Tables, TwoBounceClosedForm,
                         ::testing::Values(ClosedFormCase{0.5, 2, false}, ClosedFormCase{0.1, 4, false},
                                           ClosedFormCase{1, 1.5, false}, ClosedFormCase{0.5, 2, true},
                                           ClosedFormCase{0.7, 6, true}, ClosedFormCase{1, 10, true},
                                           ClosedFormCase{0.3, 1.5, true}),
                         caseName);

// Central differences of F^n against the Jacobian that Newton uses, at points
// that are not periodic, for odd and even n: a wrong sign of (-1)^n or a wrong
// conversion between (theta, y) and (s, phi) shows at once.
TEST(PeriodicSolver, JacobianMatchesFiniteDifferences) {
  const BilliardTable table = buildTable(0.5, 2);
  const double h = 1e-7;
  for (const int n : {1, 2, 3, 4}) {
    for (const PhasePoint x : {PhasePoint{0.7, 60 * degree}, PhasePoint{4.5, 100 * degree}}) {
      PeriodMap at, plus, minus;
      ASSERT_TRUE(evaluatePeriodMap(table, n, x, at));
      double fd[2][2];
      for (int column = 0; column < 2; ++column) {
        const PhasePoint xp{x.s + (column == 0 ? h : 0), x.phi + (column == 1 ? h : 0)};
        const PhasePoint xm{x.s - (column == 0 ? h : 0), x.phi - (column == 1 ? h : 0)};
        ASSERT_TRUE(evaluatePeriodMap(table, n, xp, plus));
        ASSERT_TRUE(evaluatePeriodMap(table, n, xm, minus));
        fd[0][column] = perimeterDifference(minus.end.s, plus.end.s, table.s4) / (2 * h);
        fd[1][column] = (plus.end.phi - minus.end.phi) / (2 * h);
      }
      const double j[2][2] = {{at.jacobian.m11, at.jacobian.m12}, {at.jacobian.m21, at.jacobian.m22}};
      for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
          // Truncation h^2 |F'''| and rounding eps / h: about 1e-6 relative.
          EXPECT_NEAR(j[r][c], fd[r][c], 1e-5 * (1 + std::fabs(fd[r][c])))
              << "n " << n << " entry " << r << c;
        }
      }
    }
  }
}

// The solver's product is the one the right-click analysis multiplies, bit for
// bit, times (-1)^n; for an odd period the analysis's trace has the other sign.
TEST(PeriodicSolver, MonodromyIsTheAnalysisProduct) {
  const BilliardTable table = buildTable(0.5, 2);
  for (const int n : {2, 3, 5}) {
    const PeriodicOrbitSolution o =
        solvePeriodicOrbit(table, n, PhasePoint{0.56, (n == 2 ? 88 : 60) * degree});
    ASSERT_TRUE(o.converged) << n;
    Ball ball;
    const PeriodicOrbitAnalysis a =
        analysePeriodicOrbit(table, ball, o.points[0].s, o.points[0].phi, 0.05, std::optional<int>(n));
    const double sign = n % 2 == 0 ? 1 : -1;
    EXPECT_EQ(o.monodromy.m11, sign * a.monodromy.m11) << n;
    EXPECT_EQ(o.monodromy.m12, sign * a.monodromy.m12) << n;
    EXPECT_EQ(o.monodromy.m21, sign * a.monodromy.m21) << n;
    EXPECT_EQ(o.monodromy.m22, sign * a.monodromy.m22) << n;
    EXPECT_EQ(o.traceBound, a.traceBound) << n;
    EXPECT_EQ(o.orbitClass, a.orbitClass) << n;
  }
}

TEST(PeriodicSolver, FirstPointIsTheOneNearestTheGuess) {
  const BilliardTable table = buildTable(0.5, 2);
  const TwoBounceOrbit exact = verticalOrbit(table);
  // Newton from near the top point, then the guess moved near the bottom one.
  const PeriodicOrbitSolution top = solvePeriodicOrbit(table, 2, PhasePoint{exact.s1 + 0.01, 89 * degree});
  const PeriodicOrbitSolution bottom = solvePeriodicOrbit(table, 2, PhasePoint{exact.s2 - 0.01, 91 * degree});
  ASSERT_TRUE(top.converged && bottom.converged);
  EXPECT_NEAR(top.points[0].s, exact.s1, 1e-12);
  EXPECT_NEAR(bottom.points[0].s, exact.s2, 1e-12);
  EXPECT_NEAR(bottom.points[1].s, exact.s1, 1e-12);
  EXPECT_EQ(top.trace, top.monodromy.m11 + top.monodromy.m22);
}

TEST(PeriodicSolver, ReportsWhatItCannotFind) {
  const BilliardTable table = buildTable(0.5, 2);
  // No billiard orbit closes after one bounce.
  const PeriodicOrbitSolution one = solvePeriodicOrbit(table, 1, PhasePoint{0.7, 60 * degree});
  EXPECT_FALSE(one.converged);
  EXPECT_GT(one.residual, periodicResidualTolerance);
  EXPECT_TRUE(one.points.empty());
  // A period the solver does not take.
  EXPECT_FALSE(solvePeriodicOrbit(table, 0, PhasePoint{0.7, 60 * degree}).converged);
}

// In a circle every orbit is periodic: DF^n - I is singular, and the
// least-squares step still closes the orbit.
TEST(PeriodicSolver, ClosesACircleOrbitWhereNewtonsMatrixIsSingular) {
  const BilliardTable circle = buildTable(1, 1);
  const PeriodicOrbitSolution o = solvePeriodicOrbit(circle, 3, PhasePoint{0.7, 59 * degree});
  ASSERT_TRUE(o.converged);
  EXPECT_NEAR(o.points[0].phi, 60 * degree, 1e-12);
  EXPECT_EQ(o.orbitClass, OrbitClass::parabolic);
  // The circle's radius is sqrt(2): an equilateral triangle of side sqrt(6).
  EXPECT_NEAR(o.length, 3 * std::sqrt(6.0), 1e-12);
}

}  // namespace
}  // namespace trapezola
