// The controls' events as the handlers rely on them: when a field is left, the
// order of a double click on an image, change events raised by the program
// itself, and what the lists report as selected. Each test builds its own
// controls on a scratch window, apart from the program's windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "raster/conversions.h"
#include "ui/toolkit/color_box.h"
#include "ui/toolkit/combo_box.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/image.h"
#include "ui/toolkit/progress_bar.h"
#include "ui/toolkit/track_bar.h"
#include "ui_test_support.h"

namespace trapezola {
namespace {

using namespace toolkit;
using testing::ReportedErrors;

class ScratchWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<TForm>();
    window_->resize(400, 300);
  }

  void showAndActivate() {
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  std::unique_ptr<TForm> window_;
  std::vector<std::string> events_;
};

class LeavingAField : public ScratchWindow {
 protected:
  void SetUp() override {
    ScratchWindow::SetUp();
    first_ = new TEdit(window_.get());
    first_->setGeometry(10, 10, 100, 21);
    second_ = new TEdit(window_.get());
    second_->setGeometry(10, 40, 100, 21);
    first_->OnExit = [this] { events_.push_back("exit"); };
    showAndActivate();
    first_->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(first_->hasFocus());
  }

  TEdit* first_ = nullptr;
  TEdit* second_ = nullptr;
};

TEST_F(LeavingAField, TabbingToTheNextFieldLeavesIt) {
  QTest::keyClick(first_, Qt::Key_Tab);
  EXPECT_TRUE(second_->hasFocus());
  EXPECT_EQ(events_, std::vector<std::string>{"exit"});
}

TEST_F(LeavingAField, ClickingAnotherFieldLeavesIt) {
  QTest::mouseClick(second_, Qt::LeftButton);
  EXPECT_EQ(events_, std::vector<std::string>{"exit"});
}

TEST_F(LeavingAField, ReturnDoesNotLeaveIt) {
  QTest::keyClicks(first_, "1.5");
  QTest::keyClick(first_, Qt::Key_Return);
  QTest::keyClick(first_, Qt::Key_Enter);
  EXPECT_TRUE(first_->hasFocus());
  EXPECT_TRUE(events_.empty());
}

TEST_F(LeavingAField, SwitchingToAnotherWindowDoesNotLeaveIt) {
  TForm other;
  other.resize(100, 100);
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_TRUE(events_.empty());
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  EXPECT_TRUE(first_->hasFocus());
  EXPECT_TRUE(events_.empty());
}

TEST_F(ScratchWindow, FieldChangeEventsIncludeTextSetByTheProgram) {
  auto* field = new TEdit(window_.get());
  field->OnChange = [&] { events_.push_back("change:" + field->GetText()); };
  field->SetText("0.5");
  field->SetText("0.5");  // the same text is no change
  field->SetText("");
  EXPECT_EQ(events_, (std::vector<std::string>{"change:0.5", "change:"}));
}

// Records the image's mouse events as text.
class ImageGestures : public ScratchWindow {
 protected:
  void SetUp() override {
    ScratchWindow::SetUp();
    image_ = new TImage(window_.get(), 200, 100);
    image_->move(20, 30);
    image_->OnMouseDown = [this](TMouseButton button, TShiftState shift, int x, int y) {
      events_.push_back(describe("down", button, shift, x, y));
    };
    image_->OnMouseUp = [this](TMouseButton button, TShiftState shift, int x, int y) {
      events_.push_back(describe("up", button, shift, x, y));
    };
    image_->OnClick = [this] { events_.push_back("click"); };
    image_->OnDblClick = [this] { events_.push_back("dblclick"); };
    image_->OnMouseMove = [this](TShiftState, int x, int y) {
      events_.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    };
    showAndActivate();
  }

  static std::string describe(const char* what, TMouseButton button, TShiftState shift, int x, int y) {
    std::string text = what;
    text += button == mbLeft ? " left" : button == mbRight ? " right" : " middle";
    if (shift & ssDouble) text += " double";
    return text + " " + std::to_string(x) + "," + std::to_string(y);
  }

  // The events the window system delivers for one gesture at (x, y).
  void send(QEvent::Type type, Qt::MouseButton button, int x, int y) {
    const QPointF local(x, y);
    const QPointF global = image_->mapToGlobal(local);
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, local, global, button, held, Qt::NoModifier);
    QApplication::sendEvent(image_, &event);
  }

  void doubleClick(Qt::MouseButton button, int x, int y) {
    send(QEvent::MouseButtonPress, button, x, y);
    send(QEvent::MouseButtonRelease, button, x, y);
    send(QEvent::MouseButtonDblClick, button, x, y);
    send(QEvent::MouseButtonRelease, button, x, y);
  }

  TImage* image_ = nullptr;
};

TEST_F(ImageGestures, DoubleClickDeliversTheFirstClickBeforeTheDoubleClick) {
  doubleClick(Qt::LeftButton, 40, 25);
  EXPECT_EQ(events_, (std::vector<std::string>{"down left 40,25", "click", "up left 40,25", "dblclick",
                                               "down left double 40,25", "up left 40,25"}));
}

TEST_F(ImageGestures, RightButtonNeverClicks) {
  doubleClick(Qt::RightButton, 5, 6);
  EXPECT_EQ(events_, (std::vector<std::string>{"down right 5,6", "up right 5,6", "down right double 5,6",
                                               "up right 5,6"}));
}

TEST_F(ImageGestures, ReleaseOutsideTheImageIsNoClick) {
  send(QEvent::MouseButtonPress, Qt::LeftButton, 10, 10);
  send(QEvent::MouseButtonRelease, Qt::LeftButton, 250, -3);
  EXPECT_EQ(events_, (std::vector<std::string>{"down left 10,10", "up left 250,-3"}));
}

// The application drops moves without a button for controls that do not track
// the mouse; the portrait's read-out depends on them.
TEST_F(ImageGestures, PointerMovesAreReportedWithoutAButtonHeld) {
  send(QEvent::MouseMove, Qt::NoButton, 12, 34);
  EXPECT_EQ(events_, std::vector<std::string>{"move 12,34"});
}

TEST_F(ImageGestures, AClickThatRaisesStopsTheGestureAndIsReportedOnce) {
  ReportedErrors errors;
  image_->OnClick = [] { throw EConvertError("'' is not a valid integer value"); };
  send(QEvent::MouseButtonPress, Qt::LeftButton, 1, 2);
  send(QEvent::MouseButtonRelease, Qt::LeftButton, 1, 2);
  EXPECT_EQ(errors.messages, std::vector<std::string>{"'' is not a valid integer value"});
  EXPECT_EQ(events_, std::vector<std::string>{"down left 1,2"});
}

TEST_F(ScratchWindow, ImageShowsItsCanvasPixelForPixel) {
  auto* image = new TImage(window_.get(), 30, 20);
  image->Canvas->Brush->Color = clRed;
  image->Canvas->FillRect(5, 4, 9, 8);
  image->Refresh();
  const QImage shown = image->grab().toImage();
  EXPECT_EQ(shown.pixelColor(5, 4), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(8, 7), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(9, 8), QColor(255, 255, 255));  // right and bottom are excluded
}

// Records the rectangles the image repaints.
class PaintRecorder : public QObject {
 public:
  std::vector<QRect> painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted.push_back(static_cast<QPaintEvent*>(event)->rect());
    return false;
  }
};

// Repaints are delivered by the message loop on a timer of the platform's. The
// tests wait for them by what was painted, never for a span of time; the limit
// only turns a repaint that never comes into a failure instead of a hang.
constexpr int repaintHangGuardMs = 60000;
const QRect marker(0, 0, 1, 1);

// Runs the message loop, letting it go idle as it does between a person's
// gestures (the image shows canvas changes then), until `area` has been painted.
bool waitForPaintOf(const PaintRecorder& recorder, const QRect& area) {
  const auto painted = [&] {
    for (const QRect& rect : recorder.painted)
      if (rect.contains(area)) return true;
    return false;
  };
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (painted()) loop.quit();
  });
  check.start(1);
  QTimer::singleShot(repaintHangGuardMs, &loop, &QEventLoop::quit);
  loop.exec();
  return painted();
}

TEST_F(ScratchWindow, DrawingRepaintsOnlyTheChangedRectangleOnceTheLoopIsIdle) {
  auto* image = new TImage(window_.get(), 300, 200);
  PaintRecorder recorder;
  image->installEventFilter(&recorder);
  showAndActivate();
  // Pending repaints are joined into the next one: once a pixel asked for now
  // is painted, whatever showing the window asked for is done as well.
  image->update(marker);
  ASSERT_TRUE(waitForPaintOf(recorder, marker));
  recorder.painted.clear();

  image->Canvas->Pen->Color = clRed;
  image->Canvas->MoveTo(10, 20);
  image->Canvas->LineTo(50, 20);
  image->Canvas->MoveTo(30, 60);
  image->Canvas->LineTo(30, 100);
  EXPECT_TRUE(recorder.painted.empty()) << "nothing is painted while a handler draws";
  const QRect drawn(QPoint(10, 20), QPoint(49, 99));
  ASSERT_TRUE(waitForPaintOf(recorder, drawn));
  ASSERT_EQ(recorder.painted.size(), 1u);
  EXPECT_EQ(recorder.painted[0], drawn);

  // With nothing drawn since, a pixel asked for is all that is painted: a
  // canvas repainting itself unasked would widen it.
  recorder.painted.clear();
  image->update(marker);
  ASSERT_TRUE(waitForPaintOf(recorder, marker));
  EXPECT_EQ(recorder.painted, std::vector<QRect>{marker}) << "an unchanged canvas is not repainted";
}

TEST_F(ScratchWindow, TrackBarChangesAlsoComeFromTheProgram) {
  auto* bar = new TTrackBar(window_.get(), Qt::Horizontal);
  bar->SetMax(400);
  bar->SetPosition(400);
  bar->OnChange = [&] { events_.push_back(std::to_string(bar->Position())); };
  bar->SetPosition(400);  // unchanged: no event
  bar->SetPosition(120);
  bar->SetMax(100);  // pulls the position down with it
  bar->SetMax(300);  // the position stays
  EXPECT_EQ(events_, (std::vector<std::string>{"120", "100"}));
}

TEST_F(ScratchWindow, ProgressBarStepsStopAtTheEnds) {
  auto* bar = new TProgressBar(window_.get());
  bar->SetMax(3);
  for (int step = 0; step < 5; ++step) bar->StepBy(1);
  EXPECT_EQ(bar->Position(), 3);
  bar->SetMax(1000);
  EXPECT_EQ(bar->Position(), 3);
  bar->SetPosition(-7);
  EXPECT_EQ(bar->Position(), 0);
}

TEST_F(ScratchWindow, TypingIntoAComboBoxDeselectsItsItem) {
  auto* combo = new TComboBox(window_.get());
  combo->SetItems({"0", "1", "2"});
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->ItemIndex(), 2);
  QTest::keyClick(combo->lineEdit(), Qt::Key_End);
  EXPECT_EQ(combo->ItemIndex(), 2) << "moving the cursor is no typing";
  QTest::keyClicks(combo->lineEdit(), "1");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->GetText(), "21");
  EXPECT_EQ(combo->count(), 3);
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->GetText(), "1");
  combo->SetText("2");  // text set by the program selects nothing either
  EXPECT_EQ(combo->ItemIndex(), -1);
}

class ColorChoice : public ScratchWindow {
 protected:
  void SetUp() override {
    ScratchWindow::SetUp();
    box_ = new TColorBox(window_.get());
    saved_ = TColorBox::customColorChooser;
  }
  void TearDown() override { TColorBox::customColorChooser = saved_; }

  int indexOf(const char* name) const { return box_->findText(QString::fromLatin1(name)); }
  void choose(const char* name) {
    box_->setCurrentIndex(indexOf(name));
    emit box_->activated(indexOf(name));
  }

  TColorBox* box_ = nullptr;
  std::function<std::optional<TColor>(TColor)> saved_;
};

TEST_F(ColorChoice, StartsOnBlackAndGivesColoursAsBgr) {
  EXPECT_EQ(box_->Selected(), clBlack);
  choose("Red");
  EXPECT_EQ(box_->Selected(), 0x0000FFu);
  choose("Navy");
  EXPECT_EQ(box_->Selected(), 0x800000u);
}

// The canvas draws with 0x00BBGGRR colours only; no entry may hand on anything else.
TEST_F(ColorChoice, EveryEntryIsADrawableColour) {
  for (int i = 0; i < box_->count(); ++i) {
    if (box_->itemText(i) == QStringLiteral("Custom...")) continue;
    box_->setCurrentIndex(i);
    EXPECT_LE(box_->Selected(), 0xFFFFFFu) << box_->itemText(i).toStdString();
  }
  box_->setCurrentIndex(indexOf("None"));
  EXPECT_EQ(box_->Selected(), clBlack);
  box_->setCurrentIndex(indexOf("Default"));
  EXPECT_EQ(box_->Selected(), clBlack);
}

TEST_F(ColorChoice, CustomColourIsAskedForAndKept) {
  TColorBox::customColorChooser = [](TColor) { return std::optional<TColor>(0x123456); };
  choose("Custom...");
  EXPECT_EQ(box_->Selected(), 0x123456u);

  choose("Lime");
  TColorBox::customColorChooser = [](TColor current) {
    EXPECT_EQ(current, 0x123456u);
    return std::optional<TColor>();
  };
  choose("Custom...");  // cancelled: back to the colour chosen before
  EXPECT_EQ(box_->Selected(), 0x00FF00u);
}

TEST_F(ColorChoice, AColourNotListedBecomesTheCustomOne) {
  box_->SetSelected(0x00A1B2C3);
  EXPECT_EQ(box_->Selected(), 0xA1B2C3u);
  EXPECT_EQ(box_->currentText().toStdString(), "Custom...");
  box_->SetSelected(0xFFFF00);
  EXPECT_EQ(box_->currentText().toStdString(), "Aqua");
}

}  // namespace
}  // namespace trapezola
