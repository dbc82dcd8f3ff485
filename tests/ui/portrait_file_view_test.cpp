// File > Save portrait and the load that restores everything it saved; View >
// Back and Full view after zooms; the rubber band of a right-button drag.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "main_window_controls.h"
#include "raster/conversions.h"
#include "tests/explorer_test_support.h"
#include "ui/main_window/tform1.h"
#include "ui_test_support.h"

namespace trapezola {
namespace {

using testing::ReportedErrors;
using testing::SharedStateGuard;
using toolkit::TOpenPictureDialog;
using toolkit::TSavePictureDialog;

std::vector<std::uint32_t> pixelsOf(const toolkit::TCanvas& c) {
  return {c.bits(), c.bits() + static_cast<std::size_t>(c.width()) * static_cast<std::size_t>(c.height())};
}

class PortraitFileAndView : public ::testing::Test {
 protected:
  void SetUp() override {
    Explorer& ex = Form1->explorer();
    ASSERT_TRUE(folder_.isValid());
    ex.ball = WindowBall{};
    ex.window = PhaseWindowRecord{};
    ex.resume = ResumeStateRecord{};
    ex.runCount = 0;
    Form1->Button4Click();
    toolkit::TCanvas& c = *mainImage("faziskep")->Canvas;
    c.Brush->Color = toolkit::clWhite;
    c.FillRect(0, 0, portraitWidth, portraitHeight);
    ex.window = PhaseWindowRecord{};
    mainComboBox("ComboBox1")->SetItemIndex(0);
    mainColorBox("ColorBox1")->SetSelected(toolkit::clBlack);
    mainCheckBox("CheckBox3")->SetChecked(true);
  }
  void TearDown() override {
    Explorer& ex = Form1->explorer();
    TSavePictureDialog::fileChooser = std::move(savedSave_);
    TOpenPictureDialog::fileChooser = std::move(savedOpen_);
    ex.runCount = 0;
  }

  static void go(const char* b, const char* rr, const char* distance, const char* angle, const char* repeat) {
    mainEdit("Edit1")->SetText(b);
    mainEdit("Edit2")->SetText(rr);
    mainEdit("Edit3")->SetText(distance);
    mainEdit("Edit4")->SetText(angle);
    mainEdit("Edit5")->SetText(repeat);
    Form1->Button1Click();
    Form1->WaitForRun();
  }

  QTemporaryDir folder_{QDir::tempPath() + "/trapezola-save-XXXXXX"};
  SharedStateGuard state_;
  decltype(TSavePictureDialog::fileChooser) savedSave_ = TSavePictureDialog::fileChooser;
  decltype(TOpenPictureDialog::fileChooser) savedOpen_ = TOpenPictureDialog::fileChooser;
};

TEST_F(PortraitFileAndView, ASavedPortraitLoadsBackWithEveryParameterAndContinues) {
  Explorer& ex = Form1->explorer();
  mainComboBox("ComboBox1")->SetItemIndex(1);
  mainColorBox("ColorBox1")->SetSelected(toolkit::clBlue);
  go("0.5", "2", "0.7", "60", "2");
  const std::vector<std::uint32_t> saved = pixelsOf(*mainImage("faziskep")->Canvas);
  const PhaseWindowRecord window = ex.window;
  const ResumeStateRecord resume = ex.resume;
  // The suggested name is the stored-portrait name, in the folder last used.
  std::string suggested;
  const std::string folder = folder_.path().toStdString();
  Form1->SavePictureDialog->FileName = folder + "/earlier.png";
  TSavePictureDialog::fileChooser = [&](QWidget*, const std::string& start, const std::string&) {
    suggested = start;
    return std::optional<std::string>(start);
  };
  Form1->SavePortrait();
  EXPECT_EQ(suggested, folder + "/B_0.5_rr_2_i2_kx_8.01738_kn_0.00000_px_3.14159_pn_0.00000.png");
  EXPECT_EQ(QImage(QString::fromStdString(suggested)).text("angle"), "60");
  // That run continued once more: what a loaded portrait's "continue" must draw.
  Form1->Button1Click();
  Form1->WaitForRun();
  const std::vector<std::uint32_t> continued = pixelsOf(*mainImage("faziskep")->Canvas);

  // Another table, other fields, another look.
  go("1", "3", "1", "45", "1");
  mainComboBox("ComboBox1")->SetItemIndex(0);
  mainColorBox("ColorBox1")->SetSelected(toolkit::clRed);
  TOpenPictureDialog::fileChooser = [&](QWidget*, const std::string&, const std::string&) {
    return std::optional<std::string>(suggested);
  };
  Form1->Button2Click();
  EXPECT_EQ(pixelsOf(*mainImage("faziskep")->Canvas), saved);
  EXPECT_EQ(mainEdit("Edit1")->GetText(), "0.5");
  EXPECT_EQ(mainEdit("Edit3")->GetText(), "0.7");
  EXPECT_EQ(mainEdit("Edit4")->GetText(), "60");
  EXPECT_EQ(mainEdit("Edit5")->GetText(), "2");
  EXPECT_EQ(mainComboBox("ComboBox1")->ItemIndex(), 1);
  EXPECT_EQ(mainColorBox("ColorBox1")->Selected(), toolkit::clBlue);
  EXPECT_EQ(std::memcmp(&ex.window, &window, sizeof window), 0);
  EXPECT_EQ(std::memcmp(&ex.resume, &resume, sizeof resume), 0);
  EXPECT_EQ(mainButton("Button1")->GetText(), "continue");
  Form1->Button1Click();
  Form1->WaitForRun();
  EXPECT_EQ(pixelsOf(*mainImage("faziskep")->Canvas), continued);
}

TEST_F(PortraitFileAndView, ExportFigureWritesTheChosenFormatAndAsksAPngItsWidth) {
  go("0.5", "2", "0.7", "60", "1");
  const std::string folder = folder_.path().toStdString();
  std::string path;
  std::string filter;
  TSavePictureDialog::fileChooser = [&](QWidget*, const std::string&, const std::string& offered) {
    filter = offered;
    return std::optional<std::string>(path);
  };
  int asked = 0;
  const auto savedAsker = TSavePictureDialog::numberAsker;
  TSavePictureDialog::numberAsker = [&](QWidget*, const std::string&, int value, int, int) {
    ++asked;
    EXPECT_EQ(value, 1600);
    return std::optional<int>(640);
  };
  path = folder + "/figure.svg";
  Form1->ExportFigure();
  EXPECT_EQ(filter, "PNG (*.png);;SVG (*.svg);;PDF (*.pdf)");
  QFile svg(QString::fromStdString(path));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  const QByteArray svgText = svg.readAll();
  EXPECT_TRUE(svgText.contains("b = 0.5, R8/R = 2"));
  EXPECT_TRUE(svgText.contains("<svg width=\"180mm\""));  // two journal columns
  EXPECT_TRUE(svgText.contains(">3\u03c0/4<"));
  EXPECT_EQ(asked, 0);
  path = folder + "/figure.png";
  Form1->ExportFigure();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(QImage(QString::fromStdString(path)).width(), 640);
  // Another extension is refused with a message, and nothing is written.
  ReportedErrors errors;
  path = folder + "/figure.gif";
  Form1->FileExportFigure->trigger();
  EXPECT_EQ(errors.messages.size(), 1u);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
  TSavePictureDialog::numberAsker = savedAsker;
}

// The save dialog shows the type of the proposed name, and a chosen type
// renames the typed file to its extension.
TEST(SaveDialogFileType, FollowsTheNameAndTheNameFollowsTheType) {
  const std::string filter = "PNG (*.png);;SVG (*.svg);;PDF (*.pdf)";
  const struct {
    const char* name;
    const char* entry;
  } shown[] = {{"figure.pdf", "PDF (*.pdf)"}, {"/tmp/a.b/figure.SVG", "SVG (*.svg)"},
               {"figure.png", "PNG (*.png)"}, {"figure", "PNG (*.png)"},
               {"figure.gif", "PNG (*.png)"}, {"/tmp/x.pdf/figure", "PNG (*.png)"}};
  for (const auto& c : shown) EXPECT_EQ(toolkit::nameFilterFor(filter, c.name), c.entry) << c.name;
  const struct {
    const char* name;
    const char* entry;
    const char* renamed;
  } renamed[] = {{"figure.pdf", "SVG (*.svg)", "figure.svg"},
                 {"/tmp/a.b/figure.pdf", "PNG (*.png)", "/tmp/a.b/figure.png"},
                 {"/tmp/a.b/figure", "PDF (*.pdf)", "/tmp/a.b/figure.pdf"},
                 {"figure.PDF", "PDF (*.pdf)", "figure.PDF"},
                 {"figure.pdf", "All files (*)", "figure.pdf"},
                 {"", "PDF (*.pdf)", ""}};
  for (const auto& c : renamed) {
    EXPECT_EQ(toolkit::nameWithFilterSuffix(c.name, c.entry), c.renamed) << c.name << " " << c.entry;
  }
}

TEST_F(PortraitFileAndView, BackReturnsToThePreviousWindowAndFullViewToTheWhole) {
  Explorer& ex = Form1->explorer();
  go("0.5", "2", "0.7", "60", "1");
  ex.hover = HoverPointRecord{2.0, 1.2, 0, 0};
  const PhaseWindowRecord full = ex.window;
  Form1->faziskepMouseDown(toolkit::mbRight, 0, 100, 100);
  Form1->faziskepMouseUp(toolkit::mbRight, 0, 500, 400);
  const PhaseWindowRecord first = ex.window;
  const std::vector<std::uint32_t> firstZoom = pixelsOf(*mainImage("faziskep")->Canvas);
  Form1->faziskepMouseDown(toolkit::mbRight, 0, 200, 200);
  Form1->faziskepMouseUp(toolkit::mbRight, 0, 600, 500);
  EXPECT_NE(ex.window.sMax, first.sMax);

  Form1->ViewBack();
  EXPECT_EQ(std::memcmp(&ex.window, &first, sizeof first), 0);
  // The same orbit replayed into the same window: the first zoom's picture.
  EXPECT_EQ(pixelsOf(*mainImage("faziskep")->Canvas), firstZoom);
  Form1->ViewBack();
  EXPECT_EQ(ex.window.sMax, full.sMax);
  EXPECT_EQ(ex.window.scaleS, full.scaleS);
  Form1->ViewBack();  // nothing left to go back to
  EXPECT_EQ(ex.window.sMax, full.sMax);

  Form1->faziskepMouseDown(toolkit::mbRight, 0, 100, 100);
  Form1->faziskepMouseUp(toolkit::mbRight, 0, 500, 400);
  Form1->ViewFullView();
  EXPECT_EQ(ex.window.sMin, 0.0);
  EXPECT_EQ(ex.window.sMax, ex.table.s4);
  EXPECT_EQ(ex.window.phiMax, pi);
  EXPECT_EQ(ex.window.scaleS, full.scaleS);
  // Full view can be gone back from, too.
  Form1->ViewBack();
  EXPECT_EQ(std::memcmp(&ex.window, &first, sizeof first), 0);
}

TEST_F(PortraitFileAndView, ARightDragShowsARubberBandUntilReleased) {
  go("0.5", "2", "0.7", "60", "1");
  const std::vector<std::uint32_t> before = pixelsOf(*mainImage("faziskep")->Canvas);
  Form1->faziskepMouseDown(toolkit::mbRight, 0, 100, 100);
  Form1->faziskepMouseMove(toolkit::ssRight, 300, 250);
  EXPECT_TRUE(mainImage("faziskep")->RubberBandShown());
  // The band is shown over the portrait, not drawn on it.
  EXPECT_EQ(pixelsOf(*mainImage("faziskep")->Canvas), before);
  Form1->faziskepMouseUp(toolkit::mbRight, 0, 300, 250);
  EXPECT_FALSE(mainImage("faziskep")->RubberBandShown());
  // A plain move shows none.
  Form1->faziskepMouseMove(0, 310, 260);
  EXPECT_FALSE(mainImage("faziskep")->RubberBandShown());
}

// Fault: Save portrait into a full disk showed "Unknown error" (QSaveFile's
// words). /dev/full fails every write with ENOSPC, as a full disk does.
TEST_F(PortraitFileAndView, SavePortraitIntoAFullDiskNamesTheFileAndTheReason) {
  if (!QFile::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  go("0.5", "2", "0.7", "60", "1");
  TSavePictureDialog::fileChooser = [](QWidget*, const std::string&, const std::string&) {
    return std::optional<std::string>("/dev/full");
  };
  try {
    Form1->SavePortrait();
    FAIL() << "a save into a full disk succeeded";
  } catch (const toolkit::Exception& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot save the picture: cannot write '/dev/full': No space left on device");
  }
}

}  // namespace
}  // namespace trapezola
