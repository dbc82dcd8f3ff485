// Runs on the worker thread, through the real window: the stop button and
// Escape, input refused (not queued) while a run goes, a run stopped and
// continued drawing one run's picture, closing during a run, the status line,
// one table per portrait, the grid box redrawing at once, and errors that name
// their field.
#include <gtest/gtest.h>

#include <QDialog>
#include <QFocusEvent>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/orbit_run.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "main_window_controls.h"
#include "tests/explorer_test_support.h"
#include "ui/main_window/field_numbers.h"
#include "ui/main_window/tform1.h"
#include "ui/toolkit/application.h"
#include "ui_test_support.h"

namespace trapezola {
namespace {

using testing::ReportedErrors;
using testing::SharedStateGuard;

// Far more bounces than a test waits for: such a run ends only when stopped.
constexpr const char* endlessRepeat = "2000000";

std::vector<std::uint32_t> pixelsOf(const toolkit::TCanvas& c) {
  return {c.bits(), c.bits() + static_cast<std::size_t>(c.width()) * static_cast<std::size_t>(c.height())};
}

class RunControl : public ::testing::Test {
 protected:
  void SetUp() override {
    Explorer& ex = Form1->explorer();
    ex.table = BilliardTable{};
    ex.ball = WindowBall{};
    ex.window = PhaseWindowRecord{};
    ex.resume = ResumeStateRecord{};
    ex.runCount = 0;
    Form1->Button4Click();  // forgets the portrait's table
    whiten();
    ex.window = PhaseWindowRecord{};
    mainComboBox("ComboBox1")->SetItemIndex(0);
    mainColorBox("ColorBox1")->SetSelected(toolkit::clBlack);
    mainCheckBox("CheckBox3")->SetChecked(true);
    mainButton("Button1")->SetText("go");
  }
  void TearDown() override {
    Explorer& ex = Form1->explorer();
    Form1->StopRun();
    Form1->WaitForRun();
    ex.runCount = 0;
  }

  static void whiten() {
    toolkit::TCanvas& c = *mainImage("faziskep")->Canvas;
    c.Brush->Color = toolkit::clWhite;
    c.FillRect(0, 0, portraitWidth, portraitHeight);
  }

  static void fillFields(const char* b, const char* rr, const char* distance, const char* angle,
                         const char* repeat) {
    mainEdit("Edit1")->SetText(b);
    mainEdit("Edit2")->SetText(rr);
    mainEdit("Edit3")->SetText(distance);
    mainEdit("Edit4")->SetText(angle);
    mainEdit("Edit5")->SetText(repeat);
  }

  // The picture a fresh go run of these fields leaves on a white portrait,
  // drawn on a value of its own by the run that trapezola-cli render uses.
  static std::vector<std::uint32_t> renderedRun(double b, double rr, double s, double angle, int repeat) {
    Explorer ex;
    setupTable(ex, b, rr, s, angle, repeat);
    toolkit::TCanvas canvas(portraitWidth, portraitHeight);
    performGoRun(ex, canvas, RunLook{0, toolkit::clBlack, true}, nullptr);
    return pixelsOf(canvas);
  }

  SharedStateGuard state_;
};

TEST_F(RunControl, DuringARunTheButtonReadsStopAndStopsIt) {
  Explorer& ex = Form1->explorer();
  fillFields("0.5", "2", "0.7", "60", endlessRepeat);
  Form1->Button1Click();
  ASSERT_TRUE(Form1->Running());
  EXPECT_EQ(mainButton("Button1")->GetText(), "stop");
  EXPECT_FALSE(Form1->RunGo->Enabled());
  EXPECT_TRUE(Form1->RunStop->Enabled());
  mainButton("Button1")->click();
  Form1->WaitForRun();
  EXPECT_FALSE(Form1->Running());
  EXPECT_EQ(mainButton("Button1")->GetText(), "continue");
  // A stopped run is not ready, and keeps its end state to continue from.
  EXPECT_NE(mainLabel("Label8")->GetText(), "ready!");
  EXPECT_NE(ex.resume.dx, 0.0);
  EXPECT_NE(Form1->MainFrame->StatusText().find("stopped at "), std::string::npos);
  EXPECT_TRUE(Form1->RunGo->Enabled());
}

TEST_F(RunControl, InputDuringARunIsRefusedNotQueuedAndEscapeStops) {
  Explorer& ex = Form1->explorer();
  fillFields("0.5", "2", "0.7", "60", endlessRepeat);
  Form1->Button1Click();
  ASSERT_TRUE(Form1->Running());
  const double sMax = ex.window.sMax;
  QTest::keyClicks(mainEdit("Edit1"), "9");
  QTest::mouseClick(mainButton("Button4"), Qt::LeftButton);  // "clear" would reset the phase window
  QTest::mouseClick(mainCheckBox("CheckBox3"), Qt::LeftButton);
  EXPECT_EQ(mainEdit("Edit1")->GetText(), "0.5");
  EXPECT_TRUE(mainCheckBox("CheckBox3")->Checked());
  QTest::keyClick(mainEdit("Edit3"), Qt::Key_Escape);
  Form1->WaitForRun();
  EXPECT_EQ(mainButton("Button1")->GetText(), "continue");
  // Nothing refused arrives after the run either.
  QCoreApplication::processEvents();
  EXPECT_EQ(mainEdit("Edit1")->GetText(), "0.5");
  EXPECT_EQ(ex.window.sMax, sMax);
  // With the run over, input goes through again.
  QTest::keyClicks(mainEdit("Edit1"), "9");
  EXPECT_EQ(mainEdit("Edit1")->GetText(), "0.59");
}

// Help's boxes may open during a run; they take their input as always.
TEST_F(RunControl, ADialogOpenedDuringARunTakesItsInput) {
  fillFields("0.5", "2", "0.7", "60", endlessRepeat);
  Form1->Button1Click();
  ASSERT_TRUE(Form1->Running());
  QDialog dialog;
  auto* field = new QLineEdit(&dialog);
  dialog.show();
  QTest::keyClicks(field, "ab");
  QTest::keyClick(field, Qt::Key_Escape);  // the dialog's own Escape, not a stop
  EXPECT_EQ(field->text(), "ab");
  EXPECT_TRUE(Form1->Running());
  Form1->StopRun();
  Form1->WaitForRun();
}

// Stopped as soon as each stretch starts, wherever the worker happens to be,
// and continued with "continue" until ready: the picture and the end state of
// one run, with the grid drawn once at the end.
TEST_F(RunControl, AStoppedAndContinuedRunDrawsOneRun) {
  Explorer& ex = Form1->explorer();
  fillFields("0.5", "2", "0.7", "60", "40");
  const std::vector<std::uint32_t> want = renderedRun(0.5, 2, 0.7, 60, 40);
  int presses = 0;
  do {
    Form1->Button1Click();
    Form1->StopRun();
    Form1->WaitForRun();
    ASSERT_LT(++presses, 5000);
  } while (mainLabel("Label8")->GetText() != "ready!");
  EXPECT_EQ(pixelsOf(*mainImage("faziskep")->Canvas), want) << presses << " presses";
  EXPECT_EQ(ex.runCount, 1);
  EXPECT_EQ(mainProgressBar("ProgressBar1")->Position(), 1000);
  EXPECT_EQ(Form1->MainFrame->StatusText(), "ready: 40 000 bounces");
}

// A window closed during a run ends the message loop; the worker is stopped and
// gone with it.
TEST_F(RunControl, ClosingDuringARunEndsTheMessageLoop) {
  fillFields("0.5", "2", "0.7", "60", endlessRepeat);
  Form1->Button1Click();
  ASSERT_TRUE(Form1->Running());
  QTimer::singleShot(0, [] { Form1->MainFrame->close(); });
  QTimer safety;
  safety.setSingleShot(true);
  QObject::connect(&safety, &QTimer::timeout, [] { toolkit::Application->exit(1); });
  safety.start(5000);
  EXPECT_EQ(toolkit::Application->exec(), 0);
  EXPECT_FALSE(Form1->Running());
  Form1->show();
}

TEST_F(RunControl, AnotherTableStartsOnAClearedPortrait) {
  fillFields("0.5", "2", "0.7", "60", "3");
  Form1->Button1Click();
  Form1->WaitForRun();
  fillFields("0.6", "2", "0.7", "60", "3");
  Form1->Button1Click();
  Form1->WaitForRun();
  EXPECT_EQ(pixelsOf(*mainImage("faziskep")->Canvas), renderedRun(0.6, 2, 0.7, 60, 3));
  // The same table again keeps the dots: a second orbit in another colour.
  mainEdit("Edit3")->SetText("2");
  mainColorBox("ColorBox1")->SetSelected(toolkit::clRed);
  Form1->Button1Click();
  Form1->WaitForRun();
  const std::vector<std::uint32_t> both = pixelsOf(*mainImage("faziskep")->Canvas);
  int black = 0, red = 0;
  for (const std::uint32_t p : both) {
    black += (p & 0xFFFFFF) == 0;
    red += (p & 0xFFFFFF) == 0xFF0000;  // red as 0xRRGGBB
  }
  EXPECT_GT(black, 100);
  EXPECT_GT(red, 100);
}

TEST_F(RunControl, TheGridBoxRedrawsAtOnce) {
  Explorer& ex = Form1->explorer();
  fillFields("0.5", "2", "0.7", "60", "3");
  mainCheckBox("CheckBox3")->SetChecked(false);
  Form1->Button1Click();
  Form1->WaitForRun();
  const std::vector<std::uint32_t> dots = pixelsOf(*mainImage("faziskep")->Canvas);
  const WindowBall ball = ex.ball;
  QTest::mouseClick(mainCheckBox("CheckBox3"), Qt::LeftButton);
  ASSERT_TRUE(mainCheckBox("CheckBox3")->Checked());
  // The run with the grid ticked draws exactly this.
  EXPECT_EQ(pixelsOf(*mainImage("faziskep")->Canvas), renderedRun(0.5, 2, 0.7, 60, 3));
  EXPECT_EQ(ex.ball.x, ball.x);
  QTest::mouseClick(mainCheckBox("CheckBox3"), Qt::LeftButton);
  EXPECT_EQ(pixelsOf(*mainImage("faziskep")->Canvas), dots);
}

TEST_F(RunControl, ErrorsNameTheirField) {
  ReportedErrors errors;
  fillFields("0.5", "2", "1e", "60", "1");
  mainButton("Button1")->click();
  fillFields("0.5", "2", "0.7", "60", "1.5");
  mainButton("Button1")->click();
  ASSERT_EQ(errors.messages.size(), 2u);
  EXPECT_EQ(errors.messages[0], "distance: '1e' is not a valid floating point value");
  EXPECT_EQ(errors.messages[1], "repeat: '1.5' is not a valid integer value");
  EXPECT_FALSE(Form1->Running());
}

TEST_F(RunControl, HalfTypedNumbersAreNotErrorsUntilTheFieldIsLeft) {
  Explorer& ex = Form1->explorer();
  ReportedErrors errors;
  mainEdit("Edit3")->setFocus();
  mainEdit("Edit3")->SetText("");
  QTest::keyClicks(mainEdit("Edit3"), "-");
  QTest::keyClicks(mainEdit("Edit3"), "1e-");
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_EQ(mainEdit("Edit3")->GetText(), "-1e-");
  QTest::keyClicks(mainEdit("Edit3"), "3");
  EXPECT_EQ(ex.ball.startS, -1e-3);
  QTest::keyClick(mainEdit("Edit3"), Qt::Key_Backspace);
  QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(mainEdit("Edit3"), &leave);
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(errors.messages[0], "distance: '-1e-' is not a valid floating point value");
  mainEdit("Edit3")->SetText("");
}

// Run > Many orbits fills the portrait as trapezola-cli portrait --orbits
// draws it, and stops like a run.
TEST_F(RunControl, ManyOrbitsDrawWhatThePortraitCommandDraws) {
  mainEdit("Edit1")->SetText("0.5");
  mainEdit("Edit2")->SetText("2");
  std::vector<int> answers = {6, 3000};
  const auto savedAsker = toolkit::TSavePictureDialog::numberAsker;
  toolkit::TSavePictureDialog::numberAsker = [&](QWidget*, const std::string&, int, int, int) {
    const int answer = answers.front();
    answers.erase(answers.begin());
    return std::optional<int>(answer);
  };
  Form1->RunManyOrbits->trigger();
  EXPECT_TRUE(Form1->Running());
  Form1->WaitForRun();
  EXPECT_EQ(Form1->MainFrame->StatusText(), "many orbits ready: 18 000 bounces");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString out = dir.filePath("sea.png");
  QProcess cli;
  cli.start(TRAPEZOLA_CLI, {"portrait", "--b", "0.5", "--rr", "2", "--orbits", "6", "--bounces", "3000",
                            "--grid", "--out", out});
  ASSERT_TRUE(cli.waitForFinished(60000));
  ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  const QImage rendered = QImage(out).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(rendered.size(), QSize(portraitWidth, portraitHeight));
  const toolkit::TCanvas& shown = *mainImage("faziskep")->Canvas;
  int differing = 0;
  for (int y = 0; y < portraitHeight; ++y) {
    for (int x = 0; x < portraitWidth; ++x) {
      differing += (rendered.pixel(x, y) | 0xFF000000u) != shown.bits()[y * portraitWidth + x];
    }
  }
  EXPECT_EQ(differing, 0);

  answers = {50, 2000000000};
  Form1->ManyOrbits();
  ASSERT_TRUE(Form1->Running());
  Form1->StopRun();
  Form1->WaitForRun();
  EXPECT_EQ(Form1->MainFrame->StatusText().rfind("many orbits stopped at ", 0), 0u);
  toolkit::TSavePictureDialog::numberAsker = savedAsker;
}

struct TypingCase {
  const char* text;
  bool beingTyped;
};

void PrintTo(const TypingCase& c, std::ostream* out) {
  *out << "'" << c.text << "'";
}

class NumberBeingTyped : public ::testing::TestWithParam<TypingCase> {};

TEST_P(NumberBeingTyped, FollowsTheGrammarOfStrToFloat) {
  EXPECT_EQ(isNumberBeingTyped(GetParam().text), GetParam().beingTyped) << "'" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberBeingTyped,
    ::testing::Values(TypingCase{"", true}, TypingCase{"-", true}, TypingCase{"+", true},
                      TypingCase{".", true}, TypingCase{"-.", true}, TypingCase{"1e", true},
                      TypingCase{"1e-", true}, TypingCase{"1.5E+", true}, TypingCase{" 2", true},
                      TypingCase{"2 ", true}, TypingCase{"0.25", true}, TypingCase{"e", false},
                      TypingCase{".e", false}, TypingCase{"1..", false}, TypingCase{"--1", false},
                      TypingCase{"1e5.", false}, TypingCase{"x", false}, TypingCase{"- ", false},
                      TypingCase{"1 2", false}, TypingCase{"1ee", false}));

}  // namespace
}  // namespace trapezola
