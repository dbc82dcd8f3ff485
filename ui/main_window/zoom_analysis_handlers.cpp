// Right-button gestures on the portrait: a drag zooms into the dragged rectangle,
// a click analyses the periodic orbit under the pointer.
//
// Both start their orbit at HoverPoint, the phase point of the last accepted
// pointer move, not at the pixel of the release. Pixels map to the phase window
// with x = 6 at sMin and y = 9 at phiMax, the read-out's mapping.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/analysis/lgtr_series.h"
#include "core/analysis/periodic_orbit.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/analysis_label.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "raster/conversions.h"
#include "ui/lyapunov_window/lyapunov_graph.h"
#include "ui/lyapunov_window/tform3.h"
#include "ui/main_window/run_progress.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

namespace {

// Pixel position of the last right-button press on the portrait.
struct PressPointRecord {
  double x = 0, y = 0;
};
PressPointRecord pressPoint;

// The phase windows before each zoom, the latest last, for View > Back.
std::vector<PhaseWindowRecord> zoomHistory;

// Where the last zoom's replayed orbit starts: the hovered phase point then.
struct ReplayStartRecord {
  double s = 0, phi = 0;
};
ReplayStartRecord replayStart;

// The phase window's part of a zoom: the rectangle between the two corners,
// inverted with the window from before the zoom on every right-hand side.
void zoomPhaseWindow(double xLo, double xHi, double yLo, double yHi) {
  const PhaseWindowRecord before = PhaseWindow;
  PhaseWindowRecord& w = PhaseWindow;
  w.sMax = before.sMin + (xHi - 6) / before.scaleS;
  w.sMin = before.sMin + (xLo - 6) / before.scaleS;
  w.phiMin = before.phiMax - (yHi - 9) / before.scalePhi;
  w.phiMax = before.phiMax - (yLo - 9) / before.scalePhi;
  w.scaleS = plotAreaWidth / (w.sMax - w.sMin);
  w.scalePhi = plotAreaHeight / (w.phiMax - w.phiMin);
}

}  // namespace

// Zooms into the rectangle between the press and (x, y), clears the portrait
// and replays the hovered orbit into the new window.
void TForm1::zoom(double x, double y) {
  analysisLabel->SetText("zooming...");
  const double xHi = std::max(x, pressPoint.x);
  const double xLo = std::min(x, pressPoint.x);
  const double yHi = std::max(y, pressPoint.y);
  const double yLo = std::min(y, pressPoint.y);
  zoomHistory.push_back(PhaseWindow);
  zoomPhaseWindow(xLo, xHi, yLo, yHi);

  toolkit::TCanvas& portrait = *portraitImage->Canvas;
  portrait.Brush->Color = toolkit::clWhite;
  // Right is exclusive: column 793 keeps what it showed, as after "clear".
  portrait.FillRect(0, 0, 793, 681);
  portrait.Brush->Color = toolkit::clBlack;
  portrait.Pen->Color = colorBox->Selected();
  portrait.Brush->Color = colorBox->Selected();
  analysisLabel->SetText(toolkit::FloatToStr(PhaseWindow.scaleS) + "  " + toolkit::FloatToStr(xHi - xLo) +
                         " " + toolkit::FloatToStr(PhaseWindow.scalePhi));

  replayStart = ReplayStartRecord{HoverPoint.s, HoverPoint.phi};
  replay();
}

// The hovered orbit of the last zoom, replayed into the phase window as it now
// stands: 1001 passes of repeatCount + 1 bounces.
void TForm1::replay() {
  toolkit::TCanvas& portrait = *portraitImage->Canvas;
  BallState.startS = replayStart.s;
  BallState.cosPhi = std::cos(replayStart.phi);
  placeOnBoundary(BallState.cosPhi, BallState.startS);
  // The bar goes on from where it stands; it is not reset for a zoom.
  RunProgress progress(*progressBar, *portraitImage);
  runPlottedPasses(portrait, 1001, static_cast<std::int64_t>(repeatCount) + 1, &progress);
}

// View > Back and View > Full view: the portrait cleared as a zoom clears it,
// then the last zoom's orbit replayed into the new window.
void TForm1::showWindow(const PhaseWindowRecord& window) {
  PhaseWindow = window;
  toolkit::TCanvas& portrait = *portraitImage->Canvas;
  portrait.Brush->Color = toolkit::clWhite;
  portrait.FillRect(0, 0, 793, 681);
  portrait.Pen->Color = colorBox->Selected();
  portrait.Brush->Color = colorBox->Selected();
  replay();
}

// The period, monodromy and class of the hovered orbit into Label11, then its
// lg(Tr) series into the Lyapunov window.
void TForm1::analyse() {
  const double epsilon = -sensitivitySlider->Position() * 0.001;
  // A typed period is converted before the ball moves, so a text that is not a
  // whole number changes nothing.
  const std::string periodText = periodField->GetText();
  std::optional<int> typedPeriod;
  if (periodText != "0") typedPeriod = toolkit::StrToInt(periodText);
  const PeriodicOrbitAnalysis analysis =
      analysePeriodicOrbit(HoverPoint.s, HoverPoint.phi, epsilon, typedPeriod);
  if (const std::optional<std::string> label = trapezola::analysisLabel(analysis))
    analysisLabel->SetText(*label);

  // Every analysis runs the series, periodic or not and whether or not the
  // graph is shown, from where the monodromy product began.
  Form3->beginLgTrSeries(lyapunovBox->Checked());
  runLgTrSeries(analysis.matrixStart, LyapunovGraph.blockSize, LyapunovGraph.blockCount,
                [](int block, double value) { Form3->addLgTrPoint(block, value); });
  Form3->endLgTrSeries();
}

void TForm1::faziskepMouseDown(toolkit::TMouseButton Button, toolkit::TShiftState, int X, int Y) {
  // Before the first go or load there is no table to zoom into or analyse on.
  if (Button != toolkit::mbRight || runCount < 1) return;
  pressPoint = PressPointRecord{static_cast<double>(X), static_cast<double>(Y)};
  bandStart_ = std::make_pair(X, Y);
}

void TForm1::ViewBack() {
  if (zoomHistory.empty() || runCount < 1) return;
  const PhaseWindowRecord previous = zoomHistory.back();
  zoomHistory.pop_back();
  showWindow(previous);
}

void TForm1::ViewFullView() {
  if (runCount < 1 || !(TableGeometry.s4 > 0)) return;
  zoomHistory.push_back(PhaseWindow);
  PhaseWindowRecord full;
  full.sMax = std::min(full.sMax, TableGeometry.s4);
  full.scaleS = plotAreaWidth / (full.sMax - full.sMin);
  full.scalePhi = plotAreaHeight / (full.phiMax - full.phiMin);
  showWindow(full);
}

// A release that shares its x or its y with the press is a click, however far
// the pointer travelled in between; the comparison is exact.
void TForm1::faziskepMouseUp(toolkit::TMouseButton Button, toolkit::TShiftState, int X, int Y) {
  // A bounce before the first go or load would run on an unbuilt table and end
  // the program at the reflection's guard.
  if (Button != toolkit::mbRight || runCount < 1) return;
  portraitImage->HideRubberBand();
  bandStart_.reset();
  const double x = X;
  const double y = Y;
  if (x != pressPoint.x && y != pressPoint.y) {
    zoom(x, y);
  } else {
    analyse();
  }
}

}  // namespace trapezola
