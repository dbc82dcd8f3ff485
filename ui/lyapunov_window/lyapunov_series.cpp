// The lg(Tr) series as the Lyapunov window receives it from a periodic-orbit
// analysis: the data file, the growing polyline and the fit controls that
// follow the block count. Also the axes, which the series and the window's own
// handlers draw alike.
#include <cmath>
#include <stdexcept>
#include <string>

#include "raster/conversions.h"
#include "ui/lyapunov_window/lgtr_data_path.h"
#include "ui/lyapunov_window/lyapunov_graph.h"
#include "ui/lyapunov_window/tform3.h"

namespace trapezola {

namespace {

constexpr int axisRow = 330;
constexpr int axisColumn = 5;
constexpr int graphWidthBlocks = 400;

// A field that must hold a count of at least 1: the series divides by the
// block count, and a block of no bounces has no product.
int positiveCount(const toolkit::TEdit& field, const char* what) {
  int value;
  try {
    value = toolkit::StrToInt(field.GetText());
  } catch (const toolkit::EConvertError& error) {
    throw toolkit::EConvertError(std::string(what) + ": " + error.what());
  }
  if (value < 1) {
    throw toolkit::Exception("The " + std::string(what) + " must be at least 1, not " + field.GetText() +
                             ": no lg(Tr) series was computed");
  }
  return value;
}

}  // namespace

void TForm3::drawLyapunovAxes() {
  toolkit::TCanvas& c = *Image1->Canvas;
  c.Pen->Color = toolkit::clGreen;
  c.MoveTo(0, axisRow);
  c.LineTo(405, axisRow);
  for (const int x : {105, 205, 305, 405}) {
    c.MoveTo(x, 333);
    c.LineTo(x, 327);
  }
  c.MoveTo(axisColumn, 337);
  c.LineTo(axisColumn, 0);
  for (const int y : {165, 87, 252, 1}) {
    c.MoveTo(8, y);
    c.LineTo(2, y);
  }
  c.Pen->Color = toolkit::clBlack;
}

void TForm3::beginLgTrSeries(bool showGraph) {
  // The new series is written beside the old file and replaces it only when
  // complete; a series that fails here leaves the file, the graph and the
  // record as they were. An unfinished series goes first: it writes to the
  // same temporary file.
  seriesFile_.reset();
  std::unique_ptr<LgTrFileWriter> file;
  try {
    file = std::make_unique<LgTrFileWriter>(lgTrDataFilePathForWriting());
  } catch (const DataFileError& error) {
    throw toolkit::Exception(std::string("The lg(Tr) series cannot be written: ") + error.what());
  }
  const int blockSize = positiveCount(*Edit1, "block size");
  const int blockCount = positiveCount(*Edit2, "number of blocks");

  LyapunovGraphRecord& g = LyapunovGraph;
  g.lgTrMax = 0;
  g.blockSize = blockSize;
  g.blockCount = blockCount;
  // Integer division first: the graph keeps whole pixels per block.
  g.xStep = static_cast<float>(graphWidthBlocks / blockCount);
  g.yScale = 330.0f / g.yMax;
  drawLyapunovAxes();
  // ln 2 at block 0: the trace of the identity, where every product starts.
  Image1->Canvas->MoveTo(axisColumn, graphRow(std::log(2.0)));
  seriesFile_ = std::move(file);
  showSeries_ = showGraph;
}

void TForm3::addLgTrPoint(int block, double value) {
  if (!seriesFile_) throw std::logic_error("an lg(Tr) point arrived outside a series");
  LyapunovGraphRecord& g = LyapunovGraph;
  if (value > g.lgTrMax) g.lgTrMax = static_cast<float>(value);
  seriesFile_->add(block, value);
  if (showSeries_) {
    setVisible(true);
    toolkit::TCanvas& c = *Image1->Canvas;
    c.Brush->Color = toolkit::clBlack;
    c.LineTo(graphColumn(block), graphRow(value));
  }
}

void TForm3::endLgTrSeries() {
  const LyapunovGraphRecord& g = LyapunovGraph;
  Label4->SetText("lg(tr)max: " + toolkit::FloatToStr(std::ceil(static_cast<double>(g.lgTrMax))));
  // A position pushed by the new maximum, or set here, runs TrackBar1Change.
  TrackBar1->SetMax(toolkit::StrToInt(Edit2->GetText()));
  TrackBar1->SetPosition(TrackBar1->Max());
  TrackBar2->SetMax(toolkit::StrToInt(Edit2->GetText()));
  const int frequency = toolkit::pixelFromReal(g.xStep);
  TrackBar1->SetFrequency(frequency);
  TrackBar2->SetFrequency(frequency);

  std::unique_ptr<LgTrFileWriter> file = std::move(seriesFile_);
  if (!file) throw std::logic_error("an lg(Tr) series ended that had not begun");
  try {
    file->commit();
  } catch (const DataFileError& error) {
    throw toolkit::Exception(std::string("The lg(Tr) series was not saved: ") + error.what());
  }
}

}  // namespace trapezola
