// Shared set-up of the tests of the right-button gestures, the Lyapunov window
// and the loader: the data file in a temporary folder, and the window state
// these handlers change put back afterwards.
#pragma once

#include <QTemporaryDir>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "main_window_controls.h"
#include "ui/lyapunov_window/lgtr_data_path.h"
#include "ui/lyapunov_window/tform3.h"
#include "ui/main_window/tform1.h"
#include "ui_test_support.h"

namespace trapezola::testing {

// Points the lg(Tr) data file into a fresh temporary folder for one test, so
// that no test reads or writes the user's application data.
class DataFileInTemporaryFolder {
 public:
  DataFileInTemporaryFolder() { setLgTrDataFilePath(path()); }
  ~DataFileInTemporaryFolder() { setLgTrDataFilePath(std::nullopt); }
  DataFileInTemporaryFolder(const DataFileInTemporaryFolder&) = delete;
  DataFileInTemporaryFolder& operator=(const DataFileInTemporaryFolder&) = delete;

  std::filesystem::path folder() const { return folder_.path().toStdString(); }
  std::filesystem::path path() const { return folder() / lgTrDataFileName; }
  bool valid() const { return folder_.isValid(); }

 private:
  QTemporaryDir folder_;
};

inline std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// The main window's and the Lyapunov window's controls and records that the
// gestures, the series, the fit and the loader change, as they were when the
// guard was made. The portrait and the graph get their pixels back too.
class WindowStateGuard {
 public:
  WindowStateGuard() = default;
  ~WindowStateGuard() {
    setTextQuietly(mainEdit("Edit1"), edit1_);
    setTextQuietly(mainEdit("Edit2"), edit2_);
    setTextQuietly(mainEdit("Edit6"), edit6_);
    mainLabel("Label11")->SetText(label11_);
    mainLabel("Label1")->SetText(label1_);
    mainLabel("Label8")->SetText(label8_);
    mainLabel("Label9")->SetText(label9_);
    mainButton("Button1")->SetText(button1_);
    mainCheckBox("CheckBox4")->SetChecked(checkBox4_);
    mainColorBox("ColorBox1")->SetSelected(colour_);
    mainTrackBar("TrackBar1")->SetPosition(sensitivity_);
    mainProgressBar("ProgressBar1")->SetPosition(progress_);
    Form1->OpenPictureDialog1->FileName = pictureName_;
    mainImage("faziskep")->Canvas->assign(portraitWidth_, portraitHeight_, portrait_.data());

    setTextQuietly(Form3->Edit1, blockSizeText_);
    setTextQuietly(Form3->Edit2, blockCountText_);
    setTextQuietly(Form3->Edit3, yMaxText_);
    setTextQuietly(Form3->Edit4, gradientText_);
    Form3->Label4->SetText(label4_);
    Form3->Image1->Canvas->assign(graphWidth_, graphHeight_, graph_.data());
    // The bars' own events would write the fit window; the record is restored
    // below as a whole.
    {
      const QSignalBlocker quiet1(Form3->TrackBar1);
      const QSignalBlocker quiet2(Form3->TrackBar2);
      Form3->TrackBar1->SetMax(bar1Max_);
      Form3->TrackBar1->SetPosition(bar1Position_);
      Form3->TrackBar1->SetFrequency(bar1Frequency_);
      Form3->TrackBar2->SetMax(bar2Max_);
      Form3->TrackBar2->SetPosition(bar2Position_);
      Form3->TrackBar2->SetFrequency(bar2Frequency_);
    }
    Form3->setVisible(form3Visible_);
  }
  WindowStateGuard(const WindowStateGuard&) = delete;
  WindowStateGuard& operator=(const WindowStateGuard&) = delete;

 private:
  static std::vector<std::uint32_t> pixelsOf(const toolkit::TCanvas& c) {
    const std::size_t n = static_cast<std::size_t>(c.width()) * static_cast<std::size_t>(c.height());
    return std::vector<std::uint32_t>(c.bits(), c.bits() + n);
  }

  SharedStateGuard records_;
  std::string edit1_ = mainEdit("Edit1")->GetText();
  std::string edit2_ = mainEdit("Edit2")->GetText();
  std::string edit6_ = mainEdit("Edit6")->GetText();
  std::string label1_ = mainLabel("Label1")->GetText();
  std::string label11_ = mainLabel("Label11")->GetText();
  std::string label8_ = mainLabel("Label8")->GetText();
  std::string label9_ = mainLabel("Label9")->GetText();
  std::string button1_ = mainButton("Button1")->GetText();
  bool checkBox4_ = mainCheckBox("CheckBox4")->Checked();
  toolkit::TColor colour_ = mainColorBox("ColorBox1")->Selected();
  int sensitivity_ = mainTrackBar("TrackBar1")->Position();
  int progress_ = mainProgressBar("ProgressBar1")->Position();
  std::string pictureName_ = Form1->OpenPictureDialog1->FileName;
  int portraitWidth_ = mainImage("faziskep")->Canvas->width();
  int portraitHeight_ = mainImage("faziskep")->Canvas->height();
  std::vector<std::uint32_t> portrait_ = pixelsOf(*mainImage("faziskep")->Canvas);

  std::string blockSizeText_ = Form3->Edit1->GetText();
  std::string blockCountText_ = Form3->Edit2->GetText();
  std::string yMaxText_ = Form3->Edit3->GetText();
  std::string gradientText_ = Form3->Edit4->GetText();
  std::string label4_ = Form3->Label4->GetText();
  int graphWidth_ = Form3->Image1->Canvas->width();
  int graphHeight_ = Form3->Image1->Canvas->height();
  std::vector<std::uint32_t> graph_ = pixelsOf(*Form3->Image1->Canvas);
  int bar1Max_ = Form3->TrackBar1->Max();
  int bar1Position_ = Form3->TrackBar1->Position();
  int bar1Frequency_ = Form3->TrackBar1->Frequency();
  int bar2Max_ = Form3->TrackBar2->Max();
  int bar2Position_ = Form3->TrackBar2->Position();
  int bar2Frequency_ = Form3->TrackBar2->Frequency();
  bool form3Visible_ = Form3->isVisible();
};

}  // namespace trapezola::testing
