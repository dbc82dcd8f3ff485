// Label11 after a periodic-orbit analysis: exact texts.
#include "explorer/analysis_label.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <optional>
#include <string>

#include "core/analysis/periodic_orbit.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/window_geometry.h"
#include "tests/explorer_test_support.h"

namespace trapezola {
namespace {

PeriodicOrbitAnalysis withMatrix(bool searched, std::array<int, 3> counts, int period, double m11,
                                 double m22) {
  PeriodicOrbitAnalysis a;
  a.searched = searched;
  a.returnCounts = counts;
  a.period = period;
  a.hasMonodromy = true;
  a.monodromy = Monodromy{m11, 0, 0, m22};
  a.trace = m11 + m22;
  a.periodFound = !searched || (counts[0] < 1000 && counts[1] < 1000 && counts[2] < 1000);
  a.hasClass = a.periodFound && a.trace == a.trace;
  a.orbitClass = classifyTrace(a.trace);
  return a;
}

TEST(AnalysisLabel, ShowsPeriodTraceClassAndDiagonal) {
  struct Case {
    PeriodicOrbitAnalysis analysis;
    const char* label;
  };
  const std::array<Case, 6> cases{{
      {withMatrix(false, {0, 0, 0}, 0, 1, 1), "period?: 0\n2  parabolic\nm11=1  ;  m22=1"},
      {withMatrix(false, {0, 0, 0}, -3, 1, 1), "period?: -3\n2  parabolic\nm11=1  ;  m22=1"},
      {withMatrix(true, {4, 2, 2}, 2, 1.23456789, 0.888888889),
       "period?: 2 ; 4 , 2 , 2\n2.123457  hiperbolic\nm11=1.23457  ;  m22=0.888889"},
      // One search ran out: period 1 is only what the counts share, so the class
      // says the orbit was not found periodic; it used to say "elliptic".
      {withMatrix(true, {1000, 3, 3}, 1, -0.75, 0.5),
       "period?: 1 ; 1000 , 3 , 3\n-0.25  not periodic\nm11=-0.75  ;  m22=0.5"},
      // Beyond 7 (trace) or 6 (entries) digits before the point, or below 1e-5:
      // scientific notation with four exponent digits.
      {withMatrix(false, {0, 0, 0}, 5, 123456789, 1.5e-6),
       "period?: 5\n1.234568E0008  hiperbolic\nm11=1.23457E0008  ;  m22=1.5E-0006"},
      // A grazing bounce: a trace that is not a number has no class.
      {withMatrix(true, {2, 2, 2}, 2, std::numeric_limits<double>::quiet_NaN(), 1),
       "period?: 2 ; 2 , 2 , 2\nNAN\nm11=NAN  ;  m22=1"},
  }};
  for (const Case& c : cases) EXPECT_EQ(analysisLabel(c.analysis), std::optional<std::string>(c.label));
}

TEST(AnalysisLabel, NoMatrixIsNotPeriodicOrLeavesTheLabel) {
  PeriodicOrbitAnalysis ranOut;
  ranOut.searched = true;
  ranOut.returnCounts = {1000, 1000, 1000};
  ranOut.period = notPeriodic;
  EXPECT_EQ(analysisLabel(ranOut), std::optional<std::string>("not periodic"));

  PeriodicOrbitAnalysis typedThousand;
  typedThousand.period = notPeriodic;
  EXPECT_EQ(analysisLabel(typedThousand), std::nullopt);
}

TEST(AnalysisLabel, CircleOrbitOfPeriodThree) {
  Explorer ex;
  setupTable(ex, 1, 1, 0, 90, 1);
  launch(ex);
  const PeriodicOrbitAnalysis a = analyseOn(ex, 0.7, pi / 3, 0.05, std::nullopt);
  // Every orbit of a circle is parabolic; the trace is -2 up to rounding, which
  // used to make the word "hiperbolic".
  EXPECT_EQ(analysisLabel(a), "period?: 3 ; 3 , 3 , 3\n-2  parabolic\nm11=-7  ;  m22=5");
}

}  // namespace
}  // namespace trapezola
