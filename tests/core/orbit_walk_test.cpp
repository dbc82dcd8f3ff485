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
  EXPECT_EQ(walk.startRow().phi, std::acos(std::cos(startAngleRadians(60.0))));
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

}  // namespace
}  // namespace trapezola
