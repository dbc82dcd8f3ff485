// The start-point fields b, distance and angle: every edit makes the next "go"
// start afresh, the distance field re-shows the table summary, and R8/R and the
// repeat count leave an interrupted run alone. Also the summary text itself.
#include <gtest/gtest.h>

#include <QTest>
#include <ostream>
#include <string>

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"
#include "explorer/geometry_summary.h"
#include "explorer/window_geometry.h"
#include "main_window_controls.h"
#include "tests/explorer_test_support.h"
#include "ui/lyapunov_window/lyapunov_graph.h"
#include "ui/lyapunov_window/tform3.h"
#include "ui/main_window/tform1.h"
#include "ui_test_support.h"

namespace trapezola {
namespace {

using testing::ReportedErrors;
using testing::setTextQuietly;
using testing::SharedStateGuard;

struct SummaryCase {
  double b;
  double rr;
  const char* expected;
};

void PrintTo(const SummaryCase& c, std::ostream* out) {
  *out << "b=" << c.b << " rr=" << c.rr;
}

class GeometrySummary : public ::testing::TestWithParam<SummaryCase> {
 protected:
  SharedStateGuard state_;
};

TEST_P(GeometrySummary, ShowsRadiiAndCornersOfTheCurrentTable) {
  Explorer& ex = Form1->explorer();
  buildGeometry(ex, GetParam().b, GetParam().rr);
  EXPECT_EQ(buildGeometrySummary(ex.table), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedTables, GeometrySummary,
    ::testing::Values(
        SummaryCase{
            0.5, 2,
            "r=0.68853  R8=2.0656  R=1.0328\n\ncorners: 1.119214 .. 3.20695 .. 5.929639 .. 8.017375)"},
        // Only b exactly 1 shows the angle; the general format drops 1.1180's zero.
        SummaryCase{1, 2,
                    "delta= 63.435 degree\n\nr=1.118  R8=2.2361  R=1.118\n\ncorners: 2.47566 .. 4.549155 .. "
                    "7.024815 .. 9.09831)"}));

TEST(GeometrySummaryBeforeAnyTable, ShowsTheStartValues) {
  const BilliardTable unbuilt;
  EXPECT_EQ(buildGeometrySummary(unbuilt), "r=0  R8=0  R=1\n\ncorners: 0 .. 0 .. 0 .. 0)");
}

class StartFields : public ::testing::Test {
 protected:
  void SetUp() override {
    for (toolkit::TEdit* field : fields()) setTextQuietly(field, "");
    afterARun();
  }
  void TearDown() override {
    for (toolkit::TEdit* field : fields()) setTextQuietly(field, "");
    mainButton("Button1")->SetText("go");
    mainLabel("Label1")->SetText(labelText_);
  }

  static std::vector<toolkit::TEdit*> fields() {
    return {mainEdit("Edit1"), mainEdit("Edit2"), mainEdit("Edit3"), mainEdit("Edit4"), mainEdit("Edit5")};
  }

  // What a finished run leaves: its end state saved and the button on "continue".
  static void afterARun() {
    Explorer& ex = Form1->explorer();
    ex.resume = {0.25, -0.5, 0.6, 0.8};
    mainButton("Button1")->SetText("continue");
  }

  static bool freshRun() {
    Explorer& ex = Form1->explorer();
    return ex.resume.x == 0 && ex.resume.y == 0 && ex.resume.dx == 0 && ex.resume.dy == 0 &&
           mainButton("Button1")->GetText() == "go";
  }

  SharedStateGuard state_;
  std::string labelText_ = mainLabel("Label1")->GetText();
};

TEST_F(StartFields, FirstKeystrokeInAnyStartFieldMakesTheRunFresh) {
  for (toolkit::TEdit* field : {mainEdit("Edit1"), mainEdit("Edit3"), mainEdit("Edit4")}) {
    afterARun();
    QTest::keyClick(field, Qt::Key_0);
    EXPECT_TRUE(freshRun()) << field->objectName().toStdString();
  }
}

TEST_F(StartFields, RatioAndRepeatFieldsLeaveTheInterruptedRun) {
  Explorer& ex = Form1->explorer();
  for (toolkit::TEdit* field : {mainEdit("Edit2"), mainEdit("Edit5")}) {
    QTest::keyClicks(field, "2");
    EXPECT_EQ(mainButton("Button1")->GetText(), "continue") << field->objectName().toStdString();
    EXPECT_EQ(ex.resume.dx, 0.6);
  }
}

TEST_F(StartFields, BFollowsTheTypedNumber) {
  Explorer& ex = Form1->explorer();
  ReportedErrors errors;
  QTest::keyClicks(mainEdit("Edit1"), "0.5");
  EXPECT_EQ(ex.enteredB, 0.5);
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_TRUE(freshRun());
}

TEST_F(StartFields, DistanceShowsTheTableAsItStands) {
  Explorer& ex = Form1->explorer();
  buildGeometry(ex, 0.5, 2);
  const BilliardTable before = ex.table;
  QTest::keyClicks(mainEdit("Edit3"), "20");
  EXPECT_EQ(ex.ball.startS, 20.0);
  EXPECT_EQ(ex.geometrySummary, buildGeometrySummary(ex.table));
  EXPECT_EQ(mainLabel("Label1")->GetText(), ex.geometrySummary);
  // No rebuild, no wrapping of the distance: both wait for the run.
  EXPECT_EQ(ex.table.s4, before.s4);
}

TEST_F(StartFields, ClearingTheDistanceKeepsTheLastNumberAndSummary) {
  Explorer& ex = Form1->explorer();
  QTest::keyClicks(mainEdit("Edit3"), "3");
  buildGeometry(ex, 1, 2);  // a later table, not yet shown
  ReportedErrors errors;
  const std::string shown = mainLabel("Label1")->GetText();
  afterARun();
  QTest::keyClick(mainEdit("Edit3"), Qt::Key_Backspace);
  // An empty field is a number still being typed: no error, the last number stays.
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_EQ(ex.ball.startS, 3.0);
  EXPECT_EQ(mainLabel("Label1")->GetText(), shown);
  EXPECT_TRUE(freshRun());
}

TEST_F(StartFields, AngleTextIsNotReadWhileTyping) {
  ReportedErrors errors;
  QTest::keyClicks(mainEdit("Edit4"), "4x");
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_TRUE(freshRun());
}

class LyapunovYmax : public ::testing::Test {
 protected:
  void TearDown() override { setTextQuietly(Form3->Edit3, "40000"); }

  SharedStateGuard state_;
};

TEST_F(LyapunovYmax, FollowsTheFieldInSinglePrecision) {
  setTextQuietly(Form3->Edit3, "");
  QTest::keyClicks(Form3->Edit3, "0.1");
  EXPECT_EQ(LyapunovGraph.yMax, 0.1f);
  ReportedErrors errors;
  QTest::keyClick(Form3->Edit3, Qt::Key_A);
  EXPECT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(LyapunovGraph.yMax, 0.1f);
}

}  // namespace
}  // namespace trapezola
