// Orbit runs on a worker thread, seen from the window: starting one, showing
// its progress, stopping it, and finishing it as the window's run has always
// finished (the grid, the saved end state, the labels).
//
// While a run goes, Button1 reads "stop", the menu keeps only Stop, Quit and
// Help, and every other input to the program's windows is refused as it
// arrives; Escape stops the run. The worker draws on its own copy of the
// portrait, which the window copies in every progressInterval and at the end.
#include <QCloseEvent>
#include <QMetaObject>
#include <algorithm>
#include <chrono>

#include "core/dynamics/reflection.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/phase_window.h"
#include "core/geometry/table_geometry.h"
#include "portrait/main_window_state.h"
#include "portrait/phase_portrait.h"
#include "portrait/run_status.h"
#include "toolkit_core/conversions.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

namespace {

constexpr int progressIntervalMs = 40;

std::int64_t steadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The eight corner coordinates, x then y of corners 1 to 4, each followed by a
// blank (the last one too).
std::string cornerCoordinatesText() {
  const TableGeometryRecord& g = TableGeometry;
  std::string text;
  for (const TablePoint& c : {g.corner1, g.corner2, g.corner3, g.corner4}) {
    text += toolkit::FloatToStrF(c.x, toolkit::ffGeneral, 7, 5) + " ";
    text += toolkit::FloatToStrF(c.y, toolkit::ffGeneral, 7, 5) + " ";
  }
  return text;
}

std::int64_t totalBounces(const OrbitRunJob& job) {
  return bouncesDoneAt(RunPosition{job.passes, 0}, job.bouncesPerPass);
}

}  // namespace

TForm1::~TForm1() {
  // The worker goes first: it draws on a canvas of its own, but its end is
  // posted to this window.
  run_.reset();
}

void TForm1::startRun(RunKind kind, const OrbitRunJob& job) {
  stopped_.reset();
  runKind_ = kind;
  portraitTable_ = std::make_pair(job.table.b, job.table.rr);
  gridGeneration_.reset();
  stretchStartMs_ = steadyMs();
  stretchStartBounces_ = bouncesDoneAt(job.from, job.bouncesPerPass);
  run_ = std::make_unique<BackgroundRun>(job, *faziskep->Canvas, [this] {
    // On the worker's thread: only a message to the window's own thread.
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (run_ && run_->finished()) endRun();
        },
        Qt::QueuedConnection);
  });
  Button1->SetText("stop");
  for (toolkit::TMenuItem* item :
       {FileLoad, FileSavePortrait, FileExportFigure, ViewBackItem, ViewFullViewItem, RunGo}) {
    item->SetEnabled(false);
  }
  RunStop->SetEnabled(true);
  inputGate_->Shut({Button1});
  runTimer_->SetInterval(progressIntervalMs);
  runTimer_->SetEnabled(true);
  showRunProgress();
}

void TForm1::StopRun() {
  if (run_) run_->requestStop();
}

void TForm1::WaitForRun() {
  if (!run_) return;
  run_->wait();
  endRun();
}

void TForm1::showRunProgress() {
  if (!run_) return;
  run_->showDrawing(*faziskep->Canvas);
  ProgressBar1->SetPosition(run_->passesDone());
  const std::int64_t done = run_->bouncesDone();
  const double seconds = static_cast<double>(steadyMs() - stretchStartMs_) / 1000.0;
  MainFrame->SetStatusText(
      runStatusText(done, totalBounces(run_->job()), done - stretchStartBounces_, seconds));
}

void TForm1::endRun() {
  if (!run_) return;
  run_->wait();
  runTimer_->SetEnabled(false);
  inputGate_->Open();
  run_->showDrawing(*faziskep->Canvas);
  const OrbitRunJob job = run_->job();
  const OrbitRunEnd end = run_->end();
  run_.reset();
  // The window's one fatal guard, on the thread that owns the window.
  if (end.badArcIndex) endOnBadArcIndex();

  static_cast<Ball&>(BallState) = end.ball;
  ProgressBar1->SetPosition(end.at.pass);
  for (toolkit::TMenuItem* item :
       {FileLoad, FileSavePortrait, FileExportFigure, ViewBackItem, ViewFullViewItem, RunGo}) {
    item->SetEnabled(true);
  }
  RunStop->SetEnabled(false);
  MainFrame->SetStatusText(
      runEndText(bouncesDoneAt(end.at, job.bouncesPerPass), totalBounces(job), end.complete));
  if (end.complete) {
    if (CheckBox3->Checked()) drawGridKeepingDots();
  } else {
    OrbitRunJob rest = job;
    rest.from = end.at;
    stopped_ = StoppedRun{runKind_, rest};
  }
  // The last bounce computed, not the ball's position: the grid moves the ball
  // but leaves the hit record alone.
  ResumeState.x = BallState.hitX;
  ResumeState.y = BallState.hitY;
  ResumeState.dx = BallState.newDx;
  ResumeState.dy = BallState.newDy;
  if (end.complete) {
    Label8->SetText("ready!");
    if (runKind_ == RunKind::go) Label11->SetText(cornerCoordinatesText());
  }
  Button1->SetText("continue");
}

void TForm1::closeEvent(QCloseEvent* event) {
  // Closing ends a run at its next bounce; the worker is gone before the window.
  if (run_) {
    run_->requestStop();
    run_->wait();
    run_.reset();
  }
  toolkit::TForm::closeEvent(event);
}

void TForm1::drawGridKeepingDots() {
  toolkit::TCanvas& portrait = *faziskep->Canvas;
  gridless_.copyPixels(portrait, toolkit::TRect{0, 0, portrait.width(), portrait.height()});
  drawPhaseGrid(portrait, PhaseWindow.scaleS, PhaseWindow.scalePhi);
  gridGeneration_ = portrait.generation();
}

void TForm1::CheckBox3Click() {
  // Only a table that has been run or loaded has a grid to show.
  if (runCount < 1 || !(TableGeometry.s4 > 0)) return;
  toolkit::TCanvas& portrait = *faziskep->Canvas;
  if (CheckBox3->Checked()) {
    // The grid's corner curves walk the shared ball; the orbit's state stays.
    const BallStateRecord ball = BallState;
    const toolkit::TColor pen = portrait.Pen->Color;
    drawGridKeepingDots();
    portrait.Pen->Color = pen;
    BallState = ball;
  } else if (gridGeneration_ && *gridGeneration_ == portrait.generation()) {
    portrait.copyPixels(gridless_, toolkit::TRect{0, 0, portrait.width(), portrait.height()});
    gridGeneration_.reset();
  }
}

void TForm1::keepOneTable(double b, double rr) {
  if (!portraitTable_ || (portraitTable_->first == b && portraitTable_->second == rr)) return;
  toolkit::TCanvas& portrait = *faziskep->Canvas;
  const toolkit::TColor brush = portrait.Brush->Color;
  portrait.Brush->Color = toolkit::clWhite;
  portrait.FillRect(0, 0, portraitWidth, portraitHeight);
  portrait.Brush->Color = brush;
  // The new table's portrait starts as the program's first does: the whole
  // perimeter across, 0 to pi up, and a fresh launch.
  PhaseWindow = PhaseWindowRecord{};
  if (TableGeometry.b == b && TableGeometry.rr == rr && TableGeometry.s4 > 0) {
    PhaseWindow.sMax = std::min(PhaseWindow.sMax, TableGeometry.s4);
    PhaseWindow.scaleS = plotAreaWidth / (PhaseWindow.sMax - PhaseWindow.sMin);
    PhaseWindow.scalePhi = plotAreaHeight / (PhaseWindow.phiMax - PhaseWindow.phiMin);
  }
  ResumeState = ResumeStateRecord{};
  stopped_.reset();
  gridGeneration_.reset();
  portraitTable_.reset();
}

}  // namespace trapezola
