// Leaving the table fields, the pointer read-out and the corner forecast,
// driven through the real window.
#include <gtest/gtest.h>

#include <string>

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "main_window_controls.h"
#include "tests/explorer_test_support.h"
#include "ui/main_window/tform1.h"
#include "ui/toolkit/events.h"
#include "ui_test_support.h"

namespace trapezola {
namespace {

using testing::ReportedErrors;
using testing::setTextQuietly;
using testing::SharedStateGuard;

class TablePointerHandlers : public ::testing::Test {
 protected:
  void SetUp() override {
    Explorer& ex = Form1->explorer();
    ex.table = BilliardTable{};
    ex.window = PhaseWindowRecord{};
    ex.resume = ResumeStateRecord{};
    ex.hover = HoverPointRecord{};
    ex.runCount = 0;
    mainComboBox("kovetes")->SetItemIndex(-1);
    mainTrackBar("TrackBar1")->SetPosition(-50);
    for (toolkit::TLabel* label : {mainLabel("Label8"), mainLabel("Label9"), mainLabel("Label11")})
      label->SetText("");
  }
  void TearDown() override {
    Explorer& ex = Form1->explorer();
    ex.runCount = 0;
    ex.hover = HoverPointRecord{};
  }

  static void go(const char* b, const char* rr) {
    mainEdit("Edit1")->SetText(b);
    mainEdit("Edit2")->SetText(rr);
    mainEdit("Edit3")->SetText("0.7");
    mainEdit("Edit4")->SetText("60");
    mainEdit("Edit5")->SetText("1");
    Form1->Button1Click();
    Form1->WaitForRun();
  }

  SharedStateGuard state_;
};

TEST_F(TablePointerHandlers, LeavingRatioRebuildsShowsTheRangeAndSketches) {
  Explorer& ex = Form1->explorer();
  setTextQuietly(mainEdit("Edit1"), "1");
  setTextQuietly(mainEdit("Edit2"), "2");
  ex.resume.x = 1;
  mainButton("Button1")->SetText("continue");
  Form1->Edit2Exit();
  const std::string want =
      "delta=63.435 degree\nr=1.118  R8=2.2361  R=1.118\n\nDistance from the first corner?\n(0 . . 2.47566 . "
      ". "
      "4.549155 . . 7.024815 . . 9.09831)";
  EXPECT_EQ(mainLabel("Label1")->GetText(), want);
  EXPECT_EQ(mainEdit("Edit3")->GetHint(), want);
  EXPECT_EQ(ex.resume.x, 0);
  EXPECT_EQ(mainButton("Button1")->GetText(), "go");
  EXPECT_EQ(mainProgressBar("ProgressBar1")->Position(), 0);
  const toolkit::TCanvas& sketch = *mainImage("vazlat")->Canvas;
  EXPECT_EQ(sketch.pixel(105, 116), toolkit::clWhite);
  EXPECT_EQ(sketch.Pen->Color, toolkit::clBlack);

  setTextQuietly(mainEdit("Edit1"), "0.5");
  Form1->Edit2Exit();
  EXPECT_EQ(
      mainLabel("Label1")->GetText(),
      "r=0.68853  R8=2.0656  R=1.0328\n\nDistance from the first corner?\n(0 . . 1.119214 . . 3.20695 . . "
      "5.929639 . . 8.017375)");
}

TEST_F(TablePointerHandlers, BadRatioLeavesThePreviousTableWhole) {
  Explorer& ex = Form1->explorer();
  setTextQuietly(mainEdit("Edit1"), "0.5");
  setTextQuietly(mainEdit("Edit2"), "2");
  Form1->Edit2Exit();
  const BilliardTable before = ex.table;
  ReportedErrors errors;
  setTextQuietly(mainEdit("Edit1"), "1");
  setTextQuietly(mainEdit("Edit2"), "2,5");
  ex.resume.x = 1;
  // As the field's focus-out event runs it: the error goes to the display.
  toolkit::runHandlers([] { Form1->Edit2Exit(); });
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_NE(errors.messages[0].find("'2,5'"), std::string::npos);
  EXPECT_EQ(ex.table.b, before.b);
  EXPECT_EQ(ex.table.theta, before.theta);
  EXPECT_EQ(ex.table.s4, before.s4);
  // The fresh-run reset comes before the fields are read, as it always has.
  EXPECT_EQ(ex.resume.x, 0);
}

TEST_F(TablePointerHandlers, LeavingBShowsThePromptAndAProvisionalTheta) {
  Explorer& ex = Form1->explorer();
  mainEdit("Edit1")->SetText("1");
  Form1->Edit1Exit();
  EXPECT_EQ(mainLabel("Label1")->GetText(),
            "What is the parameter of the transformation!\n(1-circle ... infinite-squash)");
  EXPECT_EQ(mainEdit("Edit2")->GetHint(), mainLabel("Label1")->GetText());
  EXPECT_EQ(ex.table.theta, pi / 2);
  EXPECT_EQ(ex.table.height, 2);
}

TEST_F(TablePointerHandlers, ReadOutOfTheWorkedPoint) {
  go("1", "2");
  Form1->faziskepMouseMove(0, 395, 342);
  EXPECT_EQ(mainLabel("Label8")->GetText(), "dist:  4.549155  angle:  90");
  EXPECT_EQ(mainLabel("Label9")->GetText(), "x: -1     y: -1");
  // Outside the plot nothing changes.
  Form1->faziskepMouseMove(0, 5, 342);
  Form1->faziskepMouseMove(0, 395, 676);
  EXPECT_EQ(mainLabel("Label8")->GetText(), "dist:  4.549155  angle:  90");
}

TEST_F(TablePointerHandlers, ReadOutIsInactiveBeforeTheFirstRun) {
  Explorer& ex = Form1->explorer();
  Form1->faziskepMouseMove(0, 395, 342);
  EXPECT_EQ(mainLabel("Label8")->GetText(), "");
  EXPECT_EQ(ex.hover.s, 0);
}

TEST_F(TablePointerHandlers, ForecastTexts) {
  Explorer& ex = Form1->explorer();
  go("1", "1");  // the circle: each bounce advances s by 2 phi sqrt(2)
  // s = 1.99868, phi = 0.86318: the first bounce lands 0.003 from corner 3.
  Form1->faziskepMouseMove(0, 181, 492);
  const HoverPointRecord hovered = ex.hover;
  Form1->faziskepClick();
  EXPECT_EQ(mainLabel("Label11")->GetText(), "closest corner is in: 1steps");
  EXPECT_EQ(ex.hover.s, hovered.s);
  EXPECT_EQ(ex.hover.phi, hovered.phi);
  mainTrackBar("TrackBar1")->SetPosition(5);  // a negative sensitivity is never met
  Form1->faziskepClick();
  EXPECT_EQ(mainLabel("Label11")->GetText(), "won't approach any corners in a while");
}

}  // namespace
}  // namespace trapezola
