// The right-button gestures on the portrait: a drag zooms into its rectangle
// and replays the hovered orbit, a click analyses the hovered orbit and sends
// its lg(Tr) series to the Lyapunov window and the data file.
#include <gtest/gtest.h>

#include <QTest>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "analysis_test_support.h"
#include "core/analysis/lgtr_data_file.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"
#include "explorer/pointer_readout.h"
#include "explorer/window_geometry.h"
#include "main_window_controls.h"
#include "raster/conversions.h"
#include "tests/explorer_test_support.h"
#include "ui/lyapunov_window/lyapunov_graph.h"

namespace trapezola {
namespace {

using testing::DataFileInTemporaryFolder;
using testing::fileText;
using testing::ReportedErrors;
using testing::setTextQuietly;
using testing::WindowStateGuard;
using toolkit::mbLeft;
using toolkit::mbMiddle;
using toolkit::mbRight;

class RightButtonGestures : public ::testing::Test {
 protected:
  void SetUp() override {
    Explorer& ex = Form1->explorer();
    ASSERT_TRUE(dataFile_.valid());
    ex.window = PhaseWindowRecord{};
    setTextQuietly(mainEdit("Edit6"), "0");
    mainCheckBox("CheckBox4")->SetChecked(false);
    mainTrackBar("TrackBar1")->SetPosition(-50);
    setTextQuietly(Form3->Edit1, "500");
    setTextQuietly(Form3->Edit2, "100");
    LyapunovGraph = LyapunovGraphRecord{};
  }

  // A fresh go run's table and full phase window, without its 1000 passes.
  static void useTable(double b, double rr, int repeat = 1) {
    Explorer& ex = Form1->explorer();
    setupTable(ex, b, rr, 0.7, 60, repeat);
    launch(ex);
    ex.runCount = 1;
    ex.pointSize = 2;
  }

  static void rightDrag(int x0, int y0, int x1, int y1) {
    Form1->faziskepMouseDown(mbRight, 0, x0, y0);
    Form1->faziskepMouseUp(mbRight, 0, x1, y1);
  }

  static std::vector<std::string> words(const std::string& text, char separator) {
    std::vector<std::string> out;
    std::string word;
    std::istringstream in(text);
    while (std::getline(in, word, separator)) out.push_back(word);
    return out;
  }

  WindowStateGuard windows_;
  DataFileInTemporaryFolder dataFile_;
};

// ---------------------------------------------------------------------------
// Zoom

TEST_F(RightButtonGestures, ZoomGivesTheSameWindowInEitherDragDirection) {
  Explorer& ex = Form1->explorer();
  struct Drag {
    int x0, y0, x1, y1;
  };
  useTable(1, 2);
  const PhaseWindowRecord full = ex.window;
  for (const Drag d : {Drag{100, 100, 300, 250}, Drag{300, 250, 100, 100}, Drag{100, 250, 300, 100}}) {
    ex.window = full;
    ex.hover.s = 2.0;
    ex.hover.phi = 1.0;
    rightDrag(d.x0, d.y0, d.x1, d.y1);
    const PhaseWindowRecord& w = ex.window;
    // The rectangle's corners read with the window from before the zoom.
    EXPECT_EQ(w.sMin, full.sMin + (100.0 - 6) / full.scaleS);
    EXPECT_EQ(w.sMax, full.sMin + (300.0 - 6) / full.scaleS);
    EXPECT_EQ(w.phiMin, full.phiMax - (250.0 - 9) / full.scalePhi);
    EXPECT_EQ(w.phiMax, full.phiMax - (100.0 - 9) / full.scalePhi);
    EXPECT_EQ(w.scaleS, 778 / (w.sMax - w.sMin));
    EXPECT_EQ(w.scalePhi, 666 / (w.phiMax - w.phiMin));
    const std::vector<std::string> parts = words(mainLabel("Label11")->GetText(), ' ');
    ASSERT_EQ(parts.size(), 4u) << mainLabel("Label11")->GetText();
    EXPECT_EQ(parts[0], toolkit::FloatToStr(w.scaleS));
    EXPECT_EQ(parts[1], "");
    EXPECT_EQ(parts[2], "200");
    EXPECT_EQ(parts[3], toolkit::FloatToStr(w.scalePhi));
  }
}

TEST_F(RightButtonGestures, ZoomsComposeInsideTheCurrentWindow) {
  Explorer& ex = Form1->explorer();
  useTable(1, 2);
  rightDrag(100, 100, 500, 400);
  const PhaseWindowRecord first = ex.window;
  rightDrag(6, 9, 395, 342);
  // The second rectangle is the top left half of the first window in pixels:
  // 389 of its 778 columns and 333 of its 666 rows. Tolerance: a few roundings
  // of numbers of order 10.
  EXPECT_DOUBLE_EQ(ex.window.sMin, first.sMin);
  EXPECT_NEAR(ex.window.sMax, first.sMin + (first.sMax - first.sMin) / 2, 1e-12);
  EXPECT_NEAR(ex.window.phiMin, first.phiMax - (first.phiMax - first.phiMin) / 2, 1e-12);
  EXPECT_DOUBLE_EQ(ex.window.phiMax, first.phiMax);
}

TEST_F(RightButtonGestures, ZoomClearsThePortraitAndReplaysTheHoveredOrbit) {
  Explorer& ex = Form1->explorer();
  useTable(1, 2, 3);
  toolkit::TCanvas& portrait = *mainImage("faziskep")->Canvas;
  portrait.Brush->Color = toolkit::clGreen;
  portrait.FillRect(0, 0, 794, 681);
  mainColorBox("ColorBox1")->SetSelected(toolkit::clBlue);
  mainProgressBar("ProgressBar1")->SetPosition(0);
  const ResumeStateRecord resume{0.25, -0.5, 0.6, 0.8};
  ex.resume = resume;
  // The pointer came to rest on the release point, as it does at a drag's end.
  hoverAt(ex, 500, 400);
  rightDrag(100, 100, 500, 400);

  EXPECT_EQ(ex.ball.startS, ex.hover.s);
  // Column 793 lies outside the cleared rectangle.
  EXPECT_EQ(portrait.pixel(793, 300), toolkit::clGreen);
  EXPECT_EQ(portrait.pixel(0, 0), toolkit::clWhite);
  int dots = 0;
  for (int y = 0; y < 681; ++y) {
    for (int x = 0; x < 793; ++x) {
      const toolkit::TColor c = portrait.pixel(x, y);
      if (c == toolkit::clBlue) ++dots;
      ASSERT_TRUE(c == toolkit::clBlue || c == toolkit::clWhite) << x << ", " << y;
    }
  }
  EXPECT_GT(dots, 0);
  EXPECT_EQ(mainProgressBar("ProgressBar1")->Position(), 1000);
  EXPECT_EQ(ex.runCount, 1);
  EXPECT_EQ(ex.resume.x, resume.x);
  EXPECT_EQ(ex.resume.dy, resume.dy);
}

TEST_F(RightButtonGestures, ReleaseOnThePressRowOrColumnIsAnAnalysis) {
  Explorer& ex = Form1->explorer();
  useTable(1, 1);
  ex.hover.s = 0.7;
  ex.hover.phi = pi / 3;
  const PhaseWindowRecord before = ex.window;
  for (const auto& [x, y] : {std::pair{100, 250}, std::pair{300, 100}, std::pair{100, 100}}) {
    mainLabel("Label11")->SetText("");
    std::filesystem::remove(dataFile_.path());
    rightDrag(100, 100, x, y);
    EXPECT_EQ(mainLabel("Label11")->GetText().rfind("period?: 3 ; 3 , 3 , 3\n", 0), 0u) << x << ", " << y;
    EXPECT_TRUE(std::filesystem::exists(dataFile_.path()));
    EXPECT_EQ(ex.window.sMax, before.sMax);
    EXPECT_EQ(ex.window.scalePhi, before.scalePhi);
  }
}

TEST_F(RightButtonGestures, OnlyTheRightButtonCounts) {
  Explorer& ex = Form1->explorer();
  useTable(1, 2);
  const PhaseWindowRecord before = ex.window;
  mainLabel("Label11")->SetText("unchanged");
  for (const toolkit::TMouseButton button : {mbLeft, mbMiddle}) {
    Form1->faziskepMouseDown(button, 0, 100, 100);
    Form1->faziskepMouseUp(button, 0, 300, 250);
    Form1->faziskepMouseDown(button, 0, 100, 100);
    Form1->faziskepMouseUp(button, 0, 100, 100);
  }
  EXPECT_EQ(ex.window.sMin, before.sMin);
  EXPECT_EQ(ex.window.phiMax, before.phiMax);
  EXPECT_EQ(mainLabel("Label11")->GetText(), "unchanged");
  EXPECT_FALSE(std::filesystem::exists(dataFile_.path()));
}

// Regression: before any go or load the table is unbuilt, and an analysis
// would bounce on it into the reflection's fatal guard.
TEST_F(RightButtonGestures, DoNothingBeforeTheFirstRunOrLoad) {
  Explorer& ex = Form1->explorer();
  ex.table = BilliardTable{};
  ex.ball = WindowBall{};
  ex.runCount = 0;
  mainLabel("Label11")->SetText("unchanged");
  rightDrag(100, 100, 300, 250);
  rightDrag(100, 100, 100, 100);
  EXPECT_EQ(ex.window.sMax, PhaseWindowRecord{}.sMax);
  EXPECT_EQ(ex.window.scaleS, PhaseWindowRecord{}.scaleS);
  EXPECT_EQ(ex.ball.x, 0);
  EXPECT_EQ(ex.ball.startS, 0);
  EXPECT_EQ(mainLabel("Label11")->GetText(), "unchanged");
  EXPECT_FALSE(std::filesystem::exists(dataFile_.path()));
  EXPECT_FALSE(Form3->isVisible());
}

// ---------------------------------------------------------------------------
// Analysis

// In a circle every chord has L = 2 R sin(phi), so three bounces at 60 degrees
// close the orbit and the monodromy is -I + 3N: trace -2, m11 -7, m22 5.
// Rounding leaves |t| a little above 2, within the product's rounding bound: the
// orbit is parabolic (the label used to read "hiperbolic").
TEST_F(RightButtonGestures, CircleOrbitOfPeriodThree) {
  Explorer& ex = Form1->explorer();
  useTable(1, 1);
  ex.hover.s = 0.7;
  ex.hover.phi = pi / 3;
  // Blocks of one period: each block product is the monodromy itself.
  setTextQuietly(Form3->Edit1, "3");
  setTextQuietly(Form3->Edit2, "20");
  rightDrag(200, 200, 200, 200);
  EXPECT_EQ(mainLabel("Label11")->GetText(), "period?: 3 ; 3 , 3 , 3\n-2  parabolic\nm11=-7  ;  m22=5");
  EXPECT_EQ(ex.ball.startS, 0.7);

  // The products (-I + 3N)^m keep |trace| = 2, so every value is ln 2 to the
  // file's six decimals.
  std::istringstream text(fileText(dataFile_.path()));
  std::string line;
  int count = 0;
  while (std::getline(text, line)) {
    ++count;
    char expected[64];
    std::snprintf(expected, sizeof expected, "%4i   %20f ", count, 0.693147);
    EXPECT_EQ(line, expected);
  }
  EXPECT_EQ(count, 20);
  EXPECT_EQ(LyapunovGraph.blockSize, 3);
  EXPECT_EQ(LyapunovGraph.blockCount, 20);
  // ln 2 in single precision.
  EXPECT_NEAR(LyapunovGraph.lgTrMax, std::log(2.0), 1e-7);
  EXPECT_EQ(Form3->Label4->GetText(), "lg(tr)max: 1");
}

struct TypedPeriodCase {
  const char* field;
  const char* label;  // nullptr: the label keeps its text
};

void PrintTo(const TypedPeriodCase& c, std::ostream* out) {
  *out << '"' << c.field << '"';
}

class TypedPeriod : public RightButtonGestures, public ::testing::WithParamInterface<TypedPeriodCase> {};

// Only the exact text "0" asks for the search; any other whole number is the
// period. Below 1 the product is the identity; 1000 stands for "not periodic"
// and computes no matrix.
TEST_P(TypedPeriod, SetsTheLabel) {
  Explorer& ex = Form1->explorer();
  useTable(1, 2);
  ex.hover.s = 1.3;
  ex.hover.phi = 1.1;
  setTextQuietly(mainEdit("Edit6"), GetParam().field);
  mainLabel("Label11")->SetText("before");
  rightDrag(200, 200, 200, 300);
  EXPECT_EQ(mainLabel("Label11")->GetText(), GetParam().label ? GetParam().label : "before");
  // Every analysis writes its series.
  EXPECT_TRUE(std::filesystem::exists(dataFile_.path()));
}

INSTANTIATE_TEST_SUITE_P(Periods, TypedPeriod,
                         ::testing::Values(TypedPeriodCase{"00", "period?: 0\n2  parabolic\nm11=1  ;  m22=1"},
                                           TypedPeriodCase{"-3",
                                                           "period?: -3\n2  parabolic\nm11=1  ;  m22=1"},
                                           TypedPeriodCase{"1000", nullptr}));

TEST_F(RightButtonGestures, NoReturnWithAPositiveSliderIsNotPeriodicButStillRunsTheSeries) {
  Explorer& ex = Form1->explorer();
  useTable(1, 1);
  ex.hover.s = 0.7;
  ex.hover.phi = pi / 3;
  mainTrackBar("TrackBar1")->SetPosition(0);
  rightDrag(200, 200, 200, 200);
  EXPECT_EQ(mainLabel("Label11")->GetText(), "not periodic");
  EXPECT_EQ(readLgTrFile(dataFile_.path(), 100).back().block, 100);
}

// Regression: the conversion error comes before the ball is placed, so the
// analysis that cannot start leaves everything as it was.
TEST_F(RightButtonGestures, PeriodThatIsNoWholeNumberChangesNothing) {
  Explorer& ex = Form1->explorer();
  useTable(1, 2);
  ex.hover.s = 1.3;
  ex.hover.phi = 1.1;
  const WindowBall ball = ex.ball;
  mainLabel("Label11")->SetText("before");
  setTextQuietly(mainEdit("Edit6"), "2.5");
  ReportedErrors errors;
  QTest::mousePress(mainImage("faziskep"), Qt::RightButton, Qt::NoModifier, QPoint(200, 200));
  QTest::mouseRelease(mainImage("faziskep"), Qt::RightButton, Qt::NoModifier, QPoint(200, 200));
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(errors.messages[0], "'2.5' is not a valid integer value");
  EXPECT_EQ(mainLabel("Label11")->GetText(), "before");
  EXPECT_EQ(ex.ball.x, ball.x);
  EXPECT_EQ(ex.ball.dy, ball.dy);
  EXPECT_EQ(ex.ball.startS, ball.startS);
  EXPECT_FALSE(std::filesystem::exists(dataFile_.path()));
}

TEST_F(RightButtonGestures, GraphBoxDecidesOnlyWhetherTheSeriesIsDrawn) {
  Explorer& ex = Form1->explorer();
  useTable(1, 1);
  ex.hover.s = 0.7;
  ex.hover.phi = pi / 3;
  for (const bool drawn : {false, true}) {
    Form3->setVisible(false);
    Form3->Image1DblClick();
    std::filesystem::remove(dataFile_.path());
    mainCheckBox("CheckBox4")->SetChecked(drawn);
    rightDrag(200, 200, 200, 200);
    // ln 2 at yMax 40000 lies on row trunc(330 - 0.693 * 0.00825) = 329, from
    // block 0 at column 5 to block 100 at column 405.
    EXPECT_EQ(Form3->isVisible(), drawn);
    EXPECT_EQ(Form3->Image1->Canvas->pixel(200, 329), drawn ? toolkit::clBlack : toolkit::clWhite);
    EXPECT_EQ(readLgTrFile(dataFile_.path(), 100).size(), 100u) << drawn;
    EXPECT_EQ(Form3->Label4->GetText(), "lg(tr)max: 1");
  }
}

TEST_F(RightButtonGestures, AnalysisErrorsOfTheLyapunovWindowAreShownAndStopIt) {
  Explorer& ex = Form1->explorer();
  useTable(1, 1);
  ex.hover.s = 0.7;
  ex.hover.phi = pi / 3;
  setTextQuietly(Form3->Edit2, "0");
  ReportedErrors errors;
  QTest::mousePress(mainImage("faziskep"), Qt::RightButton, Qt::NoModifier, QPoint(200, 200));
  QTest::mouseRelease(mainImage("faziskep"), Qt::RightButton, Qt::NoModifier, QPoint(200, 200));
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_NE(errors.messages[0].find("number of blocks must be at least 1"), std::string::npos)
      << errors.messages[0];
  // The analysis itself came first.
  EXPECT_EQ(mainLabel("Label11")->GetText().rfind("period?: 3", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(dataFile_.path()));
}

}  // namespace
}  // namespace trapezola
