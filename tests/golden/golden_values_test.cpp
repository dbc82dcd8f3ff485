// The golden digests of golden_cases.h again, computed on bare table and ball
// values instead of the window's explorer value: one thread, then several threads
// sharing each table. Any difference from the recorded digests is a moved bit.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/analysis/lgtr_series.h"
#include "core/analysis/periodic_orbit.h"
#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "tests/golden/golden_cases.h"

namespace trapezola {
namespace {

using golden::hex;

// The orbit of one case on a table value; counts the bounces that did not come
// back ok (a search without an arc, or a bad arc index).
std::uint64_t orbitDigest(const BilliardTable& table, const golden::OrbitCase& c, int& notOk) {
  const double start = c.startAtCorner2 ? table.s1 : c.distance;
  Ball ball;
  launch(table, ball, start, std::cos(startAngleRadians(c.angleDegrees)));
  golden::Digest d;
  d.addLaunch(ball);
  notOk = 0;
  for (int n = 0; n < golden::goldenBounces; ++n) {
    if (bounce(table, ball) != BounceStatus::ok) ++notOk;
    d.addBounce(ball);
  }
  return d.value();
}

TEST(GoldenValues, OrbitsOnTableValues) {
  for (const golden::OrbitCase& c : golden::orbitCases) {
    int notOk = 0;
    const std::uint64_t got = orbitDigest(buildTable(c.b, c.rr), c, notOk);
    EXPECT_EQ(got, c.digest) << c.name << ": digest " << hex(got) << ", recorded " << hex(c.digest);
    EXPECT_EQ(notOk, 0) << c.name;
  }
}

TEST(GoldenValues, AnalysesOnTableValues) {
  for (const golden::AnalysisCase& c : golden::analysisCases) {
    const BilliardTable table = buildTable(c.b, c.rr);
    const double s = c.distance < 0 ? table.s1 * 0.5 : c.distance;
    Ball ball;
    launch(table, ball, s, std::cos(startAngleRadians(c.angleDegrees)));
    std::optional<int> typed;
    if (c.typedPeriod != 0) typed = c.typedPeriod;
    const PeriodicOrbitAnalysis a = analysePeriodicOrbit(table, ball, s, startAngleRadians(c.angleDegrees),
                                                         golden::analysisEpsilon, typed);
    ASSERT_EQ(a.status, BounceStatus::ok) << c.name;
    golden::Digest d;
    d.add(a.period);
    for (const int count : a.returnCounts) d.add(count);
    d.add(a.trace);
    d.add(a.monodromy.m11);
    d.add(a.monodromy.m22);
    const LgTrSeriesEnd end = runLgTrSeries(table, ball, a.matrixStart, golden::lgTrBlockSize,
                                            golden::lgTrBlockCount, [&](int block, double value) {
                                              d.add(block);
                                              d.add(value);
                                            });
    ASSERT_EQ(end.status, BounceStatus::ok) << c.name;
    d.add(end.rescaleCount);
    EXPECT_EQ(d.value(), c.digest) << c.name << ": digest " << hex(d.value()) << ", recorded "
                                   << hex(c.digest);
  }
}

// Three threads run every orbit case, each in its own order, on one shared
// const table per case: nothing a bounce reads may be written by another.
TEST(GoldenValues, OrbitsOnSharedTablesFromSeveralThreads) {
  constexpr int threadCount = 3;
  constexpr auto caseCount = golden::orbitCases.size();
  std::vector<BilliardTable> tables;
  for (const golden::OrbitCase& c : golden::orbitCases) tables.push_back(buildTable(c.b, c.rr));
  const std::vector<BilliardTable>& shared = tables;
  std::vector<std::vector<std::uint64_t>> digests(threadCount, std::vector<std::uint64_t>(caseCount));
  std::vector<std::thread> threads;
  for (int t = 0; t < threadCount; ++t) {
    threads.emplace_back([&shared, &digests, t] {
      for (std::size_t k = 0; k < caseCount; ++k) {
        const std::size_t i = (k + static_cast<std::size_t>(t) * 3) % caseCount;
        int notOk = 0;
        digests[static_cast<std::size_t>(t)][i] = orbitDigest(shared[i], golden::orbitCases[i], notOk);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < threadCount; ++t) {
    for (std::size_t i = 0; i < caseCount; ++i) {
      EXPECT_EQ(digests[static_cast<std::size_t>(t)][i], golden::orbitCases[i].digest)
          << "thread " << t << ", " << golden::orbitCases[i].name;
    }
  }
}

}  // namespace
}  // namespace trapezola
