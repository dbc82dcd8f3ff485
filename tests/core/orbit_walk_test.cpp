// OrbitWalk: the rows of trapezola-cli orbit and the Python module's orbit,
// walked in one step or in many.
#include "core/dynamics/orbit_walk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/geometry/table_geometry.h"

namespace trapezola {
namespace {

std::vector<OrbitRow> walkInSteps(const BilliardTable& table, std::int64_t bounces, std::int64_t every,
                                  std::int64_t step) {
  OrbitWalk walk(table, 0.7, 60, bounces, every);
  std::vector<OrbitRow> rows{walk.startRow()};
  while (!walk.finished()) {
    walk.advance(walk.bouncesDone() + step, [&rows](const OrbitRow& row) {
      rows.push_back(row);
      return true;
    });
  }
  return rows;
}

void expectSameRows(const std::vector<OrbitRow>& a, const std::vector<OrbitRow>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(a[i].bounce, b[i].bounce);
    // Bits: a step boundary must not touch the ball.
    EXPECT_EQ(a[i].s, b[i].s);
    EXPECT_EQ(a[i].phi, b[i].phi);
    EXPECT_EQ(a[i].arc, b[i].arc);
    EXPECT_EQ(a[i].x, b[i].x);
    EXPECT_EQ(a[i].y, b[i].y);
    EXPECT_EQ(a[i].hitDistance, b[i].hitDistance);
  }
}

TEST(OrbitWalk, StepsGiveTheRowsOfOneWalk) {
  const BilliardTable table = buildTable(0.5, 2);
  const std::vector<OrbitRow> whole = walkInSteps(table, 1000, 7, 1000);
  for (const std::int64_t step : {1, 3, 7, 250}) {
    SCOPED_TRACE(step);
    expectSameRows(walkInSteps(table, 1000, 7, step), whole);
  }
}

// Table-driven: the start, every K-th bounce, and the last one when it is no
// multiple of K.
TEST(OrbitWalk, RowsAreTheStartEveryKthAndTheLast) {
  const BilliardTable table = buildTable(0.5, 2);
  struct Case {
    std::int64_t bounces, every;
    std::vector<std::int64_t> numbers;
  };
  for (const Case& c : {Case{10, 4, {0, 4, 8, 10}}, Case{8, 4, {0, 4, 8}}, Case{0, 1, {0}},
                        Case{3, 1, {0, 1, 2, 3}}, Case{5, 100, {0, 5}}}) {
    const std::vector<OrbitRow> rows = walkInSteps(table, c.bounces, c.every, 2);
    std::vector<std::int64_t> numbers;
    for (const OrbitRow& row : rows) numbers.push_back(row.bounce);
    EXPECT_EQ(numbers, c.numbers) << c.bounces << " every " << c.every;
    EXPECT_EQ(orbitRowCount(c.bounces, c.every), static_cast<std::int64_t>(c.numbers.size()));
  }
}

TEST(OrbitWalk, StartRowIsThePlacementAndATakerCanStopTheWalk) {
  const BilliardTable table = buildTable(0.5, 2);
  OrbitWalk walk(table, 0.7 + table.s4, 60, 100, 1);
  EXPECT_EQ(walk.startRow().bounce, 0);
  EXPECT_NEAR(walk.startRow().s, 0.7, 1e-15);  // wrapped once round the perimeter: one rounding of s4
  EXPECT_EQ(walk.startRow().phi, startAngleRadians(60.0));
  EXPECT_EQ(walk.startRow().hitDistance, 0);
  int taken = 0;
  EXPECT_FALSE(walk.advance(100, [&taken](const OrbitRow&) { return ++taken < 3; }));
  EXPECT_EQ(taken, 3);
  EXPECT_EQ(walk.bouncesDone(), 3);
  EXPECT_EQ(walk.leftAt(), 0);
}

// From corner 1 along the tangent, the first search meets the corner's own arc
// 1e-8 away, the second none: trapezola-cli orbit reports bounce 2 too.
TEST(OrbitWalk, AStartAlongTheTangentLeavesTheTableAtBounceTwo) {
  const BilliardTable table = buildTable(0.5, 2);
  OrbitWalk walk(table, 0, 0, 10, 1);
  int rows = 0;
  EXPECT_FALSE(walk.advance(10, [&rows](const OrbitRow&) { return ++rows > 0; }));
  EXPECT_EQ(walk.leftAt(), 2);
  EXPECT_EQ(rows, 1);
  EXPECT_TRUE(walk.finished());
}

// Fault: the start row's phi was acos(cos(angle)), 0 for an angle of 1e-7
// degrees and 15 % low at 1e-6. It is the typed angle in radians now: within
// 2 ulps of degrees x pi / 180 worked in long double (the conversion rounds
// twice, the product with pi and the result), near 0 and 180 degrees too.
TEST(OrbitWalk, TheStartRowsPhiIsTheTypedAngle) {
  const BilliardTable table = buildTable(0.5, 2);
  for (const double degrees : {1e-300, 1e-7, 1e-6, 0.5, 60.0, 90.0, 179.9999999, 180 - 1e-12}) {
    const OrbitWalk walk(table, 0.7, degrees, 0, 1);
    const double phi = walk.startRow().phi;
    const double exact = static_cast<double>(static_cast<long double>(degrees) * 3.14159265358979323846264338327950288L / 180);
    EXPECT_LE(std::fabs(phi - exact), 2 * (std::nextafter(exact, 4.0) - exact)) << degrees << " degrees";
  }
}

// Fault: a start at s4 printed s = s4, and hits at corner 1 printed s a hair
// below 0; the start row and every bounce give s in [0, s4).
TEST(OrbitWalk, EveryRowsSLiesInTheHalfOpenPerimeter) {
  const BilliardTable half = buildTable(0.5, 2);
  EXPECT_EQ(OrbitWalk(half, half.s4, 60, 0, 1).startRow().s, 0.0);
  EXPECT_EQ(std::signbit(OrbitWalk(half, -0.0, 60, 0, 1).startRow().s), false);
  const BilliardTable circle = buildTable(0.5, 1);
  OrbitWalk walk(circle, circle.s4 / 2, 90, 200, 1);
  walk.advance(200, [&circle](const OrbitRow& row) {
    EXPECT_GE(row.s, 0.0) << "bounce " << row.bounce;
    EXPECT_LT(row.s, circle.s4) << "bounce " << row.bounce;
    return true;
  });
  EXPECT_EQ(walk.leftAt(), 0);
}

TEST(PerimeterCoordinate, EverythingLandsInTheHalfOpenPerimeter) {
  const double s4 = 8.0173753548467133;
  const double below = std::nextafter(s4, 0.0);
  struct Case {
    double s, want;
  };
  for (const Case& c : {Case{0.5, 0.5}, Case{0, 0}, Case{-0.0, 0}, Case{s4, 0}, Case{-1.4e-16, 0},
                        Case{below, below}, Case{s4 + 0.25, 0.25}, Case{-0.25, s4 - 0.25}}) {
    const double got = perimeterCoordinateInRange(c.s, s4);
    EXPECT_NEAR(got, c.want, 2e-15) << c.s;
    EXPECT_GE(got, 0.0) << c.s;
    EXPECT_FALSE(std::signbit(got)) << c.s;
    EXPECT_LT(got, s4) << c.s;
  }
  EXPECT_EQ(perimeterCoordinateInRange(below, s4), below);
  EXPECT_TRUE(std::isnan(perimeterCoordinateInRange(std::nan(""), s4)));
}

}  // namespace
}  // namespace trapezola
