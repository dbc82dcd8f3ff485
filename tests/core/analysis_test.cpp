// Periodic-orbit analysis, the lg(Tr) series, its data file and the linear fit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/analysis/lgtr_data_file.h"
#include "core/analysis/lgtr_series.h"
#include "core/analysis/lyapunov_fit.h"
#include "core/analysis/monodromy.h"
#include "core/analysis/periodic_orbit.h"
#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/window_geometry.h"
#include "tests/explorer_test_support.h"

namespace trapezola {
namespace {

// Builds the table and sets sideTilt the way a launch does, which the pointer
// read-out has always done before an analysis.
void useTable(Explorer& ex, double b, double rr) {
  setupTable(ex, b, rr, 0, 90, 1);
  launch(ex);
}

double determinant(const Monodromy& m) {
  return m.m11 * m.m22 - m.m12 * m.m21;
}

const double sixtyDegrees = pi / 3;
// The sensitivity slider's default position, -50.
const double defaultEpsilon = 0.05;

// ---------------------------------------------------------------------------
// Bounce matrix and classification

TEST(BounceMatrix, UsesTheEntriesFromBeforeTheBounce) {
  // phi = pi/2 makes f = R exactly, so B = (1 - 2L/R, -2/R; L, 1) = (0, -1; 1, 1).
  Monodromy m{1, 2, 3, 4};
  applyBounceMatrix(m, 1, 2, pi / 2);
  EXPECT_EQ(m.m11, -3);
  EXPECT_EQ(m.m12, -4);
  EXPECT_EQ(m.m21, 4);
  EXPECT_EQ(m.m22, 6);
}

TEST(BounceMatrix, KeepsTheDeterminantAtOne) {
  struct Bounce {
    double freePath, radius, phi;
  };
  const std::array<Bounce, 4> bounces{
      {{2.4, 1.41, 1.0}, {0.3, 2.2, 0.2}, {1.7, 1.03, 2.9}, {0.05, 0.69, 3.1}}};
  Monodromy m;
  for (const Bounce& b : bounces) {
    applyBounceMatrix(m, b.freePath, b.radius, b.phi);
    // Entries grow to about 1e3 here; the products cancel to 1 within a few
    // hundred ulps of the entries.
    EXPECT_NEAR(determinant(m), 1, 1e-9);
  }
}

TEST(OrbitClass, FollowsTheTrace) {
  struct Case {
    double trace;
    const char* word;
  };
  const std::array<Case, 7> cases{{{2, "parabolic"},
                                   {-2, "parabolic"},
                                   {std::nextafter(2.0, 3.0), "hiperbolic"},
                                   {-7.5, "hiperbolic"},
                                   {std::nextafter(2.0, 0.0), "elliptic"},
                                   {0, "elliptic"},
                                   {-1.99, "elliptic"}}};
  for (const Case& c : cases) {
    EXPECT_STREQ(orbitClassName(classifyTrace(c.trace)), c.word) << c.trace;
  }
}

TEST(OrbitClass, AllowsTheRoundingBound) {
  EXPECT_EQ(classifyTrace(2.0000001, 1e-6), OrbitClass::parabolic);
  EXPECT_EQ(classifyTrace(-1.9999999, 1e-6), OrbitClass::parabolic);
  EXPECT_EQ(classifyTrace(2.01, 1e-6), OrbitClass::hiperbolic);
  EXPECT_EQ(classifyTrace(-1.99, 1e-6), OrbitClass::elliptic);
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(classifyTrace(-inf, 1e-6), OrbitClass::hiperbolic);
  EXPECT_EQ(classifyTrace(inf, inf), OrbitClass::hiperbolic);
}

// Every orbit of a circle (R8/R = 1, any b) is parabolic: its n-bounce monodromy
// is +-(I + nN) with trace exactly +-2. Rounding used to call about half of them
// hiperbolic or elliptic. A table 1e-7 away from a circle is not parabolic.
TEST(OrbitClass, CircleOrbitsAreParabolicAndNearCirclesAreNot) {
  for (const double b : {1.0, 0.4}) {
    const BilliardTable circle = buildTable(b, 1);
    for (const double degrees : {0.001, 0.3, 7.0, 45.0, 60.0, 90.0, 133.0, 179.9}) {
      for (const int period : {1, 2, 3, 30, 999, 5000}) {
        Ball ball;
        const PeriodicOrbitAnalysis a =
            analysePeriodicOrbit(circle, ball, 1.3, degrees * pi / 180, defaultEpsilon, period);
        ASSERT_TRUE(a.hasClass) << "b " << b << ", " << degrees << " degrees, period " << period << ", trace "
                                << a.trace << " bound " << a.traceBound;
        EXPECT_EQ(a.orbitClass, OrbitClass::parabolic)
            << "b " << b << ", " << degrees << " degrees, period " << period << ", trace " << a.trace;
      }
    }
  }
  const BilliardTable nearCircle = buildTable(1, 1.0000001);
  // Starts on a side arc, whose radius is the one that differs.
  for (const double degrees : {20.0, 45.0, 90.0}) {
    Ball ball;
    const PeriodicOrbitAnalysis a =
        analysePeriodicOrbit(nearCircle, ball, 1.3, degrees * pi / 180, defaultEpsilon, 1);
    ASSERT_TRUE(a.hasClass);
    EXPECT_NE(a.orbitClass, OrbitClass::parabolic) << degrees << " degrees, trace " << a.trace;
  }
}

// ---------------------------------------------------------------------------
// Period search

TEST(Period, IsTheGreatestCommonDivisorOfTheReturnCounts) {
  struct Case {
    std::array<int, 3> counts;
    int period;
  };
  const std::array<Case, 8> cases{{{{2, 2, 2}, 2},
                                   {{4, 2, 2}, 2},
                                   {{1000, 3, 3}, 1},
                                   {{1000, 1000, 1000}, notPeriodic},
                                   {{6, 9, 3}, 3},
                                   {{12, 8, 4}, 4},
                                   {{1000, 500, 250}, 250},
                                   {{7, 1, 7}, 1}}};
  for (const Case& c : cases) {
    EXPECT_EQ(periodFromReturnCounts(c.counts), c.period)
        << c.counts[0] << ", " << c.counts[1] << ", " << c.counts[2];
  }
}

TEST(Period, CircleOrbitAtSixtyDegreesClosesAfterThreeBounces) {
  Explorer ex;
  useTable(ex, 1, 1);
  const PeriodicOrbitAnalysis a = analyseOn(ex, 0.7, sixtyDegrees, defaultEpsilon, std::nullopt);
  EXPECT_TRUE(a.searched);
  EXPECT_EQ(a.returnCounts, (std::array<int, 3>{3, 3, 3}));
  EXPECT_EQ(a.period, 3);
  ASSERT_TRUE(a.hasMonodromy);
  // Each bounce matrix of a circle is -I + N with N^2 = 0 (L = 2f), so three
  // give -I + 3N: m11 = -7, m22 = 5, trace -2. Tolerance: a dozen roundings of
  // numbers of order 10.
  EXPECT_NEAR(a.monodromy.m11, -7, 1e-9);
  EXPECT_NEAR(a.monodromy.m22, 5, 1e-9);
  EXPECT_NEAR(a.trace, -2, 1e-9);
  EXPECT_NEAR(determinant(a.monodromy), 1, 1e-9);
  EXPECT_EQ(a.trace, a.monodromy.m11 + a.monodromy.m22);
  EXPECT_TRUE(a.periodFound);
  ASSERT_TRUE(a.hasClass);
  EXPECT_EQ(a.orbitClass, OrbitClass::parabolic);
  // After the 9 search bounces and the 3 of the product the ball is back at s = 0.7.
  EXPECT_NEAR(ex.ball.s, 0.7, 1e-9);
  EXPECT_EQ(ex.ball.startS, 0.7);
  EXPECT_EQ(ex.ball.cosPhi, std::cos(sixtyDegrees));
  // The product starts where the third search stopped, not at the placed start.
  placeAnalysisStartOn(ex, 0.7, sixtyDegrees);
  for (int k = 0; k < 9; ++k) bounceOn(ex);
  EXPECT_EQ(a.matrixStart.x, ex.ball.x);
  EXPECT_EQ(a.matrixStart.dy, ex.ball.dy);
}

// A chaotic start: one search returns near the start by chance, the others run
// out. The common divisor of the counts is then no period, and there is no
// class to give (the analysis used to report period 1 and a class).
TEST(Period, ASearchThatRanOutFindsNoPeriod) {
  const BilliardTable table = buildTable(0.5, 2);
  Ball ball;
  const PeriodicOrbitAnalysis a =
      analysePeriodicOrbit(table, ball, 0.7, sixtyDegrees, defaultEpsilon, std::nullopt);
  ASSERT_TRUE(a.searched);
  EXPECT_NE(std::count(a.returnCounts.begin(), a.returnCounts.end(), maxReturnSearch), 0);
  EXPECT_FALSE(a.periodFound);
  EXPECT_TRUE(a.hasMonodromy);
  EXPECT_FALSE(a.hasClass);

  const PeriodicOrbitAnalysis typed = analysePeriodicOrbit(table, ball, 0.7, sixtyDegrees, defaultEpsilon, 5);
  EXPECT_TRUE(typed.periodFound);
  EXPECT_TRUE(typed.hasClass);
}

TEST(Period, NoReturnWithinTheLimitIsNotPeriodic) {
  Explorer ex;
  useTable(ex, 1, 1);
  struct Case {
    double epsilon;
    const char* why;
  };
  // The slider at 0 or above gives epsilon <= 0: the strict tests never pass.
  const std::array<Case, 2> cases{{{0, "epsilon 0"}, {-0.01, "negative epsilon"}}};
  for (const Case& c : cases) {
    const PeriodicOrbitAnalysis a = analyseOn(ex, 0.7, sixtyDegrees, c.epsilon, std::nullopt);
    EXPECT_EQ(a.returnCounts, (std::array<int, 3>{1000, 1000, 1000})) << c.why;
    EXPECT_EQ(a.period, notPeriodic) << c.why;
    EXPECT_FALSE(a.hasMonodromy) << c.why;
  }
}

// ---------------------------------------------------------------------------
// Typed period

TEST(TypedPeriod, MultipliesFromThePlacedStart) {
  Explorer ex;
  struct Case {
    int typed;
    bool hasMonodromy;
    double m11, m22;
  };
  // Powers of the circle's bounce matrix -I + N (N11 = -2, N22 = 2): the sixth
  // is I - 6N. A period below 1 leaves the identity; 1000 means no matrix.
  const std::array<Case, 4> cases{
      {{0, true, 1, 1}, {-4, true, 1, 1}, {6, true, 13, -11}, {1000, false, 1, 1}}};
  useTable(ex, 1, 1);
  for (const Case& c : cases) {
    const PeriodicOrbitAnalysis a = analyseOn(ex, 0.7, sixtyDegrees, defaultEpsilon, c.typed);
    const BallPose start = placeAnalysisStartOn(ex, 0.7, sixtyDegrees);
    EXPECT_FALSE(a.searched);
    EXPECT_EQ(a.period, c.typed);
    EXPECT_EQ(a.hasMonodromy, c.hasMonodromy) << c.typed;
    EXPECT_EQ(a.matrixStart.x, start.x) << c.typed;
    EXPECT_EQ(a.matrixStart.dx, start.dx) << c.typed;
    EXPECT_NEAR(a.monodromy.m11, c.m11, 1e-9) << c.typed;
    EXPECT_NEAR(a.monodromy.m22, c.m22, 1e-9) << c.typed;
    EXPECT_NEAR(a.trace, 2, 1e-9) << c.typed;
  }
  // The identity is exact: its trace is 2 and "parabolic" without rounding.
  const PeriodicOrbitAnalysis zero = analyseOn(ex, 0.7, sixtyDegrees, defaultEpsilon, 0);
  EXPECT_EQ(zero.trace, 2);
  EXPECT_STREQ(orbitClassName(zero.orbitClass), "parabolic");
}

// ---------------------------------------------------------------------------
// lg(Tr) series

std::vector<LgTrLine> collectSeries(Explorer& ex, const BallPose& start, int blockSize, int blockCount,
                                    std::int64_t* rescales = nullptr) {
  std::vector<LgTrLine> out;
  const std::int64_t r = runLgTrSeriesOn(ex, start, blockSize, blockCount, [&](int block, double value) {
    out.push_back({block, value});
  });
  if (rescales) *rescales = r;
  return out;
}

TEST(LgTrSeries, CircleStaysAtLnTwo) {
  Explorer ex;
  useTable(ex, 1, 1);
  const BallPose start = placeAnalysisStartOn(ex, 0.7, sixtyDegrees);
  std::int64_t rescales = -1;
  const std::vector<LgTrLine> series = collectSeries(ex, start, 3, 20, &rescales);
  ASSERT_EQ(series.size(), 20u);
  for (std::size_t i = 0; i < series.size(); ++i) {
    EXPECT_EQ(series[i].block, static_cast<int>(i) + 1);
    // Block products are (-I + N)^3; their powers keep |trace| = 2, while N's
    // entries grow linearly: a few hundred roundings of numbers below 1e3.
    EXPECT_NEAR(series[i].value, std::log(2.0), 1e-9);
  }
  EXPECT_EQ(rescales, 0);
}

// The same product without blocks, scaled by powers of 2 (exact), as the
// independent reference for the rescaled block products.
double lnAbsTraceOfWholeProduct(Explorer& ex, const BallPose& start, int bounces) {
  setPose(ex.ball, start);
  Monodromy m;
  double lnScale = 0;
  for (int k = 0; k < bounces; ++k) {
    bounceOn(ex);
    applyBounceMatrix(m, ex.ball.hitDistance, ex.ball.hitRadius, ex.ball.phi);
    const double big = std::max({std::fabs(m.m11), std::fabs(m.m12), std::fabs(m.m21), std::fabs(m.m22)});
    if (big > 0x1p100) {
      m = product(Monodromy{0x1p-100, 0, 0, 0x1p-100}, m);
      lnScale += 100 * std::log(2.0);
    }
  }
  return std::log(std::fabs(trace(m))) + lnScale;
}

TEST(LgTrSeries, RescaledBlocksGiveTheLogarithmOfTheWholeProduct) {
  Explorer ex;
  // A chaotic orbit: its trace passes 1000 inside most blocks.
  useTable(ex, 0.3, 5);
  const BallPose start = placeAnalysisStartOn(ex, 0.7, sixtyDegrees);
  const int blockSize = 40;
  std::int64_t rescales = 0;
  const std::vector<LgTrLine> series = collectSeries(ex, start, blockSize, 6, &rescales);
  ASSERT_EQ(series.size(), 6u);
  EXPECT_GT(rescales, 12);
  for (int m = 1; m <= 6; ++m) {
    const double expected = lnAbsTraceOfWholeProduct(ex, start, m * blockSize);
    // The two products round differently; over 240 bounces of an expanding map
    // the relative difference of the traces stays far below 1e-9.
    EXPECT_NEAR(series[static_cast<std::size_t>(m - 1)].value, expected, 1e-9) << "block " << m;
  }
}

// The accumulated product of a chaotic orbit passes the double range (e^709)
// after about 200 blocks of 500 bounces; the series used to turn NaN there.
TEST(LgTrSeries, StaysFiniteAndTrueBeyondTheDoubleRange) {
  Explorer ex;
  useTable(ex, 0.5, 2);
  const BallPose start = placeAnalysisStartOn(ex, 0.7, sixtyDegrees);
  const std::vector<LgTrLine> series = collectSeries(ex, start, 500, 300);
  ASSERT_EQ(series.size(), 300u);
  for (const LgTrLine& line : series) ASSERT_TRUE(std::isfinite(line.value)) << "block " << line.block;
  EXPECT_GT(series.back().value, 2 * 709.0);
  for (const int m : {100, 250, 300}) {
    const double expected = lnAbsTraceOfWholeProduct(ex, start, m * 500);
    // Values near 4e4 from two products rounded differently: a relative
    // difference of 1e-10 leaves a few millionths.
    EXPECT_NEAR(series[static_cast<std::size_t>(m - 1)].value, expected, 1e-5) << "block " << m;
  }

  // 10,000 blocks, the window's largest count, with many rescales on the way.
  const BilliardTable table = buildTable(0.5, 2);
  Ball ball;
  double last = 0;
  bool allFinite = true;
  const LgTrSeriesEnd end = runLgTrSeries(table, ball, start, 20, 10000, [&](int, double value) {
    allFinite = allFinite && std::isfinite(value);
    last = value;
  });
  EXPECT_TRUE(allFinite);
  EXPECT_GT(end.twoExponent, 0);
  // About 0.36 per bounce for this orbit, over 200,000 bounces.
  EXPECT_NEAR(last / 200000, 0.36, 0.03);
}

TEST(LgTrSeries, StartsFromTheGivenStateWhereverTheBallIs) {
  Explorer ex;
  useTable(ex, 0.5, 2);
  const BallPose start = placeAnalysisStartOn(ex, 0.7, sixtyDegrees);
  const std::vector<LgTrLine> first = collectSeries(ex, start, 7, 3);
  placeAnalysisStartOn(ex, 2.0, 1.0);
  const std::vector<LgTrLine> again = collectSeries(ex, start, 7, 3);
  ASSERT_EQ(again.size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(again[i].value, first[i].value);
}

TEST(LgTrSeries, RefusesABlockSizeBelowOne) {
  Explorer ex;
  useTable(ex, 1, 1);
  const BallPose start = placeAnalysisStartOn(ex, 0.7, sixtyDegrees);
  for (const int blockSize : {0, -3}) {
    bool delivered = false;
    EXPECT_THROW(runLgTrSeriesOn(ex, start, blockSize, 5, [&](int, double) { delivered = true; }),
                 std::invalid_argument);
    EXPECT_FALSE(delivered);
  }
  EXPECT_TRUE(collectSeries(ex, start, 5, 0).empty());
}

// ---------------------------------------------------------------------------
// Data file

TEST(DataFileLine, MatchesThePrintfFormat) {
  struct Case {
    int block;
    double value;
    const char* line;
  };
  const std::array<Case, 5> cases{{
      {1, 693.1471806, "   1             693.147181 \n"},
      {1, -0.5, "   1              -0.500000 \n"},
      {100, 0, " 100               0.000000 \n"},
      {12345, 2.5e-7, "12345               0.000000 \n"},
      {7, -1.5e15, "   7   -1500000000000000.000000 \n"},
  }};
  for (const Case& c : cases) EXPECT_EQ(formatLgTrLine(c.block, c.value), c.line) << c.value;
}

TEST(DataFileLine, AgreesWithPrintfInTheCLocale) {
  const std::array<double, 9> values{0.1234565,           0.0078125, -2.0000005, 1e-7,         -1e-7,
                                     123456789.987654321, 1e20,      0.5,        std::log(2.0)};
  int block = -3;
  for (const double v : values) {
    char expected[128];
    std::snprintf(expected, sizeof expected, "%4i   %20f \n", block, v);
    EXPECT_EQ(formatLgTrLine(block, v), expected) << v;
    block *= -7;
  }
}

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("trapezola_analysis_test_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  static std::string contents(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // The names in the folder, sorted: a temporary file left behind shows here.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::filesystem::path folder_;
};

TEST_F(DataFileTest, WrittenSeriesReadsBack) {
  const std::filesystem::path path = folder_ / "adat2.dat";
  {
    LgTrFileWriter writer(path);
    writer.add(1, 693.1471806);
    writer.add(2, -0.5);
    writer.add(3, 1e-7);
    writer.commit();
  }
  EXPECT_EQ(contents(path),
            "   1             693.147181 \n"
            "   2              -0.500000 \n"
            "   3               0.000000 \n");
  const std::vector<LgTrLine> lines = readLgTrFile(path, 3);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].block, 1);
  EXPECT_EQ(lines[0].value, 693.147181);
  EXPECT_EQ(lines[1].block, 2);
  EXPECT_EQ(lines[1].value, -0.5);
  EXPECT_EQ(lines[2].value, 0);
  EXPECT_EQ(entries(), std::vector<std::string>{"adat2.dat"});
}

TEST_F(DataFileTest, UncommittedSeriesLeavesThePreviousFile) {
  const std::filesystem::path path = folder_ / "adat2.dat";
  {
    std::ofstream old(path);
    old << "   1               5.000000 \n";
  }
  {
    LgTrFileWriter writer(path);
    writer.add(1, 7);
    // Destroyed without commit, as when a conversion error stops the analysis.
  }
  EXPECT_EQ(contents(path), "   1               5.000000 \n");
  EXPECT_EQ(entries(), std::vector<std::string>{"adat2.dat"});
}

TEST_F(DataFileTest, OpenFailuresNameThePath) {
  const std::filesystem::path missingFolder = folder_ / "no such folder" / "adat2.dat";
  try {
    LgTrFileWriter writer(missingFolder);
    FAIL() << "created a file in a missing folder";
  } catch (const DataFileError& e) {
    EXPECT_NE(std::string(e.what()).find(missingFolder.string()), std::string::npos) << e.what();
  }
  const std::filesystem::path missingFile = folder_ / "never written.dat";
  try {
    readLgTrFile(missingFile, 3);
    FAIL() << "read a missing file";
  } catch (const DataFileError& e) {
    EXPECT_NE(std::string(e.what()).find(missingFile.string()), std::string::npos) << e.what();
  }
}

TEST_F(DataFileTest, FailedReplaceKeepsTheOldTargetAndReportsIt) {
  // A folder in the file's place is refused at once...
  const std::filesystem::path path = folder_ / "adat2.dat";
  std::filesystem::create_directories(path / "inside");
  EXPECT_THROW(LgTrFileWriter{path}, DataFileError);
  // ...and one that appears during the series cannot be replaced by a rename.
  std::filesystem::remove_all(path);
  LgTrFileWriter writer(path);
  writer.add(1, 1);
  std::filesystem::create_directories(path / "inside");
  EXPECT_THROW(writer.commit(), DataFileError);
  EXPECT_TRUE(std::filesystem::is_directory(path / "inside"));
  EXPECT_EQ(entries(), std::vector<std::string>{"adat2.dat"});
  EXPECT_THROW(writer.commit(), std::logic_error);
}

// Fault: the data file went through the fixed name adat2.dat.tmp, so a symlink
// planted there had its target overwritten, and two analyses at once spliced
// their series. It goes through the one writer of whole files now.
TEST_F(DataFileTest, APlantedSymlinkAtTheOldTemporaryNameIsNotFollowed) {
  const std::filesystem::path victim = folder_ / "victim";
  std::ofstream(victim) << "precious";
  std::filesystem::create_symlink(victim, folder_ / "adat2.dat.tmp");
  const std::filesystem::path path = folder_ / "adat2.dat";
  LgTrFileWriter writer(path);
  writer.add(1, 2);
  writer.commit();
  EXPECT_EQ(contents(victim), "precious");
  EXPECT_FALSE(std::filesystem::is_symlink(path));
  EXPECT_EQ(contents(path), "   1               2.000000 \n");
}

TEST_F(DataFileTest, AFullDiskIsReportedAtCommitWithItsReason) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  LgTrFileWriter writer("/dev/full");
  for (int block = 1; block <= 5000; ++block) writer.add(block, 1.5);
  try {
    writer.commit();
    FAIL() << "a series went into a full disk";
  } catch (const DataFileError& e) {
    EXPECT_EQ(std::string(e.what()), "the data file: cannot write '/dev/full': No space left on device");
  }
}

TEST(DataFileRead, UnreadableAndMissingLinesRepeatThePreviousOne) {
  std::istringstream in(
      "garbage\n"
      "   2              -0.500000 \n"
      "   3   not a number\n"
      "\n"
      "  +5   +2.25 trailing words\n"
      "99999999999   1.0\n");
  const std::vector<LgTrLine> lines = readLgTrLines(in, 8);
  const std::array<LgTrLine, 8> expected{
      {{0, 0}, {2, -0.5}, {2, -0.5}, {2, -0.5}, {5, 2.25}, {5, 2.25}, {5, 2.25}, {5, 2.25}}};
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(lines[i].block, expected[i].block) << "line " << i;
    EXPECT_EQ(lines[i].value, expected[i].value) << "line " << i;
  }
  std::istringstream empty("");
  EXPECT_TRUE(readLgTrLines(empty, 0).empty());
}

// ---------------------------------------------------------------------------
// Linear fit

std::vector<LgTrLine> straightLine(int count, double slope, double intercept) {
  std::vector<LgTrLine> lines;
  for (int k = 1; k <= count; ++k) lines.push_back({k, slope * k + intercept});
  return lines;
}

TEST(LyapunovFit, TextbookExampleOverTheDefaultWindow) {
  // Position 0 lies outside the default window (fitStart 0), so its wild value
  // must not matter. The others are the classic (1,2) (2,4) (3,5) (4,4) (5,5):
  // a = 0.6, b = 2.2, SSE = 2.4, centred Sxx = 10.
  const std::vector<LgTrLine> lines{{0, 1e6}, {1, 2}, {2, 4}, {3, 5}, {4, 4}, {5, 5}};
  const LyapunovFit fit = fitLgTrLines(lines, 0, 0, 2);
  EXPECT_EQ(fit.fittedLines, 5);
  // A few roundings of sums below 100.
  EXPECT_NEAR(fit.slope, 0.6, 1e-12);
  EXPECT_NEAR(fit.intercept, 2.2, 1e-12);
  EXPECT_NEAR(fit.gradient, 0.3, 1e-12);
  ASSERT_TRUE(fit.gradientStandardError.has_value());
  EXPECT_NEAR(*fit.gradientStandardError, std::sqrt(2.4 / 3 / 10) / 2, 1e-12);
}

TEST(LyapunovFit, WindowIsStrictOnLinePositions) {
  struct Case {
    int fitStart, fitEndSkip, fitted;
  };
  // 100 lines: positions fitStart + 1 .. 99 - fitEndSkip.
  const std::array<Case, 5> cases{{{0, 0, 99}, {10, 20, 69}, {0, 98, 1}, {50, -5, 49}, {-10, 0, 100}}};
  std::vector<LgTrLine> lines = straightLine(100, 0.25, -3);
  for (const Case& c : cases) {
    if (c.fitted < 2) {
      EXPECT_THROW(fitLgTrLines(lines, c.fitStart, c.fitEndSkip, 500), LyapunovFitError);
      continue;
    }
    const LyapunovFit fit = fitLgTrLines(lines, c.fitStart, c.fitEndSkip, 500);
    EXPECT_EQ(fit.fittedLines, c.fitted) << c.fitStart << ", " << c.fitEndSkip;
    EXPECT_NEAR(fit.slope, 0.25, 1e-12);
    EXPECT_NEAR(fit.intercept, -3, 1e-10);
    EXPECT_NEAR(fit.gradient, 0.25 / 500, 1e-15);
  }
  // Lines just outside the window carry values far off the line.
  lines[10].value = 1e9;
  lines[80].value = -1e9;
  EXPECT_NEAR(fitLgTrLines(lines, 10, 20, 500).slope, 0.25, 1e-12);
}

TEST(LyapunovFit, ExactBeyondTheThirtyTwoBitSums) {
  // 3000 lines: n Sxx is about 2.7e13 and Sxx about 9e9, both past 2^31.
  const std::vector<LgTrLine> lines = straightLine(3000, 2, 1);
  const LyapunovFit fit = fitLgTrLines(lines, 0, 0, 500);
  EXPECT_EQ(fit.fittedLines, 2999);
  EXPECT_NEAR(fit.slope, 2, 1e-12);
  EXPECT_NEAR(fit.intercept, 1, 1e-7);
  EXPECT_NEAR(*fit.gradientStandardError, 0, 1e-12);
}

TEST(LyapunovFit, ReportsWhatCannotBeFitted) {
  struct Case {
    std::vector<LgTrLine> lines;
    int fitStart, fitEndSkip, blockSize;
    const char* why;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Case> cases{
      {straightLine(2, 1, 0), 0, 0, 500, "one line in the window (D = 0)"},
      {straightLine(10, 1, 0), 9, 0, 500, "empty window"},
      {std::vector<LgTrLine>{}, 0, 0, 500, "no lines"},
      {{{1, 1}, {4, 2}, {4, 2}, {4, 2}}, 0, 0, 500, "lines repeated past the end of the file: one index"},
      {{{1, 1}, {2, -inf}, {3, 2}}, -1, 0, 500, "trace 0 gave -inf"},
      {straightLine(10, 1, 0), 0, 0, 0, "no series yet: block size 0"},
      {{{std::numeric_limits<int>::min(), 0},
        {std::numeric_limits<int>::min(), 0},
        {std::numeric_limits<int>::min(), 0}},
       -1,
       0,
       500,
       "indexes whose squares overflow 64 bits"},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(fitLgTrLines(c.lines, c.fitStart, c.fitEndSkip, c.blockSize), LyapunovFitError) << c.why;
  }
}

TEST(LyapunovFit, TwoLinesHaveNoStandardError) {
  const LyapunovFit fit = fitLgTrLines(straightLine(3, 1.5, 0), 0, 0, 10);
  EXPECT_EQ(fit.fittedLines, 2);
  EXPECT_NEAR(fit.slope, 1.5, 1e-15);
  EXPECT_FALSE(fit.gradientStandardError.has_value());
}

}  // namespace
}  // namespace trapezola
