// Errors that leave an event handler: shown once with their message, after which
// the program carries on. The handler stops where it raised; what it did before
// stays done.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTest>

#include "main_window_controls.h"
#include "raster/conversions.h"
#include "tests/explorer_test_support.h"
#include "ui/main_window/tform1.h"
#include "ui_test_support.h"

namespace trapezola {
namespace {

using testing::ReportedErrors;
using testing::setTextQuietly;
using testing::SharedStateGuard;

class TypingIntoB : public ::testing::Test {
 protected:
  void SetUp() override {
    setTextQuietly(mainEdit("Edit1"), "");
    mainEdit("Edit1")->setFocus();
  }
  void TearDown() override { setTextQuietly(mainEdit("Edit1"), ""); }

  SharedStateGuard state_;
};

TEST_F(TypingIntoB, ALetterIsReportedOncePerKeystroke) {
  ReportedErrors errors;
  QTest::keyClick(mainEdit("Edit1"), Qt::Key_X);
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(errors.messages[0], "b: 'x' is not a valid floating point value");

  QTest::keyClick(mainEdit("Edit1"), Qt::Key_Y);
  ASSERT_EQ(errors.messages.size(), 2u);
  EXPECT_EQ(errors.messages[1], "b: 'xy' is not a valid floating point value");
}

TEST_F(TypingIntoB, ProgramGoesOnAfterTheError) {
  Explorer& ex = Form1->explorer();
  ReportedErrors errors;
  QTest::keyClick(mainEdit("Edit1"), Qt::Key_X);
  QCoreApplication::processEvents();
  QTest::keyClick(mainEdit("Edit1"), Qt::Key_Backspace);  // the empty text is a number being typed
  QTest::keyClicks(mainEdit("Edit1"), "0.25");
  EXPECT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(mainEdit("Edit1")->GetText(), "0.25");
  EXPECT_EQ(ex.enteredB, 0.25);
  EXPECT_TRUE(Form1->isVisible());
}

TEST_F(TypingIntoB, WhatTheHandlerDidBeforeTheErrorStaysDone) {
  Explorer& ex = Form1->explorer();
  ex.resume = {0.5, -0.25, 0.6, 0.8};
  mainButton("Button1")->SetText("continue");
  ex.enteredB = 0.75;
  ReportedErrors errors;
  QTest::keyClick(mainEdit("Edit1"), Qt::Key_Q);
  EXPECT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(ex.resume.x, 0.0);
  EXPECT_EQ(ex.resume.dy, 0.0);
  EXPECT_EQ(mainButton("Button1")->GetText(), "go");
  EXPECT_EQ(ex.enteredB, 0.75);
}

// Errors that escape any event, not only the controls' handlers, reach the same
// display through the application object.
class Raiser : public QObject {
 public:
  bool throwsStdException = true;

 protected:
  void customEvent(QEvent*) override {
    if (throwsStdException) throw toolkit::Exception("the handler gave up");
    throw 42;
  }
};

TEST(ApplicationErrors, AnExceptionLeavingAnyEventIsShownWithItsMessage) {
  ReportedErrors errors;
  Raiser raiser;
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&raiser, &event);
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(errors.messages[0], "the handler gave up");
}

TEST(ApplicationErrors, SomethingThatIsNoExceptionIsShownWithoutAMessage) {
  ReportedErrors errors;
  Raiser raiser;
  raiser.throwsStdException = false;
  QCoreApplication::postEvent(&raiser, new QEvent(QEvent::User));
  QCoreApplication::sendPostedEvents(&raiser);
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(errors.messages[0], "");
}

}  // namespace
}  // namespace trapezola
