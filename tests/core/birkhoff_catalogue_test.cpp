// The Birkhoff catalogue: the circle's closed forms, the invariants every
// listed orbit must satisfy, and the symmetry of a square-cornered table.
#include "core/analysis/birkhoff_catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <set>
#include <utility>
#include <vector>

#include "core/dynamics/orbit_walk.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {
namespace {

double determinant(const Monodromy& m) {
  return m.m11 * m.m22 - m.m12 * m.m21;
}

double phaseDistance(PhasePoint a, PhasePoint b, double s4) {
  return std::hypot(perimeterDifference(a.s, b.s, s4), a.phi - b.phi);
}

// In a circle of radius R every m/n orbit is a regular polygon of length
// 2 n R sin(pi m / n); the table with b = 1, R8/R = 1 is the circle of radius
// sqrt(2) through the corners (+-1, +-1).
TEST(BirkhoffCatalogue, CircleOrbitsAreRegularPolygons) {
  const BilliardTable circle = buildTable(1, 1);
  const double radius = std::sqrt(2.0);
  const std::vector<BirkhoffOrbit> catalogue = birkhoffCatalogue(circle, 7);
  std::set<std::pair<int, int>> seen;
  for (const BirkhoffOrbit& o : catalogue) {
    seen.insert({o.m, o.n});
    EXPECT_EQ(o.kind, BirkhoffKind::max) << o.m << "/" << o.n;
    EXPECT_NEAR(o.orbit.length, 2 * o.n * radius * std::sin(pi * o.m / o.n), 1e-12) << o.m << "/" << o.n;
    EXPECT_NEAR(o.orbit.points[0].phi, pi * o.m / o.n, 1e-12) << o.m << "/" << o.n;
    EXPECT_EQ(o.orbit.orbitClass, OrbitClass::parabolic) << o.m << "/" << o.n;
  }
  // 1/2, 1/3, 1/4, 1/5, 2/5, 1/6, 1/7, 2/7, 3/7: one family each.
  EXPECT_EQ(seen.size(), 9u);
  EXPECT_EQ(catalogue.size(), 9u);
}

class CatalogueInvariants : public ::testing::TestWithParam<std::pair<double, double>> {};

TEST_P(CatalogueInvariants, EveryOrbitIsAClosedOrbitOfItsKind) {
  const auto [b, rr] = GetParam();
  const BilliardTable table = buildTable(b, rr);
  const int maxPeriod = 7;
  const std::vector<BirkhoffOrbit> catalogue = birkhoffCatalogue(table, maxPeriod);
  std::set<std::pair<int, int>> rotationNumbers;
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    const BirkhoffOrbit& row = catalogue[i];
    const PeriodicOrbitSolution& o = row.orbit;
    SCOPED_TRACE(::testing::Message()
                 << row.m << "/" << row.n << " " << birkhoffKindName(row.kind) << " at s " << o.points[0].s);
    rotationNumbers.insert({row.m, row.n});
    EXPECT_EQ(std::gcd(row.m, row.n), 1);
    EXPECT_LE(2 * row.m, row.n);
    ASSERT_TRUE(o.converged);
    EXPECT_EQ(o.turns, row.m);
    ASSERT_EQ(o.points.size(), static_cast<std::size_t>(row.n));
    PeriodMap map;
    ASSERT_TRUE(evaluatePeriodMap(table, row.n, o.points[0], map));
    EXPECT_EQ(map.residual, o.residual);
    EXPECT_LE(o.residual, residualTolerance(row.n, map.jacobian));
    for (const PhasePoint& p : o.points) EXPECT_GE(p.s, o.points[0].s);
    // Every product of bounce matrices has determinant 1; its rounding grows
    // with the squares of the entries.
    const double size = std::fabs(o.monodromy.m11) + std::fabs(o.monodromy.m12) + std::fabs(o.monodromy.m21) +
                        std::fabs(o.monodromy.m22);
    EXPECT_NEAR(determinant(o.monodromy), 1, 1e-13 * size * size);
    // Twist maps: a maximum of the length has trace >= 2, a mountain pass
    // trace <= 2 (the sign of 2 - trace is that of the Hessian's determinant).
    if (row.kind == BirkhoffKind::max) {
      EXPECT_GE(o.trace, 2 - o.traceBound);
    } else {
      EXPECT_LE(o.trace, 2 + o.traceBound);
    }
    // The points come back under the orbit command's walk, started from the
    // first point with its angle in degrees: to 1e-12, and beyond that by the
    // ulp or two the conversion to degrees and back costs, which the orbit's
    // instability (its monodromy's entries) multiplies.
    OrbitWalk walk(table, o.points[0].s, o.points[0].phi / pi * 180, row.n, 1);
    std::vector<PhasePoint> walked{PhasePoint{walk.startRow().s, walk.startRow().phi}};
    walk.advance(row.n, [&](const OrbitRow& r) {
      walked.push_back(PhasePoint{r.s, r.phi});
      return true;
    });
    ASSERT_EQ(walked.size(), static_cast<std::size_t>(row.n) + 1);
    for (int k = 0; k <= row.n; ++k) {
      EXPECT_LE(phaseDistance(walked[static_cast<std::size_t>(k)],
                              o.points[static_cast<std::size_t>(k % row.n)], table.s4),
                1e-12 + 4e-16 * size)
          << "bounce " << k;
    }
    // Each orbit once: no point of a later orbit of the same m/n lies on it.
    for (std::size_t j = i + 1; j < catalogue.size(); ++j) {
      if (catalogue[j].m != row.m || catalogue[j].n != row.n) continue;
      for (const PhasePoint& p : catalogue[j].orbit.points) {
        EXPECT_GT(phaseDistance(p, o.points[0], table.s4), 1e-6) << "again in row " << j;
      }
    }
  }
  // Birkhoff: every coprime m/n up to the period has orbits (the 9 from 1/2
  // to 3/7).
  EXPECT_EQ(rotationNumbers.size(), 9u);
}

INSTANTIATE_TEST_SUITE_P(Tables, CatalogueInvariants,
                         ::testing::Values(std::pair{0.5, 2.0}, std::pair{0.3, 5.0}, std::pair{0.9, 1.2},
                                           std::pair{1.0, 2.0}));

// The table with b = 1 has the square's mirror lines x = 0 and y = 0. A mirror
// image of an orbit, run backwards to keep the counter-clockwise sense, is the
// orbit of the same m/n with points (c - s, phi): c = s1 for x = 0, c = s1/2 +
// (s2 + s3)/2 for y = 0. It must be in the catalogue, with the same kind and
// length (or be the orbit itself).
TEST(BirkhoffCatalogue, SquareCorneredTableListsMirrorImages) {
  const BilliardTable table = buildTable(1, 2);
  const std::vector<BirkhoffOrbit> catalogue = birkhoffCatalogue(table, 6);
  int mirrorPairs = 0;
  for (const double centre : {table.s1, 0.5 * table.s1 + 0.5 * (table.s2 + table.s3)}) {
    for (const BirkhoffOrbit& row : catalogue) {
      const PhasePoint image{wrappedPerimeterCoordinate(centre - row.orbit.points[0].s, table.s4),
                             row.orbit.points[0].phi};
      const BirkhoffOrbit* found = nullptr;
      bool itself = false;
      for (const BirkhoffOrbit& other : catalogue) {
        if (other.m != row.m || other.n != row.n) continue;
        for (const PhasePoint& p : other.orbit.points) {
          if (phaseDistance(p, image, table.s4) < 1e-9) {
            found = &other;
            itself = &other == &row;
          }
        }
      }
      ASSERT_NE(found, nullptr) << row.m << "/" << row.n << " at s " << row.orbit.points[0].s;
      EXPECT_EQ(found->kind, row.kind);
      EXPECT_NEAR(found->orbit.length, row.orbit.length, 1e-12);
      if (!itself) ++mirrorPairs;
    }
  }
  EXPECT_GT(mirrorPairs, 0);
}

}  // namespace
}  // namespace trapezola
