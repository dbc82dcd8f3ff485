// What the user finds when the program has started: the main window up with
// fresh-run state, the Lyapunov window created but hidden, the auxiliary window
// never shown, and the sensitivity slider at -50 with its minimum at the top.
#include <gtest/gtest.h>

#include <QTest>

#include "app/tform2.h"
#include "main_window_controls.h"
#include "ui/lyapunov_window/tform3.h"
#include "ui/main_window/tform1.h"
#include "ui_test_support.h"

namespace trapezola {
namespace {

TEST(StartUp, MainWindowIsUpAndReadyForAFreshRun) {
  EXPECT_TRUE(Form1->isVisible());
  EXPECT_EQ(toolkit::Application->MainForm(), Form1);
  EXPECT_EQ(mainButton("Button1")->GetText(), "go");
  for (toolkit::TEdit* field :
       {mainEdit("Edit1"), mainEdit("Edit2"), mainEdit("Edit3"), mainEdit("Edit4"), mainEdit("Edit5")}) {
    EXPECT_EQ(field->GetText(), "") << field->objectName().toStdString();
  }
}

TEST(StartUp, FollowDepthShowsZeroWithNoItemSelected) {
  EXPECT_EQ(mainComboBox("kovetes")->GetText(), "0");
  EXPECT_EQ(mainComboBox("kovetes")->ItemIndex(), -1);
}

TEST(StartUp, LyapunovWindowExistsButIsHidden) {
  ASSERT_NE(Form3, nullptr);
  EXPECT_FALSE(Form3->isVisible());
}

TEST(StartUp, AuxiliaryWindowWasNeverShown) {
  ASSERT_NE(Form2, nullptr);
  EXPECT_FALSE(Form2->isVisible());
  // A window gets its platform window at its first show.
  EXPECT_EQ(Form2->windowHandle(), nullptr);
}

TEST(StartUp, SensitivityStandsAtMinusFiftyWithItsMinimumAtTheTop) {
  toolkit::TTrackBar* bar = mainTrackBar("TrackBar1");
  EXPECT_EQ(bar->Position(), -50);
  // Qt draws a vertical slider's minimum at the bottom unless told otherwise.
  EXPECT_TRUE(bar->invertedAppearance());
  const int start = bar->Position();
  bar->setFocus();
  QTest::keyClick(bar, Qt::Key_Up);
  EXPECT_EQ(bar->Position(), start - 1) << "Up moves the thumb up, towards the minimum";
  QTest::keyClick(bar, Qt::Key_Down);
  EXPECT_EQ(bar->Position(), start);
}

// Pressing "write" does nothing: no error, no change of the window's texts.
TEST(StartUp, LyapunovWriteButtonDoesNothing) {
  testing::ReportedErrors errors;
  const std::string label = Form3->Label4->GetText();
  const std::string gradient = Form3->Edit4->GetText();
  Form3->Button1->click();
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_EQ(Form3->Label4->GetText(), label);
  EXPECT_EQ(Form3->Edit4->GetText(), gradient);
  EXPECT_FALSE(Form3->isVisible());
}

}  // namespace
}  // namespace trapezola
