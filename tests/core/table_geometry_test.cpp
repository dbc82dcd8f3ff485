// Table construction against the worked tables, and the phase window's sMax rule.
#include "core/geometry/table_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>

#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "tests/explorer_test_support.h"

namespace trapezola {
namespace {

// The reference figures are printed with 6 decimals (shortened, not rounded), so
// any value within 1e-6 agrees with them.
constexpr double printed = 1e-6;
constexpr double degree = pi / 180;

struct TableCase {
  double b, rr;
  double height, thetaDeg, yTop, yBot, legMidSlope;
  TablePoint centre1, centre2, centre3, centre4;
  double radiusTop, radiusSide, radiusBottom;
  double deltaDeg, halfAngleSideDeg, halfAngleBottomDeg;
  double s1, s2, s3, s4;
};

const TableCase tables[] = {
    {1,        2,        2,        90,      1,       -1,      0,       {0, 0.5}, {1, 0},   {0, -0.5}, {-1, 0},
     1.118034, 2.236068, 1.118034, 63.4349, 26.5651, 63.4349, 2.47566, 4.549155, 7.024815, 9.09831},
    {0.5,
     2,
     1.936492,
     75.5225,
     1.161895,
     -0.774597,
     0.258199,
     {0, 0.68853},
     {1, -0.258199},
     {0, -0.516398},
     {-1, -0.258199},
     0.68853,
     2.065591,
     1.032796,
     46.5675,
     28.9550,
     75.5225,
     1.119214,
     3.20695,
     5.929639,
     8.017375},
    {0.5,     1,       1.936492, 75.5225,  1.161895, -0.774597, 0.258199,
     {0, 0},  {0, 0},  {0, 0},   {0, 0},   1.264911, 1.264911,  1.264911,
     23.2837, 52.2388, 52.2388,  1.028064, 3.334599, 5.641135,  7.947671},
    {1,
     1,
     2,
     90,
     1,
     -1,
     0,
     {0, 0},
     {0, 0},
     {0, 0},
     {0, 0},
     std::sqrt(2.0),
     std::sqrt(2.0),
     std::sqrt(2.0),
     45,
     45,
     45,
     2.221441,
     4.442883,
     6.664324,
     8.885766},
};

void PrintTo(const TableCase& c, std::ostream* os) {
  *os << "b=" << c.b << " rr=" << c.rr;
}

class TableGeometryExamples : public ::testing::TestWithParam<TableCase> {};

TEST_P(TableGeometryExamples, MatchesTheWorkedTable) {
  Explorer ex;
  const TableCase& c = GetParam();
  buildGeometry(ex, c.b, c.rr);
  const BilliardTable& g = ex.table;
  // Angles are printed with 4 decimals of a degree.
  const double angle = 1e-4 * degree;
  EXPECT_NEAR(g.height, c.height, printed);
  EXPECT_NEAR(g.theta, c.thetaDeg * degree, angle);
  EXPECT_NEAR(g.corner1.y, c.yTop, printed);
  EXPECT_NEAR(g.corner2.y, c.yTop, printed);
  EXPECT_NEAR(g.corner3.y, c.yBot, printed);
  EXPECT_NEAR(g.corner4.y, c.yBot, printed);
  EXPECT_EQ(g.corner1.x, c.b);
  EXPECT_EQ(g.corner2.x, -c.b);
  EXPECT_EQ(g.corner3.x, -1.0);
  EXPECT_EQ(g.corner4.x, 1.0);
  EXPECT_NEAR(g.legMidSlope, c.legMidSlope, printed);
  const TablePoint got[] = {g.centre1, g.centre2, g.centre3, g.centre4};
  const TablePoint want[] = {c.centre1, c.centre2, c.centre3, c.centre4};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(got[i].x, want[i].x, printed) << "centre" << i + 1;
    EXPECT_NEAR(got[i].y, want[i].y, printed) << "centre" << i + 1;
  }
  EXPECT_NEAR(g.radiusTop, c.radiusTop, printed);
  EXPECT_NEAR(g.radiusSide, c.radiusSide, printed);
  EXPECT_NEAR(g.radiusBottom, c.radiusBottom, printed);
  EXPECT_NEAR(g.delta, c.deltaDeg * degree, angle);
  EXPECT_NEAR(g.halfAngleSide, c.halfAngleSideDeg * degree, angle);
  EXPECT_NEAR(g.halfAngleBottom, c.halfAngleBottomDeg * degree, angle);
  EXPECT_NEAR(g.s1, c.s1, printed);
  EXPECT_NEAR(g.s2, c.s2, printed);
  EXPECT_NEAR(g.s3, c.s3, printed);
  EXPECT_NEAR(g.s4, c.s4, printed);
  // The four arcs together turn the tangent once around.
  EXPECT_NEAR(2 * g.delta + 4 * g.halfAngleSide + 2 * g.halfAngleBottom, 2 * pi, 1e-12);
  EXPECT_NEAR(g.radiusSide / g.radiusBottom, c.rr, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(WorkedTables, TableGeometryExamples, ::testing::ValuesIn(tables));

TEST(WindowTable, ShapeExtremes) {
  Explorer ex;
  // Flattened sides: the side arcs become nearly straight.
  buildGeometry(ex, 1, 20);
  EXPECT_NEAR(ex.table.halfAngleSide / degree, 2.9, 0.05);
  // Small b with large rr: the bottom arc opens beyond 90 degrees, so its ends
  // rise above its centre.
  buildGeometry(ex, 0.2, 5);
  EXPECT_NEAR(ex.table.halfAngleBottom / degree, 102.31, 0.005);
  EXPECT_NEAR(ex.table.centre3.y, -0.872872, printed);
  EXPECT_GT(ex.table.corner3.y, ex.table.centre3.y);
}

TEST(WindowTable, BuildDoesNotTouchSideTilt) {
  Explorer ex;
  ex.table.sideTilt = 0.125;
  buildGeometry(ex, 0.5, 2);
  EXPECT_EQ(ex.table.sideTilt, 0.125);
}

TEST(WindowTable, SMaxIsLoweredToThePerimeterAndNeverRaised) {
  Explorer ex;
  ex.window.sMax = 13.0;
  buildGeometry(ex, 1, 2);
  EXPECT_NEAR(ex.window.sMax, 9.09831, printed);
  EXPECT_EQ(ex.window.sMax, ex.table.s4);
  buildGeometry(ex, 1, 1);  // perimeter 8.885766: lowered again
  EXPECT_EQ(ex.window.sMax, ex.table.s4);
  const double lowered = ex.window.sMax;
  buildGeometry(ex, 0.5, 2);  // 8.017375 < 8.885766
  buildGeometry(ex, 1, 2);    // a larger table leaves it alone
  EXPECT_LT(ex.window.sMax, ex.table.s4);
  EXPECT_LE(ex.window.sMax, lowered);
  ex.window = PhaseWindowRecord{};
}

TEST(WindowTable, SetupTableTakesTheRunValues) {
  Explorer ex;
  setupTable(ex, 0.5, 2, 0.7, 60, 7);
  EXPECT_EQ(ex.ball.startS, 0.7);
  EXPECT_NEAR(ex.ball.cosPhi, 0.5, 1e-15);
  EXPECT_EQ(ex.repeatCount, 7);
  setupTable(ex, 0.5, 2, 0.7, 90, 1);
  EXPECT_NEAR(ex.ball.cosPhi, 0, 1e-16);
  setupTable(ex, 0.5, 2, 0.7, 180, 1);
  EXPECT_EQ(ex.ball.cosPhi, -1);
  ex.window = PhaseWindowRecord{};
}

TEST(WindowTable, OutOfRangeParametersGiveNonFiniteNumbersWithoutTrapping) {
  Explorer ex;
  buildGeometry(ex, 0, 2);  // divides by zero in the top centre
  EXPECT_FALSE(std::isfinite(ex.table.centre1.y));
  buildGeometry(ex, 0.5, 0.5);  // 1 - rr equals b
  EXPECT_FALSE(std::isfinite(ex.table.s4));
  ex.window = PhaseWindowRecord{};
}

// A table value is the window's table as "go" builds and launches it, and
// building one leaves the window's value alone.
TEST(WindowTable, TableValueIsTheLaunchedTableAndTouchesNothingElse) {
  Explorer ex;
  for (const auto& [b, rr] : {std::pair{0.5, 2.0}, {1.0, 1.0}, {0.2, 5.0}}) {
    ex.window = PhaseWindowRecord{};
    ex.table = BilliardTable{};
    const BilliardTable table = buildTable(b, rr);
    EXPECT_EQ(ex.window.sMax, 13.0);
    EXPECT_EQ(ex.table.s4, 0);

    setupTable(ex, b, rr, 0.7, 60, 1);
    launch(ex);
    const BilliardTable& record = ex.table;
    // Every field is a double or a pair of doubles: compare them all, bit for bit.
    EXPECT_EQ(std::memcmp(&table, &record, sizeof table), 0) << b << ", " << rr;
    EXPECT_EQ(table.sideTilt, pi * 0.5 - table.theta);
  }
  ex.window = PhaseWindowRecord{};
  ex.table = BilliardTable{};
}

}  // namespace
}  // namespace trapezola
