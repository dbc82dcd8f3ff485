// The window holds b, R8/R and the start angle to the ranges every front end
// holds them to, in its fields and in what a loaded picture carries: a value
// outside gives one error box naming where it came from, the value and the
// range, and nothing changes. A picture that is not a portrait is refused
// before it replaces the current one.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/geometry/table_geometry.h"
#include "explorer/geometry_summary.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "main_window_controls.h"
#include "tests/explorer_test_support.h"
#include "ui/main_window/tform1.h"
#include "ui_test_support.h"

namespace trapezola {
namespace {

using testing::ReportedErrors;
using testing::setTextQuietly;
using testing::SharedStateGuard;
using toolkit::TOpenPictureDialog;

// What a refused value must leave as it was.
struct WindowSnapshot {
  std::string geometryLabel, analysisLabel, goButton;
  std::string fields[5];
  double b, rr, s4, enteredB;
  PhaseWindowRecord window;
  ResumeStateRecord resume;
  int runCount;
  int portraitWidth;
  toolkit::TColor portraitPixel;
  bool running;

  static WindowSnapshot take() {
    Explorer& ex = Form1->explorer();
    WindowSnapshot w;
    w.geometryLabel = mainLabel("Label1")->GetText();
    w.analysisLabel = mainLabel("Label11")->GetText();
    w.goButton = mainButton("Button1")->GetText();
    const char* names[5] = {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5"};
    for (int i = 0; i < 5; ++i) w.fields[i] = mainEdit(names[i])->GetText();
    w.b = ex.table.b;
    w.rr = ex.table.rr;
    w.s4 = ex.table.s4;
    w.enteredB = ex.enteredB;
    w.window = ex.window;
    w.resume = ex.resume;
    w.runCount = ex.runCount;
    w.portraitWidth = mainImage("faziskep")->Canvas->width();
    w.portraitPixel = mainImage("faziskep")->Canvas->pixel(400, 300);
    w.running = Form1->Running();
    return w;
  }
};

void expectUnchanged(const WindowSnapshot& before, const WindowSnapshot& after) {
  EXPECT_EQ(after.geometryLabel, before.geometryLabel);
  EXPECT_EQ(after.analysisLabel, before.analysisLabel);
  EXPECT_EQ(after.goButton, before.goButton);
  EXPECT_EQ(after.b, before.b);
  EXPECT_EQ(after.rr, before.rr);
  EXPECT_EQ(after.s4, before.s4);
  EXPECT_EQ(after.enteredB, before.enteredB);
  EXPECT_EQ(after.window.sMin, before.window.sMin);
  EXPECT_EQ(after.window.sMax, before.window.sMax);
  EXPECT_EQ(after.window.phiMax, before.window.phiMax);
  EXPECT_EQ(after.resume.x, before.resume.x);
  EXPECT_EQ(after.resume.dx, before.resume.dx);
  EXPECT_EQ(after.runCount, before.runCount);
  EXPECT_EQ(after.portraitWidth, before.portraitWidth);
  EXPECT_EQ(after.portraitPixel, before.portraitPixel);
  EXPECT_FALSE(after.running);
}

// A window after a stopped run on the table b = 0.5, R8/R = 2: a portrait with
// dots, the table summary, a run to continue.
class CheckedInput : public ::testing::Test {
 protected:
  void SetUp() override {
    Explorer& ex = Form1->explorer();
    ASSERT_TRUE(folder_.isValid());
    ex.runCount = 0;
    ex.resume = ResumeStateRecord{};
    mainButton("Button1")->SetText("go");
    for (auto [name, text] : {std::pair{"Edit1", "0.5"}, std::pair{"Edit2", "2"}, std::pair{"Edit3", "0.7"},
                              std::pair{"Edit4", "60"}, std::pair{"Edit5", "1"}}) {
      setTextQuietly(mainEdit(name), text);
    }
    ex.enteredB = 0.5;
    Form1->Button1Click();
    Form1->WaitForRun();
    // The run to continue that a refused table must not discard.
    ex.resume = ResumeStateRecord{0.25, 0.5, 0.6, 0.8};
    mainButton("Button1")->SetText("continue");
    mainLabel("Label11")->SetText("before");
    Form1->OpenPictureDialog1->FileName.clear();
  }
  void TearDown() override {
    Explorer& ex = Form1->explorer();
    TOpenPictureDialog::fileChooser = std::move(savedChooser_);
    ex.runCount = 0;
  }

  std::string picture(const std::string& name,
                      const std::vector<std::pair<const char*, std::string>>& texts) {
    const std::string path = folder_.filePath(QString::fromStdString(name)).toStdString();
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (const auto& [key, value] : texts) image.setText(key, QString::fromStdString(value));
    EXPECT_TRUE(image.save(QString::fromStdString(path))) << path;
    return path;
  }

  static void choose(const std::string& path) {
    TOpenPictureDialog::fileChooser = [path](QWidget*, const std::string&, const std::string&) {
      return std::optional<std::string>(path);
    };
  }

  QTemporaryDir folder_{QDir::tempPath() + "/trapezola-checked-XXXXXX"};
  SharedStateGuard state_;
  decltype(TOpenPictureDialog::fileChooser) savedChooser_ = TOpenPictureDialog::fileChooser;
};

struct RefusedField {
  const char* field;  // layout name
  const char* text;
  const char* message;  // what the box must say, in order: field, value, range
};

void PrintTo(const RefusedField& c, std::ostream* out) {
  *out << c.field << " = " << c.text;
}

class RefusedFields : public CheckedInput, public ::testing::WithParamInterface<RefusedField> {};

const RefusedField refusedFields[] = {
    {"Edit1", "0", "b: '0' is outside [0.0001, 1]"},
    {"Edit1", "-1", "b: '-1' is outside [0.0001, 1]"},
    {"Edit1", "2", "b: '2' is outside [0.0001, 1]"},
    {"Edit1", "1e308", "b: '1e308' is outside [0.0001, 1]"},
    {"Edit2", "0.5", "R8/R: '0.5' is outside [1, 10000]"},
    {"Edit2", "1e300", "R8/R: '1e300' is outside [1, 10000]"},
    {"Edit4", "200", "angle: '200' is outside (0, 180)"},
    {"Edit4", "0", "angle: '0' is outside (0, 180)"},
    {"Edit4", "180", "angle: '180' is outside (0, 180)"},
};

// Regression: b = 0 or R8/R = 0.5 cleared the portrait and showed
// "r=NAN R8=NAN R=NAN"; angle 200 ran a whole portrait.
TEST_P(RefusedFields, GoChangesNothing) {
  const RefusedField& c = GetParam();
  setTextQuietly(mainEdit(c.field), c.text);
  const WindowSnapshot before = WindowSnapshot::take();
  ReportedErrors errors;
  mainButton("Button1")->click();
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_NE(errors.messages[0].find(c.message), std::string::npos) << errors.messages[0];
  expectUnchanged(before, WindowSnapshot::take());
}

// Typing the value in is no error; leaving the field is, and changes nothing.
TEST_P(RefusedFields, LeavingTheFieldChangesNothing) {
  Explorer& ex = Form1->explorer();
  const RefusedField& c = GetParam();
  const double b = ex.enteredB;
  ReportedErrors errors;
  mainEdit(c.field)->SetText(c.text);
  EXPECT_TRUE(errors.messages.empty());
  // Typing into a start field makes the next go start afresh, as ever; the b
  // typed does not become the b a left field builds with.
  EXPECT_EQ(ex.enteredB, b);
  const WindowSnapshot before = WindowSnapshot::take();
  const std::map<std::string, std::function<void()>> leave = {
      {"Edit1", [] { Form1->Edit1Exit(); }},
      {"Edit2", [] { Form1->Edit2Exit(); }},
      {"Edit4", [] { Form1->StartFieldExit("angle", *mainEdit("Edit4"), &startAngleRange); }}};
  try {
    leave.at(c.field)();
  } catch (const std::exception& error) {
    errors.messages.push_back(error.what());
  }
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_NE(errors.messages[0].find(c.message), std::string::npos) << errors.messages[0];
  expectUnchanged(before, WindowSnapshot::take());
}

INSTANTIATE_TEST_SUITE_P(Fields, RefusedFields, ::testing::ValuesIn(refusedFields));

TEST_F(CheckedInput, ValuesAtTheEdgesOfTheRangesRun) {
  Explorer& ex = Form1->explorer();
  for (auto [b, rr, angle] : {std::tuple{"0.0001", "1", "0.001"}, std::tuple{"1", "10000", "179.999"}}) {
    setTextQuietly(mainEdit("Edit1"), b);
    setTextQuietly(mainEdit("Edit2"), rr);
    setTextQuietly(mainEdit("Edit4"), angle);
    ReportedErrors errors;
    ex.resume = ResumeStateRecord{};
    Form1->Button1Click();
    Form1->WaitForRun();
    EXPECT_TRUE(errors.messages.empty()) << b << " " << rr << " " << angle;
    EXPECT_EQ(mainLabel("Label1")->GetText(), buildGeometrySummary(ex.table));
  }
}

std::vector<std::pair<const char*, std::string>> savedTexts(const std::string& b, const std::string& rr,
                                                            const std::string& angle) {
  return {{"Trapezola", "test"}, {"b", b},          {"R8/R", rr},         {"distance", "0.7"},
          {"angle", angle},      {"repeat", "1"},   {"sMin", "0"},        {"sMax", "6"},
          {"phiMin", "0"},       {"phiMax", "3.1"}, {"scaleS", "130"},    {"scalePhi", "215"},
          {"point size", "2"},   {"colour", "0"},   {"resume", "0 0 0 0"}};
}

struct RefusedPicture {
  const char* name;
  std::vector<std::pair<const char*, std::string>> texts;
  const char* message;  // after the file's quoted name
};

void PrintTo(const RefusedPicture& c, std::ostream* out) {
  *out << c.name;
}

class RefusedPictures : public CheckedInput, public ::testing::WithParamInterface<RefusedPicture> {};

// Regression: a forged picture loaded into a NaN table, and a picture that is
// no portrait replaced the current one before the box said
// "'' is not a valid floating point value".
TEST_P(RefusedPictures, ChangeNothing) {
  const RefusedPicture& c = GetParam();
  const std::string path = picture(c.name, c.texts);
  choose(path);
  const WindowSnapshot before = WindowSnapshot::take();
  ReportedErrors errors;
  mainButton("Button2")->click();
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_NE(errors.messages[0].find("\"" + path + "\""), std::string::npos) << errors.messages[0];
  EXPECT_NE(errors.messages[0].find(c.message), std::string::npos) << errors.messages[0];
  WindowSnapshot after = WindowSnapshot::take();
  expectUnchanged(before, after);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(after.fields[i], before.fields[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, RefusedPictures,
    ::testing::Values(
        RefusedPicture{"forged-b.png", savedTexts("1e308", "2", "60"), "b: '1e308' is outside [0.0001, 1]"},
        RefusedPicture{"forged-rr.png", savedTexts("0.5", "0", "60"), "R8/R: '0' is outside [1, 10000]"},
        RefusedPicture{"forged-angle.png", savedTexts("0.5", "2", "200"), "angle: '200' is outside (0, 180)"},
        RefusedPicture{"forged-text.png", savedTexts("0.5x", "2", "60"), "b: '0.5x' is not a valid"},
        RefusedPicture{"B_1e308_rr_2_i40_kx_6.11234_kn_0.00000_px_3.14159_pn_0.00000.png",
                       {},
                       "b: '1e308' is outside [0.0001, 1]"},
        RefusedPicture{"B_0.5_rr_0_i40_kx_6.11234_kn_0.00000_px_3.14159_pn_0.00000.png",
                       {},
                       "R8/R: '0' is outside [1, 10000]"},
        RefusedPicture{"B_0.5_rr_2_i40_kx_0.00000_kn_0.00000_px_3.14159_pn_0.00000.png",
                       {},
                       "the phase window s 0 .. 0, phi 0 .. 3.14159 is empty"},
        RefusedPicture{"holiday.png", {}, "it is not a portrait"},
        RefusedPicture{"holiday-with-text.png", {{"Title", "Sea"}}, "it is not a portrait"}));

TEST_F(CheckedInput, APictureThatIsNoPortraitSaysWhatItLacks) {
  choose(picture("B_0.5_rr_2_i40_kx_6.11234_kn_0.00000.png", {}));
  ReportedErrors errors;
  mainButton("Button2")->click();
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_NE(errors.messages[0].find("lacks the stored portrait's \"px_\" \"pn_\""), std::string::npos)
      << errors.messages[0];
}

// Regression: after a load the label kept the previous table, or NaNs.
TEST_F(CheckedInput, ALoadedPortraitShowsItsTable) {
  Explorer& ex = Form1->explorer();
  for (const std::string& path :
       {picture("saved.png", savedTexts("0.25", "3", "60")),
        picture("B_0.25_rr_3_i40_kx_6.11234_kn_0.00000_px_3.14159_pn_0.00000.png", {})}) {
    choose(path);
    ReportedErrors errors;
    mainButton("Button2")->click();
    ASSERT_TRUE(errors.messages.empty()) << errors.messages[0];
    EXPECT_EQ(ex.table.b, 0.25);
    EXPECT_EQ(ex.table.rr, 3);
    EXPECT_EQ(mainLabel("Label1")->GetText(), buildGeometrySummary(ex.table)) << path;
    EXPECT_EQ(mainImage("faziskep")->Canvas->width(), 30);
  }
}

}  // namespace
}  // namespace trapezola
