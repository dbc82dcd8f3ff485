// The Lyapunov window's own controls: the Ymax field, the fit button, the two
// track bars of the fit window and the double click that clears the graph.
//
// The fit window holds the data file's line positions i (from 0) with
// fitStart < i < blockCount - fitEndSkip. The bottom bar sets fitStart, the top
// bar at position p sets fitEndSkip = blockCount - p; each bar is pushed back
// when it would close the window.
#include <cstdint>
#include <string>
#include <vector>

#include "core/analysis/lgtr_data_file.h"
#include "core/analysis/lyapunov_fit.h"
#include "raster/conversions.h"
#include "ui/lyapunov_window/lgtr_data_path.h"
#include "ui/lyapunov_window/lyapunov_graph.h"
#include "ui/lyapunov_window/tform3.h"

namespace trapezola {

namespace {

using toolkit::FloatToStrF;

void clearGraph(toolkit::TCanvas& c) {
  c.Brush->Color = toolkit::clWhite;
  c.FillRect(0, 0, 410, 340);
  c.Brush->Color = toolkit::clBlack;
}

}  // namespace

// Takes effect with the next series; the graph on screen keeps its scale.
// The beginning of a number ("", "-", "1e") is no error while it is typed.
void TForm3::Edit3Change() {
  const std::string text = Edit3->GetText();
  try {
    LyapunovGraph.yMax = static_cast<float>(toolkit::StrToFloat(text));
  } catch (const toolkit::EConvertError& error) {
    if (toolkit::isNumberBeingTyped(text)) return;
    throw toolkit::EConvertError(std::string("Ymax: ") + error.what());
  }
}

// Everything that can fail (no series yet, the data file, too few lines for a
// line) is settled before the graph is touched, so a fit that cannot be made
// leaves the previous graph, scales and texts on screen.
void TForm3::Button2Click() {
  LyapunovGraphRecord& g = LyapunovGraph;
  // The graph is rescaled to the last series' maximum: with none above 0 there
  // is no scale to draw with.
  if (!(g.lgTrMax > 0)) {
    throw toolkit::Exception(
        "There is nothing to fit yet: no lg(Tr) series with values above 0 has been computed. "
        "Right-click an orbit on the phase portrait first.");
  }
  int blockCount;
  try {
    blockCount = toolkit::StrToInt(Edit2->GetText());
  } catch (const toolkit::EConvertError& error) {
    throw toolkit::EConvertError(std::string("number of blocks: ") + error.what());
  }
  std::vector<LgTrLine> lines;
  try {
    lines = readLgTrFile(lgTrDataFilePath(), blockCount);
  } catch (const DataFileError& error) {
    throw toolkit::Exception(std::string("Cannot fit a line: ") + error.what());
  }
  LyapunovFit fit;
  try {
    fit = fitLgTrLines(lines, g.fitStart, g.fitEndSkip, g.blockSize);
  } catch (const LyapunovFitError& error) {
    throw toolkit::Exception(std::string("Cannot fit a line: ") + error.what());
  }

  g.yScale = 330.0f / g.lgTrMax;
  g.yMax = g.lgTrMax;
  toolkit::TCanvas& c = *Image1->Canvas;
  clearGraph(c);
  drawLyapunovAxes();
  c.MoveTo(5, 330);
  g.blockCount = blockCount;
  // Every line is drawn, also those outside the fit window; the drawing uses
  // the block index written on the line.
  for (const LgTrLine& line : lines) c.LineTo(graphColumn(line.block), graphRow(line.value));

  const double a = fit.slope;
  const double b = fit.intercept;
  g.gradient = fit.gradient;
  // From the start of the window to its end, both as block indexes; wide
  // integers keep blockCount - fitEndSkip exact for any bar positions.
  const double start = g.fitStart;
  const double end = static_cast<double>(std::int64_t{g.blockCount} - g.fitEndSkip);
  c.MoveTo(graphColumn(start), graphRow(start * a + b));
  c.Pen->Color = toolkit::clRed;
  c.LineTo(graphColumn(end), graphRow(end * a + b));

  Label4->SetText("y=ax+b\na= " + FloatToStrF(a, toolkit::ffExponent, 7, 7) +
                  "\nb= " + FloatToStrF(b, toolkit::ffExponent, 7, 7) + "\nblockindependent gradient:");
  Edit4->SetText(FloatToStrF(g.gradient, toolkit::ffGeneral, 7, 7));
}

// Label4 keeps the last maximum or fit.
void TForm3::Image1DblClick() {
  clearGraph(*Image1->Canvas);
  Edit4->SetText("");
  drawLyapunovAxes();
}

// Setting a position in a correction runs the handler once more; that pass
// finds the window open and corrects nothing. The sums are taken in 64 bits so
// that no pair of bar positions and block counts can overflow them.
void TForm3::TrackBar1Change() {
  LyapunovGraphRecord& g = LyapunovGraph;
  g.fitEndSkip = static_cast<int>(std::int64_t{g.blockCount} - TrackBar1->Position());
  if (std::int64_t{TrackBar1->Max()} - g.fitEndSkip <= g.fitStart) {
    g.fitEndSkip = static_cast<int>(std::int64_t{TrackBar1->Max()} - g.fitStart - 1);
    TrackBar1->SetPosition(static_cast<int>(std::int64_t{TrackBar1->Max()} - g.fitEndSkip));
  }
}

void TForm3::TrackBar2Change() {
  LyapunovGraphRecord& g = LyapunovGraph;
  g.fitStart = TrackBar2->Position();
  if (std::int64_t{TrackBar1->Max()} - g.fitEndSkip <= g.fitStart) {
    g.fitStart = static_cast<int>(std::int64_t{TrackBar1->Max()} - g.fitEndSkip - 1);
    TrackBar2->SetPosition(g.fitStart);
  }
}

}  // namespace trapezola
