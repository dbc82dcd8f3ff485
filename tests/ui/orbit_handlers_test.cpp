// "go", continue, the double click and "clear", driven through the real window:
// fresh against continued runs, the labels they write, the mended gestures
// before any run, the all-or-nothing rebuild, and that trapezola-cli render
// draws exactly the window's portrait.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdint>
#include <string>

#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "main_window_controls.h"
#include "tests/explorer_test_support.h"
#include "ui/main_window/run_progress.h"
#include "ui/main_window/tform1.h"
#include "ui_test_support.h"

namespace trapezola {
namespace {

using testing::ReportedErrors;
using testing::SharedStateGuard;

// Every test starts from the program's start values and a white portrait.
class OrbitHandlers : public ::testing::Test {
 protected:
  void SetUp() override {
    Explorer& ex = Form1->explorer();
    ex.table = BilliardTable{};
    ex.ball = WindowBall{};
    ex.window = PhaseWindowRecord{};
    ex.resume = ResumeStateRecord{};
    ex.hover = HoverPointRecord{};
    ex.runCount = 0;
    mainImage("faziskep")->Canvas->Brush->Color = toolkit::clWhite;
    mainImage("faziskep")->Canvas->FillRect(0, 0, portraitWidth, portraitHeight);
    mainComboBox("ComboBox1")->SetItemIndex(0);
    mainColorBox("ColorBox1")->SetSelected(toolkit::clBlack);
    mainCheckBox("CheckBox3")->SetChecked(true);
    mainButton("Button1")->SetText("go");
  }
  void TearDown() override {
    Explorer& ex = Form1->explorer();
    ex.runCount = 0;
    ex.hover = HoverPointRecord{};
  }

  static void fillFields(const char* b, const char* rr, const char* distance, const char* angle,
                         const char* repeat) {
    mainEdit("Edit1")->SetText(b);
    mainEdit("Edit2")->SetText(rr);
    mainEdit("Edit3")->SetText(distance);
    mainEdit("Edit4")->SetText(angle);
    mainEdit("Edit5")->SetText(repeat);
  }

  // Where n bounces from a fresh launch of the fields end.
  static WindowBall bouncesFromFields(double b, double rr, double s, double angle, int n) {
    Explorer& ex = Form1->explorer();
    const WindowBall savedBall = ex.ball;
    const PhaseWindowRecord savedWindow = ex.window;
    setupTable(ex, b, rr, s, angle, 1);
    launch(ex);
    for (int i = 0; i < n; ++i) bounceOn(ex);
    const WindowBall end = ex.ball;
    ex.ball = savedBall;
    ex.window = savedWindow;
    return end;
  }

  SharedStateGuard state_;
};

TEST_F(OrbitHandlers, GoThenGoContinuesTheOrbit) {
  Explorer& ex = Form1->explorer();
  fillFields("0.5", "2", "0.7", "60", "1");
  const WindowBall want = bouncesFromFields(0.5, 2, 0.7, 60, 2000);
  Form1->Button1Click();
  Form1->WaitForRun();
  EXPECT_EQ(mainButton("Button1")->GetText(), "continue");
  EXPECT_EQ(mainLabel("Label8")->GetText(), "ready!");
  EXPECT_EQ(mainProgressBar("ProgressBar1")->Position(), 1000);
  Form1->Button1Click();
  Form1->WaitForRun();
  EXPECT_EQ(mainButton("Button1")->GetText(), "continue");
  EXPECT_EQ(ex.runCount, 2);
  EXPECT_EQ(ex.resume.x, want.hitX);
  EXPECT_EQ(ex.resume.dy, want.newDy);
}

TEST_F(OrbitHandlers, GoEditGoStartsAfresh) {
  Explorer& ex = Form1->explorer();
  fillFields("0.5", "2", "0.7", "60", "1");
  Form1->Button1Click();
  Form1->WaitForRun();
  mainEdit("Edit4")->SetText("61");
  EXPECT_EQ(mainButton("Button1")->GetText(), "go");
  const WindowBall want = bouncesFromFields(0.5, 2, 0.7, 61, 1000);
  Form1->Button1Click();
  Form1->WaitForRun();
  EXPECT_EQ(ex.resume.x, want.hitX);
  EXPECT_EQ(ex.resume.y, want.hitY);
}

TEST_F(OrbitHandlers, GoWritesTheSummaryAndTheCorners) {
  fillFields("1", "2", "0.7", "60", "1");
  Form1->Button1Click();
  Form1->WaitForRun();
  EXPECT_EQ(
      mainLabel("Label1")->GetText(),
      "delta= 63.435 degree\n\nr=1.118  R8=2.2361  R=1.118\n\ncorners: 2.47566 .. 4.549155 .. 7.024815 .. "
      "9.09831)");
  EXPECT_EQ(mainLabel("Label11")->GetText(), "1 1 -1 1 -1 -1 1 -1 ");
  fillFields("0.5", "2", "0.7", "60", "1");
  Form1->Button1Click();
  Form1->WaitForRun();
  EXPECT_EQ(mainLabel("Label1")->GetText(),
            "r=0.68853  R8=2.0656  R=1.0328\n\ncorners: 1.119214 .. 3.20695 .. 5.929639 .. 8.017375)");
  EXPECT_EQ(mainLabel("Label11")->GetText(), "0.5 1.161895 -0.5 1.161895 -1 -0.7745967 1 -0.7745967 ");
}

TEST_F(OrbitHandlers, DoubleClickRunsTwoThousandAndTwoBouncesForRepeatOne) {
  Explorer& ex = Form1->explorer();
  fillFields("0.5", "2", "0.7", "60", "1");
  Form1->Button1Click();
  Form1->WaitForRun();
  // Start the double click from a known state: a fresh placement.
  setupTable(ex, 0.5, 2, 1.3, 47, 1);
  launch(ex);
  const WindowBall start = ex.ball;
  for (int i = 0; i < 2002; ++i) bounceOn(ex);
  const WindowBall want = ex.ball;
  ex.ball = start;
  Form1->faziskepDblClick();
  Form1->WaitForRun();
  EXPECT_EQ(ex.resume.x, want.hitX);
  EXPECT_EQ(ex.resume.dx, want.newDx);
  EXPECT_EQ(ex.runCount, 1);
  EXPECT_EQ(mainButton("Button1")->GetText(), "continue");
}

TEST_F(OrbitHandlers, GesturesBeforeAnyRunDoNothing) {
  Explorer& ex = Form1->explorer();
  // The ball stands on no table: a bounce would reach the reflection's fatal
  // guard and end the program.
  ReportedErrors errors;
  mainEdit("Edit5")->SetText("1");
  mainLabel("Label11")->SetText("before");
  Form1->faziskepClick();
  Form1->faziskepDblClick();
  Form1->WaitForRun();
  EXPECT_EQ(mainLabel("Label11")->GetText(), "before");
  EXPECT_EQ(ex.resume.x, 0);
  EXPECT_EQ(mainImage("faziskep")->Canvas->pixel(400, 400), toolkit::clWhite);
  EXPECT_TRUE(errors.messages.empty());
}

TEST_F(OrbitHandlers, BadFieldLeavesThePreviousTableWhole) {
  Explorer& ex = Form1->explorer();
  fillFields("0.5", "2", "0.7", "60", "1");
  Form1->Button1Click();
  Form1->WaitForRun();
  const BilliardTable before = ex.table;
  ReportedErrors errors;
  mainEdit("Edit1")->SetText("1");
  mainEdit("Edit2")->SetText("3");
  testing::setTextQuietly(mainEdit("Edit4"), "sixty");
  mainEdit("Edit3")->SetText("0.2");  // resets the resume state, as any start edit does
  const ResumeStateRecord cleared = ex.resume;
  mainButton("Button1")->click();
  Form1->WaitForRun();
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_NE(errors.messages[0].find("'sixty'"), std::string::npos);
  EXPECT_EQ(ex.table.b, before.b);
  EXPECT_EQ(ex.table.rr, before.rr);
  EXPECT_EQ(ex.table.s4, before.s4);
  EXPECT_EQ(ex.resume.x, cleared.x);
  EXPECT_EQ(ex.runCount, 1);
}

TEST_F(OrbitHandlers, ClearKeepsTheLastColumn) {
  Explorer& ex = Form1->explorer();
  fillFields("0.5", "2", "0.7", "60", "1");
  Form1->Button1Click();
  Form1->WaitForRun();
  toolkit::TCanvas& c = *mainImage("faziskep")->Canvas;
  c.Brush->Color = toolkit::clBlack;
  c.FillRect(0, 0, portraitWidth, portraitHeight);
  mainColorBox("ColorBox1")->SetSelected(toolkit::clRed);
  Form1->Button4Click();
  EXPECT_EQ(c.pixel(792, 100), toolkit::clWhite);
  EXPECT_EQ(c.pixel(793, 100), toolkit::clBlack);
  EXPECT_EQ(c.Pen->Color, toolkit::clRed);
  EXPECT_EQ(ex.window.sMax, 11.0);
  EXPECT_EQ(mainButton("Button1")->GetText(), "continue");  // clear keeps the orbit to continue
}

// The run's passes on a clock of the test's own: each pass takes `passMs`.
int repaintsOverPasses(int passes, std::int64_t passMs) {
  mainProgressBar("ProgressBar1")->SetPosition(0);
  std::int64_t now = 1000;
  RunProgress progress(*mainProgressBar("ProgressBar1"), *mainImage("faziskep"), [&now] { return now; });
  for (int pass = 0; pass < passes; ++pass) {
    now += passMs;
    progress.passDone();
  }
  EXPECT_EQ(mainProgressBar("ProgressBar1")->Position(), passes);
  return progress.repaints();
}

TEST_F(OrbitHandlers, RunProgressRepaintsAtMostEveryFiftyMilliseconds) {
  // 300 ms of 5 ms passes: a repaint at 50, 100, ... 300 ms, never one per pass.
  EXPECT_EQ(repaintsOverPasses(60, 5), 6);
  // A run that ends within the first interval shows only its end, which the
  // handlers draw anyway.
  EXPECT_EQ(repaintsOverPasses(1000, 0), 0);
  EXPECT_EQ(repaintsOverPasses(49, 1), 0);
  // Slow passes: each one is shown, but no more often than that.
  EXPECT_EQ(repaintsOverPasses(10, 200), 10);
  EXPECT_EQ(repaintsOverPasses(7, 50), 7);
}

TEST_F(OrbitHandlers, WindowAndRenderDrawTheSamePortrait) {
  fillFields("0.5", "2", "0.7", "60", "2");
  mainComboBox("ComboBox1")->SetItemIndex(1);
  mainColorBox("ColorBox1")->SetSelected(0xFF0000);
  Form1->Button1Click();
  Form1->WaitForRun();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString out = dir.filePath("portrait.png");
  QProcess cli;
  cli.start(TRAPEZOLA_CLI,
            {"render", "--b", "0.5", "--rr", "2", "--distance", "0.7", "--angle", "60", "--repeat", "2",
             "--size", "big", "--colour", QString::number(0xFF0000), "--out", out});
  ASSERT_TRUE(cli.waitForFinished(60000));
  ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  QImage rendered(out);
  ASSERT_EQ(rendered.size(), QSize(portraitWidth, portraitHeight));
  rendered = rendered.convertToFormat(QImage::Format_RGB32);
  const toolkit::TCanvas& shown = *mainImage("faziskep")->Canvas;
  int differing = 0;
  for (int y = 0; y < portraitHeight; ++y) {
    for (int x = 0; x < portraitWidth; ++x) {
      differing += (rendered.pixel(x, y) | 0xFF000000u) != shown.bits()[y * portraitWidth + x];
    }
  }
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace trapezola
