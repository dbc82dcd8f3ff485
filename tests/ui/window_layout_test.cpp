// The windows as designed: every component by its layout name, where it sits,
// what it shows, its hint and its font (the main window's as its layout table
// declares them, the Lyapunov window's listed here); the ranges and defaults of the sliders
// and lists; the tab order and the stacking of overlapping components.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/tform2.h"
#include "main_window_controls.h"
#include "ui/lyapunov_window/tform3.h"
#include "ui/main_window/main_window_layout.h"
#include "ui/main_window/tform1.h"
#include "ui_test_support.h"

namespace trapezola {
namespace {

using namespace toolkit;

constexpr int windowFont = 11;  // pixel height of the windows' font (-11)
constexpr int largeFont = 13;   // components designed with height -13

enum class Size { Exact, GrowsWithText };

struct Placement {
  const char* window;
  const char* name;
  int left, top, width, height;
  Size size;
  std::optional<std::string> text;  // caption or field text; none for controls without one
  std::string hint;
  int fontPixels;
  bool bold;
};

TForm* windowNamed(const std::string& name) {
  if (name == "Form1") return Form1;
  if (name == "Form3") return Form3;
  return nullptr;
}

std::optional<std::string> shownText(QWidget* widget) {
  if (auto* label = qobject_cast<TLabel*>(widget)) return label->GetText();
  if (auto* edit = qobject_cast<TEdit*>(widget)) return edit->GetText();
  if (auto* button = qobject_cast<TButton*>(widget)) return button->GetText();
  if (auto* box = qobject_cast<TCheckBox*>(widget)) return box->GetText();
  if (auto* combo = qobject_cast<TComboBox*>(widget)) return combo->GetText();
  return std::nullopt;
}

void PrintTo(const Placement& p, std::ostream* out) {
  *out << p.window << '.' << p.name;
}

class ComponentPlacement : public ::testing::TestWithParam<Placement> {};

TEST_P(ComponentPlacement, SitsAndReadsAsDesigned) {
  const Placement& p = GetParam();
  TForm* window = windowNamed(p.window);
  ASSERT_NE(window, nullptr);
  auto* widget = window->findChild<QWidget*>(QString::fromLatin1(p.name), Qt::FindDirectChildrenOnly);
  ASSERT_NE(widget, nullptr) << p.window << "." << p.name << " is missing";

  EXPECT_EQ(widget->pos(), QPoint(p.left, p.top));
  if (p.size == Size::Exact) {
    EXPECT_EQ(widget->size(), QSize(p.width, p.height));
  } else {
    EXPECT_GE(widget->width(), p.width);
    EXPECT_GE(widget->height(), p.height);
  }
  EXPECT_EQ(shownText(widget), p.text);
  EXPECT_EQ(widget->toolTip().toStdString(), p.hint);
  EXPECT_EQ(widget->font().pixelSize(), p.fontPixels);
  EXPECT_EQ(widget->font().bold(), p.bold);
  // Tools that drive the windows find each control by this name, not by where it sits.
  EXPECT_EQ(widget->accessibleDescription().toStdString(), p.name);
  // The pinned face itself, not whatever the font configuration offers in its place.
  EXPECT_EQ(QFontInfo(widget->font()).family().toStdString(), "Liberation Sans");
}

// The main window's entries come from the table the window is built from.
std::vector<Placement> mainWindowPlacements() {
  std::vector<Placement> placements;
  for (const ControlLayout& c : mainWindowLayout) {
    const int fontHeight = c.fontHeight != 0 ? c.fontHeight : mainWindowFontHeight;
    placements.push_back(Placement{"Form1", c.name, c.left, c.top, c.width, c.height,
                                   c.growsWithText ? Size::GrowsWithText : Size::Exact,
                                   c.caption ? std::optional<std::string>(c.caption) : std::nullopt, c.hint,
                                   -fontHeight, c.bold});
  }
  return placements;
}

INSTANTIATE_TEST_SUITE_P(MainWindow, ComponentPlacement, ::testing::ValuesIn(mainWindowPlacements()));

INSTANTIATE_TEST_SUITE_P(
    LyapunovWindow, ComponentPlacement,
    ::testing::Values(
        Placement{"Form3", "Image1", 8, 16, 409, 337, Size::Exact, std::nullopt, "", windowFont, false},
        Placement{"Form3", "Label1", 88, 380, 44, 13, Size::GrowsWithText, "blocksize", "", windowFont,
                  false},
        Placement{"Form3", "Label2", 176, 380, 56, 13, Size::GrowsWithText, "# of blocks:", "", windowFont,
                  false},
        Placement{"Form3", "Label3", 10, 380, 26, 13, Size::GrowsWithText, "Ymax", "", windowFont, false},
        Placement{"Form3", "Label4", 16, 24, 49, 13, Size::GrowsWithText, "lg(Tr)max: ", "", windowFont,
                  false},
        Placement{"Form3", "Button2", 280, 376, 65, 25, Size::Exact, "fit linear", "", largeFont, true},
        Placement{"Form3", "Edit1", 136, 378, 33, 21, Size::Exact, "500", "", windowFont, false},
        Placement{"Form3", "Edit2", 240, 378, 33, 21, Size::Exact, "100", "", windowFont, false},
        Placement{"Form3", "Edit3", 40, 378, 41, 21, Size::Exact, "40000", "", windowFont, false},
        Placement{"Form3", "TrackBar1", 8, 0, 409, 17, Size::Exact, std::nullopt, "", windowFont, false},
        Placement{"Form3", "TrackBar2", 8, 352, 409, 17, Size::Exact, std::nullopt, "", windowFont, false},
        Placement{"Form3", "Edit4", 16, 78, 80, 20, Size::Exact, "", "", windowFont, false},
        Placement{"Form3", "Button1", 352, 376, 65, 25, Size::Exact, "write", "", windowFont, false},
        Placement{"Form3", "Edit5", 16, 112, 25, 21, Size::Exact, "0", "", windowFont, false}));

struct SliderDefaults {
  const char* window;
  const char* name;
  Qt::Orientation orientation;
  int min, max, position, frequency;
  QSlider::TickPosition ticks;
};

void PrintTo(const SliderDefaults& d, std::ostream* out) {
  *out << d.window << '.' << d.name;
}

class SliderRange : public ::testing::TestWithParam<SliderDefaults> {};

TEST_P(SliderRange, StartsWithItsDesignedRange) {
  const SliderDefaults& d = GetParam();
  auto* bar = windowNamed(d.window)->findChild<TTrackBar*>(QString::fromLatin1(d.name));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->orientation(), d.orientation);
  EXPECT_EQ(bar->Min(), d.min);
  EXPECT_EQ(bar->Max(), d.max);
  EXPECT_EQ(bar->Position(), d.position);
  EXPECT_EQ(bar->Frequency(), d.frequency);
  EXPECT_EQ(bar->tickPosition(), d.ticks);
}

INSTANTIATE_TEST_SUITE_P(AllWindows, SliderRange,
                         ::testing::Values(SliderDefaults{"Form1", "TrackBar1", Qt::Vertical, -100, 10, -50,
                                                          1, QSlider::TicksRight},
                                           SliderDefaults{"Form3", "TrackBar1", Qt::Horizontal, 0, 400, 400,
                                                          4, QSlider::TicksBelow},
                                           SliderDefaults{"Form3", "TrackBar2", Qt::Horizontal, 0, 400, 0, 4,
                                                          QSlider::TicksAbove}));

// Captions are set in one pinned face, so whether they fit is a property of the
// layout, the same on every machine: none may be clipped, a label that grows
// with its caption may not run into a control beside it, and the wrapped prompt
// keeps within its box. Measured by the ink of the text, not its advance: the
// last glyph's side bearing may reach past an edge without clipping anything.
TEST(WindowCaptions, FitTheirControls) {
  for (TForm* window : {static_cast<TForm*>(Form1), static_cast<TForm*>(Form3)}) {
    const QList<QWidget*> children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* widget : children) {
      const std::optional<std::string> text = shownText(widget);
      const bool captioned =
          qobject_cast<TLabel*>(widget) || qobject_cast<TButton*>(widget) || qobject_cast<TCheckBox*>(widget);
      if (!captioned || !text || text->empty()) continue;
      SCOPED_TRACE(widget->objectName().toStdString() + " \"" + *text + "\"");
      const QString caption = QString::fromStdString(*text);
      const QFontMetrics metrics(widget->font());
      const QRect box = widget->geometry();
      auto* label = qobject_cast<TLabel*>(widget);
      if (label && label->wordWrap()) {
        EXPECT_LE(metrics.boundingRect(QRect(0, 0, box.width(), 10000), Qt::TextWordWrap, caption).height(),
                  box.height());
        continue;
      }
      const int ink = metrics.boundingRect(caption).width();
      if (label && label->AutoSize()) {
        const QRect inked(box.left(), box.top(), ink, box.height());
        for (QWidget* other : children) {
          const bool control = qobject_cast<TEdit*>(other) || qobject_cast<TComboBox*>(other) ||
                               qobject_cast<TButton*>(other) || qobject_cast<TCheckBox*>(other);
          if (control) {
            EXPECT_FALSE(inked.intersects(other->geometry()))
                << "runs into " << other->objectName().toStdString();
          }
        }
        continue;
      }
      int room = box.width();
      if (auto* check = qobject_cast<TCheckBox*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(check);
        option.rect = QRect(QPoint(0, 0), box.size());
        room -= check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check).left();
      }
      EXPECT_LE(ink, room);
    }
  }
}

TEST(MainWindowDefaults, ListsAndBoxesStartAsDesigned) {
  EXPECT_EQ(mainProgressBar("ProgressBar1")->Min(), 0);
  EXPECT_EQ(mainProgressBar("ProgressBar1")->Max(), 1000);
  EXPECT_EQ(mainProgressBar("ProgressBar1")->Position(), 0);
  EXPECT_TRUE(mainCheckBox("CheckBox3")->Checked());
  EXPECT_FALSE(mainCheckBox("CheckBox4")->Checked());

  ASSERT_EQ(mainComboBox("ComboBox1")->count(), 2);
  EXPECT_EQ(mainComboBox("ComboBox1")->itemText(1).toStdString(), "big");
  EXPECT_EQ(mainComboBox("ComboBox1")->ItemIndex(), 0);

  ASSERT_EQ(mainComboBox("kovetes")->count(), 33);
  for (int i = 0; i < mainComboBox("kovetes")->count(); ++i) {
    EXPECT_EQ(mainComboBox("kovetes")->itemText(i).toStdString(), std::to_string(i));
  }
  EXPECT_EQ(mainColorBox("ColorBox1")->Selected(), clBlack);
}

// The designed controls in the order the focus chain visits them from the first.
std::vector<QWidget*> focusOrder(const std::vector<QWidget*>& designed) {
  std::vector<QWidget*> visited;
  QWidget* widget = designed.front();
  do {
    if (std::find(designed.begin(), designed.end(), widget) != designed.end()) visited.push_back(widget);
    widget = widget->nextInFocusChain();
  } while (widget != designed.front() && visited.size() < designed.size());
  return visited;
}

TEST(TabOrder, FollowsTheLayoutInBothWindows) {
  const std::vector<QWidget*> main = {
      mainEdit("Edit1"),         mainEdit("Edit2"),         mainEdit("Edit3"),
      mainEdit("Edit4"),         mainEdit("Edit5"),         mainButton("Button1"),
      mainCheckBox("CheckBox3"), mainComboBox("ComboBox1"), mainColorBox("ColorBox1"),
      mainComboBox("kovetes"),   mainButton("Button2"),     mainButton("Button4"),
      mainTrackBar("TrackBar1"), mainEdit("Edit6"),         mainCheckBox("CheckBox4")};
  EXPECT_EQ(focusOrder(main), main);
  const std::vector<QWidget*> lyapunov = {Form3->Button2, Form3->Edit1,     Form3->Edit2,
                                          Form3->Edit3,   Form3->TrackBar1, Form3->TrackBar2,
                                          Form3->Edit4,   Form3->Button1,   Form3->Edit5};
  EXPECT_EQ(focusOrder(lyapunov), lyapunov);
}

// Where two components overlap, the later one in the layout lies on top.
TEST(MainWindowDefaults, LaterComponentsLieOnTop) {
  const QObjectList& stacking = Form1->children();
  EXPECT_GT(stacking.indexOf(mainLabel("Label12")), stacking.indexOf(mainLabel("Label8")));
  EXPECT_EQ(Form1->childAt(9, 409), mainLabel("Label12"));
  EXPECT_EQ(Form1->childAt(20, 409), mainLabel("Label8"));
  // Edit6 reaches into the sketch's lower right corner.
  EXPECT_EQ(Form1->childAt(200, 660), mainEdit("Edit6"));
}

TEST(WindowFrames, MainWindowHasAFixedClientAreaCentredOnTheScreen) {
  EXPECT_EQ(Form1->GetText(), "Trapezola    (Beta version)");
  EXPECT_EQ(Form1->size(), QSize(1020, 710));
  EXPECT_EQ(Form1->minimumSize(), Form1->maximumSize());
  const QRect screen = Form1->screen()->availableGeometry();
  // Integer halving may put the centre half a pixel off on odd sizes.
  // The window on the screen is the frame with the menu bar and the status line.
  EXPECT_LE((Form1->window()->frameGeometry().center() - screen.center()).manhattanLength(), 2);
}

TEST(WindowFrames, LyapunovWindowHasItsOuterSizeAndStaysOnTop) {
  EXPECT_EQ(Form3->GetText(), "Ljapunov-exponent");
  EXPECT_EQ(Form3->frameGeometry().topLeft(), QPoint(502, 112));
  EXPECT_TRUE(Form3->windowFlags() & Qt::WindowStaysOnTopHint);
  // Without a frame (the test platform draws none) the outer size is the client area.
  EXPECT_EQ(Form3->frameGeometry().size(), QSize(434, 439));
}

TEST(WindowFrames, AuxiliaryWindowIsEmpty) {
  EXPECT_EQ(Form2->GetText(), "Form2");
  EXPECT_EQ(Form2->frameGeometry(), QRect(49, 57, 814, 587));
  EXPECT_TRUE(Form2->findChildren<QWidget*>().isEmpty());
}

}  // namespace
}  // namespace trapezola
