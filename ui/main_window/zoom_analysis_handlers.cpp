// Right-button gestures on the portrait: a drag zooms into the dragged rectangle,
// a click analyses the periodic orbit under the pointer.
//
// Both start their orbit at explorer_.hover, the phase point of the last accepted
// pointer move, not at the pixel of the release. Pixels map to the phase window
// with x = 6 at sMin and y = 9 at phiMax, the read-out's mapping.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/analysis/lgtr_series.h"
#include "core/analysis/periodic_orbit.h"
#include "core/analysis/periodic_solver.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/analysis_label.h"
#include "explorer/main_window_state.h"
#include "explorer/periodic_marks.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "explorer/portrait_history.h"
#include "raster/conversions.h"
#include "ui/lyapunov_window/lyapunov_graph.h"
#include "ui/lyapunov_window/tform3.h"
#include "ui/main_window/bad_arc_index.h"
#include "ui/main_window/field_numbers.h"
#include "ui/main_window/run_progress.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

namespace {

// The phase window's part of a zoom: the rectangle between the two corners,
// inverted with the window from before the zoom on every right-hand side.
void zoomPhaseWindow(PhaseWindowRecord& w, double xLo, double xHi, double yLo, double yHi) {
  const PhaseWindowRecord before = w;
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
  const double xHi = std::max(x, explorer_.pressPoint.x);
  const double xLo = std::min(x, explorer_.pressPoint.x);
  const double yHi = std::max(y, explorer_.pressPoint.y);
  const double yLo = std::min(y, explorer_.pressPoint.y);
  explorer_.zoomHistory.push_back(explorer_.window);
  zoomPhaseWindow(explorer_.window, xLo, xHi, yLo, yHi);

  toolkit::TCanvas& portrait = *portraitImage->Canvas;
  portrait.Brush->Color = toolkit::clWhite;
  // Right is exclusive: column 793 keeps what it showed, as after "clear".
  portrait.FillRect(0, 0, 793, 681);
  portrait.Brush->Color = toolkit::clBlack;
  portrait.Pen->Color = colorBox->Selected();
  portrait.Brush->Color = colorBox->Selected();
  analysisLabel->SetText(toolkit::FloatToStr(explorer_.window.scaleS) + "  " +
                         toolkit::FloatToStr(xHi - xLo) + " " +
                         toolkit::FloatToStr(explorer_.window.scalePhi));

  explorer_.replayStart = ReplayStartRecord{explorer_.hover.s, explorer_.hover.phi};
  replay();
}

// The hovered orbit of the last zoom, replayed into the phase window as it now
// stands: 1001 passes of explorer_.repeatCount + 1 bounces.
void TForm1::replay() {
  toolkit::TCanvas& portrait = *portraitImage->Canvas;
  explorer_.ball.startS = explorer_.replayStart.s;
  explorer_.ball.cosPhi = std::cos(explorer_.replayStart.phi);
  placeOnBoundary(explorer_.table, static_cast<Ball&>(explorer_.ball), explorer_.ball.cosPhi,
                  explorer_.ball.startS);
  // The bar goes on from where it stands; it is not reset for a zoom.
  RunProgress progress(*progressBar, *portraitImage);
  const PlottedPasses run{explorer_.table, explorer_.window, explorer_.pointSize, 1001,
                          static_cast<std::int64_t>(explorer_.repeatCount) + 1};
  RunPosition at;
  const Ball start = explorer_.ball;
  if (runPlottedPasses(run, explorer_.ball, portrait, at, std::numeric_limits<std::int64_t>::max(),
                       &progress) == BounceStatus::badArcIndex) {
    endOnBadArcIndex();
  }
  recordRun(explorer_.history, HistoryStepKind::zoomReplay, explorer_.table, explorer_.window, start,
            explorer_.replayStart.s, explorer_.replayStart.phi, bouncesDoneAt(at, run.bouncesPerPass),
            colorBox->Selected(), explorer_.pointSize);
}

// View > Back and View > Full view: the portrait cleared as a zoom clears it,
// then the last zoom's orbit replayed into the new window.
void TForm1::showWindow(const PhaseWindowRecord& window) {
  explorer_.window = window;
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
  explorer_.ball.startS = explorer_.hover.s;
  const PeriodicOrbitAnalysis analysis = analysePeriodicOrbit(
      explorer_.table, explorer_.ball, explorer_.hover.s, explorer_.hover.phi, epsilon, typedPeriod);
  if (analysis.status == BounceStatus::badArcIndex) endOnBadArcIndex();
  if (const std::optional<std::string> label = trapezola::analysisLabel(analysis))
    analysisLabel->SetText(*label);

  // Every analysis runs the series, periodic or not and whether or not the
  // graph is shown, from where the monodromy product began.
  Form3->beginLgTrSeries(lyapunovBox->Checked());
  const LgTrSeriesEnd end = runLgTrSeries(explorer_.table, explorer_.ball, analysis.matrixStart,
                                          LyapunovGraph.blockSize, LyapunovGraph.blockCount,
                                          [](int block, double value) { Form3->addLgTrPoint(block, value); });
  if (end.status == BounceStatus::badArcIndex) endOnBadArcIndex();
  Form3->endLgTrSeries();
}

// Run > Find periodic orbit: Newton from the hovered point with the period
// field's period (or, when it is 0, the period the right-click search finds
// there); the orbit's points circled on the portrait in the current colour,
// its polygon on the sketch, and its rotation number, trace, class and
// residual on the status line. The right-click analysis's label stays.
void TForm1::FindPeriodicOrbit() {
  if (Running()) return;
  if (explorer_.runCount < 1) {
    throw toolkit::Exception("Find periodic orbit: no portrait yet: run or load one, then point at it");
  }
  const std::string periodText = periodField->GetText();
  const int typed = periodText == "0" ? 0 : fieldInt("period", *periodField);
  if (typed < 0 || typed > maxSolverPeriod) {
    throw toolkit::Exception("Find periodic orbit: the period " + periodText + " is outside 1 .. " +
                             std::to_string(maxSolverPeriod));
  }
  const PhasePoint hovered{explorer_.hover.s, explorer_.hover.phi};
  const double epsilon = -sensitivitySlider->Position() * 0.001;
  const std::optional<int> period = periodToFind(explorer_.table, hovered, typed, epsilon);
  if (!period) {
    MainFrame->SetStatusText("no period found at the point: type one in the period field");
    return;
  }
  const PeriodicOrbitSolution orbit = solvePeriodicOrbit(explorer_.table, *period, hovered);
  MainFrame->SetStatusText(periodicOrbitText(orbit));
  if (!orbit.converged) return;
  const toolkit::TColor colour = colorBox->Selected();
  toolkit::TCanvas& portrait = *portraitImage->Canvas;
  const toolkit::TColor pen = portrait.Pen->Color;
  portrait.Pen->Color = colour;
  drawPeriodicMarks(portrait, explorer_.window, orbit.points);
  portrait.Pen->Color = pen;
  recordMarks(explorer_.history, explorer_.window, colour, orbit.points);
  toolkit::TCanvas& sketch = *sketchImage->Canvas;
  const toolkit::TColor sketchPen = sketch.Pen->Color;
  sketch.Pen->Color = colour;
  drawOrbitPolygon(sketch, explorer_.table, orbit.points);
  sketch.Pen->Color = sketchPen;
  portraitImage->Refresh();
  sketchImage->Refresh();
}

void TForm1::faziskepMouseDown(toolkit::TMouseButton Button, toolkit::TShiftState, int X, int Y) {
  // Before the first go or load there is no table to zoom into or analyse on.
  if (Button != toolkit::mbRight || explorer_.runCount < 1) return;
  explorer_.pressPoint = PressPointRecord{static_cast<double>(X), static_cast<double>(Y)};
  bandStart_ = std::make_pair(X, Y);
}

void TForm1::ViewBack() {
  if (explorer_.zoomHistory.empty() || explorer_.runCount < 1) return;
  const PhaseWindowRecord previous = explorer_.zoomHistory.back();
  explorer_.zoomHistory.pop_back();
  showWindow(previous);
}

void TForm1::ViewFullView() {
  if (explorer_.runCount < 1 || !(explorer_.table.s4 > 0)) return;
  explorer_.zoomHistory.push_back(explorer_.window);
  PhaseWindowRecord full;
  full.sMax = std::min(full.sMax, explorer_.table.s4);
  full.scaleS = plotAreaWidth / (full.sMax - full.sMin);
  full.scalePhi = plotAreaHeight / (full.phiMax - full.phiMin);
  showWindow(full);
}

// A release that shares its x or its y with the press is a click, however far
// the pointer travelled in between; the comparison is exact.
void TForm1::faziskepMouseUp(toolkit::TMouseButton Button, toolkit::TShiftState, int X, int Y) {
  // A bounce before the first go or load would run on an unbuilt table and end
  // the program at the reflection's guard.
  if (Button != toolkit::mbRight || explorer_.runCount < 1) return;
  portraitImage->HideRubberBand();
  bandStart_.reset();
  const double x = X;
  const double y = Y;
  if (x != explorer_.pressPoint.x && y != explorer_.pressPoint.y) {
    zoom(x, y);
  } else {
    analyse();
  }
}

}  // namespace trapezola
