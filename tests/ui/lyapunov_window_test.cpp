// The Lyapunov window: the lg(Tr) series it receives (data file, graph, track
// bars), the linear fit over the track-bar window, the double click and the
// track bars' corrections.
#include <gtest/gtest.h>

#include <QTest>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "analysis_test_support.h"
#include "main_window_controls.h"
#include "raster/conversions.h"
#include "ui/lyapunov_window/lyapunov_graph.h"

namespace trapezola {
namespace {

using testing::DataFileInTemporaryFolder;
using testing::fileText;
using testing::ReportedErrors;
using testing::setTextQuietly;
using testing::WindowStateGuard;
using testing::writeFile;
using toolkit::TCanvas;

class LyapunovGraphWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dataFile_.valid());
    LyapunovGraph = LyapunovGraphRecord{};
    setTextQuietly(Form3->Edit1, "500");
    setTextQuietly(Form3->Edit2, "100");
    mainCheckBox("CheckBox4")->SetChecked(true);
    Form3->Image1DblClick();
  }

  static TCanvas& graph() { return *Form3->Image1->Canvas; }

  static void series(const std::vector<double>& values) {
    Form3->beginLgTrSeries(true);
    for (std::size_t m = 0; m < values.size(); ++m) Form3->addLgTrPoint(static_cast<int>(m) + 1, values[m]);
    Form3->endLgTrSeries();
  }

  WindowStateGuard windows_;
  DataFileInTemporaryFolder dataFile_;
};

// ---------------------------------------------------------------------------
// Series

TEST_F(LyapunovGraphWindow, SeriesLinesFollowThePrintfFormat) {
  writeFile(dataFile_.path(), "previous series\n");
  setTextQuietly(Form3->Edit2, "2");
  Form3->beginLgTrSeries(true);
  Form3->addLgTrPoint(1, 693.1471806);
  Form3->addLgTrPoint(2, -0.5);
  // The file is replaced only when the series is complete.
  EXPECT_EQ(fileText(dataFile_.path()), "previous series\n");
  Form3->endLgTrSeries();
  EXPECT_EQ(fileText(dataFile_.path()), "   1" + std::string(3 + 10, ' ') + "693.147181 \n" +  //
                                            "   2" + std::string(3 + 11, ' ') + "-0.500000 \n");
  EXPECT_EQ(LyapunovGraph.lgTrMax, static_cast<float>(693.1471806));
  EXPECT_EQ(Form3->Label4->GetText(), "lg(tr)max: 694");
}

TEST_F(LyapunovGraphWindow, UnfinishedSeriesLeavesThePreviousFile) {
  writeFile(dataFile_.path(), "previous series\n");
  Form3->beginLgTrSeries(true);
  Form3->addLgTrPoint(1, 2.0);
  series({1.0, 2.0});
  EXPECT_EQ(fileText(dataFile_.path()).substr(0, 4), "   1");
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(dataFile_.folder()))
    files.push_back(entry.path());
  EXPECT_EQ(files, std::vector<std::filesystem::path>{dataFile_.path()});
}

TEST_F(LyapunovGraphWindow, ValuesBelowZeroLeaveTheMaximumAtZero) {
  setTextQuietly(Form3->Edit2, "3");
  series({-1.5, -0.25, -3.0});
  EXPECT_EQ(LyapunovGraph.lgTrMax, 0.0f);
  EXPECT_EQ(Form3->Label4->GetText(), "lg(tr)max: 0");
}

struct BlockCountCase {
  const char* blocks;
  float xStep;
  int lastColumn;  // where the last block lands; 0 when every block is at column 5
};

void PrintTo(const BlockCountCase& c, std::ostream* out) {
  *out << c.blocks << " blocks";
}

class SeriesScales : public LyapunovGraphWindow, public ::testing::WithParamInterface<BlockCountCase> {};

// 400 div blockCount whole pixels per block, and as many positions per tick.
TEST_P(SeriesScales, FollowTheBlockCount) {
  const BlockCountCase& c = GetParam();
  setTextQuietly(Form3->Edit2, c.blocks);
  const int blocks = toolkit::StrToInt(c.blocks);
  series(std::vector<double>(static_cast<std::size_t>(blocks), 20000.0));
  EXPECT_EQ(LyapunovGraph.blockCount, blocks);
  EXPECT_EQ(LyapunovGraph.xStep, c.xStep);
  EXPECT_EQ(LyapunovGraph.yScale, 330.0f / 40000.0f);
  EXPECT_EQ(Form3->TrackBar1->Max(), blocks);
  EXPECT_EQ(Form3->TrackBar1->Position(), blocks);
  EXPECT_EQ(Form3->TrackBar2->Max(), blocks);
  EXPECT_EQ(Form3->TrackBar1->Frequency(), static_cast<int>(c.xStep));
  EXPECT_EQ(Form3->TrackBar2->Frequency(), static_cast<int>(c.xStep));
  EXPECT_TRUE(Form3->isVisible());
  // 20000 at yMax 40000 is row 165; the polyline rises there from ln 2 at block 0.
  if (c.lastColumn > 0) {
    EXPECT_EQ(graph().pixel(c.lastColumn - 1, 165), toolkit::clBlack);
    EXPECT_EQ(graph().pixel(c.lastColumn + 1, 165), toolkit::clWhite);
  } else {
    EXPECT_EQ(graph().pixel(5, 200), toolkit::clBlack);
    EXPECT_EQ(graph().pixel(10, 165), toolkit::clWhite);
  }
}

INSTANTIATE_TEST_SUITE_P(Counts, SeriesScales,
                         ::testing::Values(BlockCountCase{"100", 4.0f, 405}, BlockCountCase{"150", 2.0f, 305},
                                           BlockCountCase{"500", 0.0f, 0}));

struct RefusedSeriesCase {
  const char* blockSize;
  const char* blockCount;
  const char* message;
};

void PrintTo(const RefusedSeriesCase& c, std::ostream* out) {
  *out << c.blockSize << " x " << c.blockCount;
}

class RefusedSeries : public LyapunovGraphWindow, public ::testing::WithParamInterface<RefusedSeriesCase> {};

// Regression: a block count of 0 divided 400 by zero, and a block of no bounces
// has no product. Such a series now stops before it changes anything.
TEST_P(RefusedSeries, ChangesNothing) {
  series({3.0, 4.0, 5.0});
  const LyapunovGraphRecord before = LyapunovGraph;
  const std::string file = fileText(dataFile_.path());
  const std::uint32_t graphPixel = graph().pixel(5, 329);
  setTextQuietly(Form3->Edit1, GetParam().blockSize);
  setTextQuietly(Form3->Edit2, GetParam().blockCount);
  try {
    Form3->beginLgTrSeries(true);
    FAIL() << "no error";
  } catch (const toolkit::Exception& error) {
    EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos) << error.what();
  }
  EXPECT_EQ(LyapunovGraph.lgTrMax, before.lgTrMax);
  EXPECT_EQ(LyapunovGraph.blockCount, before.blockCount);
  EXPECT_EQ(LyapunovGraph.blockSize, before.blockSize);
  EXPECT_EQ(LyapunovGraph.xStep, before.xStep);
  EXPECT_EQ(fileText(dataFile_.path()), file);
  EXPECT_EQ(graph().pixel(5, 329), graphPixel);
  EXPECT_THROW(Form3->addLgTrPoint(1, 1.0), std::logic_error);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RefusedSeries,
    ::testing::Values(RefusedSeriesCase{"500", "0", "number of blocks must be at least 1, not 0"},
                      RefusedSeriesCase{"500", "-4", "number of blocks must be at least 1, not -4"},
                      RefusedSeriesCase{"0", "100", "block size must be at least 1, not 0"},
                      RefusedSeriesCase{"500", "1e2", "number of blocks: '1e2' is not a valid integer value"},
                      RefusedSeriesCase{"x", "100", "block size: 'x' is not a valid integer value"}));

// Regression: every keystroke of Ymax was converted, so typing "-" or clearing
// the field raised an error box that named no field.
TEST_F(LyapunovGraphWindow, YmaxTakesTheBeginningOfANumberAndNamesItsErrors) {
  LyapunovGraph.yMax = 40000;
  for (const char* typed : {"", "-", ".", "2e", "2e-"}) {
    ReportedErrors errors;
    Form3->Edit3->SetText(typed);
    EXPECT_TRUE(errors.messages.empty()) << "'" << typed << "'";
  }
  EXPECT_EQ(LyapunovGraph.yMax, 40000.0f);
  ReportedErrors errors;
  Form3->Edit3->SetText("2e-3");
  EXPECT_EQ(LyapunovGraph.yMax, 2e-3f);
  Form3->Edit3->SetText("2x");
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(errors.messages[0], "Ymax: '2x' is not a valid floating point value");
  EXPECT_EQ(LyapunovGraph.yMax, 2e-3f);
  setTextQuietly(Form3->Edit3, "40000");
}

// Regression: a data file that cannot be created is reported, not ignored.
TEST_F(LyapunovGraphWindow, DataFileThatCannotBeCreatedStopsTheSeries) {
  const std::filesystem::path plainFile = dataFile_.folder() / "not-a-folder";
  writeFile(plainFile, "");
  setLgTrDataFilePath(plainFile / "adat2.dat");
  LyapunovGraph.lgTrMax = 7;
  try {
    Form3->beginLgTrSeries(true);
    FAIL() << "no error";
  } catch (const toolkit::Exception& error) {
    EXPECT_NE(std::string(error.what()).find((plainFile / "adat2.dat").string()), std::string::npos)
        << error.what();
  }
  EXPECT_EQ(LyapunovGraph.lgTrMax, 7.0f);
}

// ---------------------------------------------------------------------------
// Fit

// Ten lines, k = 1 .. 10, with y(k) on the line position i = k - 1.
std::string dataFileOf(const std::function<double(int)>& y) {
  std::string text;
  for (int k = 1; k <= 10; ++k) text += formatLgTrLine(k, y(k));
  return text;
}

struct FitCase {
  const char* name;
  int fitStart, fitEndSkip;
  std::function<double(int)> y;
  const char* label;
  const char* gradient;
  int redFrom;  // row of the red line at the window's start
};

void PrintTo(const FitCase& c, std::ostream* out) {
  *out << c.name;
}

class LinearFit : public LyapunovGraphWindow, public ::testing::WithParamInterface<FitCase> {};

TEST_P(LinearFit, FitsTheWindowAndRedrawsTheGraph) {
  const FitCase& c = GetParam();
  writeFile(dataFile_.path(), dataFileOf(c.y));
  setTextQuietly(Form3->Edit2, "10");
  LyapunovGraph.blockSize = 500;
  LyapunovGraph.xStep = 40;
  LyapunovGraph.lgTrMax = 8;
  LyapunovGraph.fitStart = c.fitStart;
  LyapunovGraph.fitEndSkip = c.fitEndSkip;
  graph().Pen->Color = toolkit::clBlue;
  graph().MoveTo(300, 300);
  graph().LineTo(300, 310);

  Form3->Button2Click();
  EXPECT_EQ(Form3->Label4->GetText(), c.label);
  EXPECT_EQ(Form3->Edit4->GetText(), c.gradient);
  EXPECT_EQ(LyapunovGraph.gradient, toolkit::StrToFloat(c.gradient));
  // The graph is rescaled to the last maximum; the Ymax field keeps its text.
  EXPECT_EQ(LyapunovGraph.yMax, 8.0f);
  EXPECT_EQ(LyapunovGraph.yScale, 41.25f);
  EXPECT_EQ(Form3->Edit3->GetText(), "40000");
  EXPECT_EQ(LyapunovGraph.blockCount, 10);
  // Cleared, then the polyline from (5, 330) and the red line over it.
  EXPECT_EQ(graph().pixel(300, 305), toolkit::clWhite);
  EXPECT_EQ(graph().pixel(5, 330), toolkit::clBlack);
  EXPECT_EQ(graph().pixel(c.fitStart * 40 + 5, c.redFrom), toolkit::clRed);
  EXPECT_EQ(graph().Pen->Color, toolkit::clRed);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, LinearFit,
    ::testing::Values(
        // The untouched bars leave out line position 0 only.
        FitCase{"default window", 0, 0, [](int k) { return k == 1 ? 100.0 : 0.5 * k + 3; },
                "y=ax+b\na= 5.000000E-0001\nb= 3.000000E+0000\nblockindependent gradient:", "0.001",
                206},  // 330 - 3 * 41.25
        // Positions 4 to 7 (k = 5 to 8): the strict tests leave out 3 and 8.
        FitCase{"narrowed window", 3, 2, [](int k) { return (k >= 5 && k <= 8) ? 2.0 * k - 1 : -50.0 * k; },
                "y=ax+b\na= 2.000000E+0000\nb= -1.000000E+0000\nblockindependent gradient:", "0.004",
                123}));  // 330 - (3 * 2 - 1) * 41.25

struct RefusedFitCase {
  const char* name;
  float lgTrMax;
  bool fileExists;
  const char* blockCount;
  int fitStart, fitEndSkip;
  const char* message;
};

void PrintTo(const RefusedFitCase& c, std::ostream* out) {
  *out << c.name;
}

class RefusedFit : public LyapunovGraphWindow, public ::testing::WithParamInterface<RefusedFitCase> {};

// Regression: these divided by zero (330 / 0, D = 0) and drew from infinite
// or NaN coordinates. The fit now stops before the graph is cleared.
TEST_P(RefusedFit, LeavesTheGraphAndTexts) {
  const RefusedFitCase& c = GetParam();
  if (c.fileExists) writeFile(dataFile_.path(), dataFileOf([](int k) { return 0.5 * k; }));
  setTextQuietly(Form3->Edit2, c.blockCount);
  LyapunovGraph.blockSize = 500;
  LyapunovGraph.lgTrMax = c.lgTrMax;
  LyapunovGraph.fitStart = c.fitStart;
  LyapunovGraph.fitEndSkip = c.fitEndSkip;
  Form3->Label4->SetText("lg(tr)max: 6");
  setTextQuietly(Form3->Edit4, "0.25");
  graph().Pen->Color = toolkit::clBlue;
  graph().MoveTo(300, 300);
  graph().LineTo(300, 310);
  const LyapunovGraphRecord before = LyapunovGraph;

  ReportedErrors errors;
  Form3->Button2->click();
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_NE(errors.messages[0].find(c.message), std::string::npos) << errors.messages[0];
  EXPECT_EQ(graph().pixel(300, 305), toolkit::clBlue);
  EXPECT_EQ(Form3->Label4->GetText(), "lg(tr)max: 6");
  EXPECT_EQ(Form3->Edit4->GetText(), "0.25");
  EXPECT_EQ(LyapunovGraph.yScale, before.yScale);
  EXPECT_EQ(LyapunovGraph.yMax, before.yMax);
  EXPECT_EQ(LyapunovGraph.blockCount, before.blockCount);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedFit,
    ::testing::Values(RefusedFitCase{"before any series", 0, true, "10", 0, 0, "nothing to fit yet"},
                      RefusedFitCase{"no data file", 5, false, "10", 0, 0, "the data file: cannot read"},
                      RefusedFitCase{"one line in the window", 5, true, "10", 4, 4, "holds 1 line"},
                      RefusedFitCase{"empty window", 5, true, "10", 5, 4, "holds 0 lines"},
                      RefusedFitCase{"no blocks", 5, true, "0", 0, 0, "holds 0 lines"}));

// ---------------------------------------------------------------------------
// Double click and axes

TEST_F(LyapunovGraphWindow, DoubleClickClearsTheGraphAndGradientButKeepsTheLabel) {
  Form3->Label4->SetText("y=ax+b\na= 1\nb= 2\nblockindependent gradient:");
  setTextQuietly(Form3->Edit4, "0.002");
  graph().Pen->Color = toolkit::clBlue;
  graph().MoveTo(300, 300);
  graph().LineTo(300, 310);
  Form3->show();
  QTest::mouseDClick(Form3->Image1, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
  EXPECT_EQ(Form3->Edit4->GetText(), "");
  EXPECT_EQ(Form3->Label4->GetText(), "y=ax+b\na= 1\nb= 2\nblockindependent gradient:");
  EXPECT_EQ(graph().pixel(300, 305), toolkit::clWhite);
  // The cleared rectangle ends before column 410 and row 340.
  EXPECT_EQ(graph().Brush->Color, toolkit::clBlack);
}

TEST_F(LyapunovGraphWindow, AxesHaveTheirFixedTicks) {
  const std::vector<std::pair<int, int>> green{{0, 330},   {404, 330}, {5, 336}, {5, 1},  {105, 332},
                                               {105, 328}, {405, 330}, {8, 165}, {3, 87}, {3, 1}};
  const std::vector<std::pair<int, int>> white{{405, 327}, {5, 0}, {2, 252}, {105, 326}, {104, 331}};
  for (const auto& [x, y] : green) EXPECT_EQ(graph().pixel(x, y), toolkit::clGreen) << x << ", " << y;
  for (const auto& [x, y] : white) EXPECT_EQ(graph().pixel(x, y), toolkit::clWhite) << x << ", " << y;
  EXPECT_EQ(graph().Pen->Color, toolkit::clBlack);
}

// ---------------------------------------------------------------------------
// Track bars

struct BarMove {
  int bar;  // 1 top (end of the window), 2 bottom (start)
  int position;
};

struct BarCase {
  const char* name;
  std::vector<BarMove> moves;
  int fitStart, fitEndSkip, top, bottom;
};

void PrintTo(const BarCase& c, std::ostream* out) {
  *out << c.name;
}

class TrackBars : public LyapunovGraphWindow, public ::testing::WithParamInterface<BarCase> {};

// After a series of 100 blocks, with the bars where the series left them.
TEST_P(TrackBars, KeepTheFitWindowOpen) {
  setTextQuietly(Form3->Edit2, "100");
  series(std::vector<double>(100, 1.0));
  Form3->TrackBar2->SetPosition(0);
  ASSERT_EQ(LyapunovGraph.fitStart, 0);
  ASSERT_EQ(LyapunovGraph.fitEndSkip, 0);
  for (const BarMove& m : GetParam().moves) {
    (m.bar == 1 ? Form3->TrackBar1 : Form3->TrackBar2)->SetPosition(m.position);
  }
  EXPECT_EQ(LyapunovGraph.fitStart, GetParam().fitStart);
  EXPECT_EQ(LyapunovGraph.fitEndSkip, GetParam().fitEndSkip);
  EXPECT_EQ(Form3->TrackBar1->Position(), GetParam().top);
  EXPECT_EQ(Form3->TrackBar2->Position(), GetParam().bottom);
}

INSTANTIATE_TEST_SUITE_P(Moves, TrackBars,
                         ::testing::Values(BarCase{"top bar alone", {{1, 20}}, 0, 80, 20, 0},
                                           BarCase{"top onto bottom", {{2, 30}, {1, 30}}, 30, 69, 31, 30},
                                           BarCase{"top below bottom", {{2, 30}, {1, 10}}, 30, 69, 31, 30},
                                           BarCase{"bottom past top", {{1, 60}, {2, 70}}, 59, 40, 60, 59},
                                           BarCase{"bottom onto top", {{2, 100}}, 99, 0, 100, 99},
                                           BarCase{"top back up", {{1, 60}, {1, 100}}, 0, 0, 100, 0}));

TEST_F(LyapunovGraphWindow, SeriesPutsTheTopBarBackToItsEnd) {
  setTextQuietly(Form3->Edit2, "100");
  series(std::vector<double>(100, 1.0));
  Form3->TrackBar1->SetPosition(60);
  ASSERT_EQ(LyapunovGraph.fitEndSkip, 40);
  series(std::vector<double>(100, 1.0));
  EXPECT_EQ(LyapunovGraph.fitEndSkip, 0);
  EXPECT_EQ(Form3->TrackBar1->Position(), 100);
  // A bar already at its end raises no event, so the window keeps its end.
  LyapunovGraph.fitEndSkip = 5;
  series(std::vector<double>(100, 1.0));
  EXPECT_EQ(LyapunovGraph.fitEndSkip, 5);
}

}  // namespace
}  // namespace trapezola
