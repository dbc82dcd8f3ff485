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
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/dynamics/reflection.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/multi_orbit_portrait.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "explorer/portrait_history.h"
#include "explorer/run_status.h"
#include "raster/conversions.h"
#include "ui/main_window/bad_arc_index.h"
#include "ui/main_window/field_numbers.h"
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
std::string cornerCoordinatesText(const BilliardTable& g) {
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
  // The workers go first: they draw on canvases of their own, but their end
  // is posted to this window.
  run_.reset();
  orbitsRun_.reset();
}

// Run > Many orbits: orbits spread over the whole phase space of the table in
// the b and R8/R fields (as trapezola-cli portrait --orbits spreads them), on
// every core, into a fresh portrait of that table; one colour an orbit.
void TForm1::ManyOrbits() {
  if (Running()) return;
  const double b = fieldFloat("b", *bField);
  const double rr = fieldFloat("R8/R", *ratioField);
  const std::optional<int> orbits = toolkit::TSavePictureDialog::numberAsker(
      ScreenWindow(), "Many orbits: how many orbits?", manyOrbitsCount_, 1, 100000);
  if (!orbits) return;
  const std::optional<int> bounces = toolkit::TSavePictureDialog::numberAsker(
      ScreenWindow(), "Many orbits: how many bounces each?", manyOrbitsBounces_, 1, 2000000000);
  if (!bounces) return;
  manyOrbitsCount_ = *orbits;
  manyOrbitsBounces_ = *bounces;

  // The whole table value, side tilt included, as trapezola-cli portrait
  // builds it: the orbits and the grid's corner curves depend on it.
  explorer_.table = buildTable(b, rr);
  explorer_.window = freshRunWindow(explorer_.table);
  explorer_.resume = ResumeStateRecord{};
  stopped_.reset();
  goButton->SetText("go");
  toolkit::TCanvas& portrait = *portraitImage->Canvas;
  const toolkit::TColor brush = portrait.Brush->Color;
  portrait.Brush->Color = toolkit::clWhite;
  portrait.FillRect(0, 0, portraitWidth, portraitHeight);
  portrait.Brush->Color = brush;
  portraitTable_ = std::make_pair(explorer_.table.b, explorer_.table.rr);
  gridGeneration_.reset();
  progressBar->SetPosition(0);

  const int threads = std::max(1u, std::thread::hardware_concurrency());
  stretchStartMs_ = steadyMs();
  orbitsRun_ = std::make_unique<BackgroundOrbits>(explorer_.table, explorer_.window,
                                                  spreadStarts(explorer_.table, *orbits, 0), *bounces,
                                                  threads, [this] {
                                                    QMetaObject::invokeMethod(
                                                        this,
                                                        [this] {
                                                          if (orbitsRun_ && orbitsRun_->finished())
                                                            endOrbitsRun();
                                                        },
                                                        Qt::QueuedConnection);
                                                  });
  shutForRun();
  showRunProgress();
}

void TForm1::endOrbitsRun() {
  if (!orbitsRun_) return;
  orbitsRun_->wait();
  openAfterRun();
  paintOrbits(*portraitImage->Canvas, orbitsRun_->result());
  std::vector<std::int64_t> reached;
  for (const OrbitOutcome& outcome : orbitsRun_->result().outcomes) reached.push_back(outcome.bounces);
  const auto count = static_cast<std::int64_t>(reached.size());
  recordOrbits(explorer_.history, explorer_.table, explorer_.window, count, manyOrbitsBounces_,
               std::move(reached));
  const bool stopped = orbitsRun_->stopRequested();
  const std::int64_t done = orbitsRun_->bouncesDone(), total = orbitsRun_->bouncesTotal();
  orbitsRun_.reset();
  // The table is built and its window set: the read-out works on the portrait.
  if (explorer_.runCount < 1) explorer_.runCount = 1;
  if (gridBox->Checked()) {
    const WindowBall ball = explorer_.ball;
    drawGridKeepingDots();
    explorer_.ball = ball;
  }
  progressBar->SetPosition(stopped ? static_cast<int>(done * 1000 / std::max<std::int64_t>(total, 1)) : 1000);
  MainFrame->SetStatusText(stopped ? "many orbits stopped at " + groupedCount(done) + " of " +
                                         groupedCount(total) + " bounces"
                                   : "many orbits ready: " + groupedCount(total) + " bounces");
  goButton->SetText("go");
}

void TForm1::startRun(RunKind kind, const OrbitRunJob& job) {
  stopped_.reset();
  runKind_ = kind;
  portraitTable_ = std::make_pair(job.table.b, job.table.rr);
  gridGeneration_.reset();
  stretchStartMs_ = steadyMs();
  stretchStartBounces_ = bouncesDoneAt(job.from, job.bouncesPerPass);
  run_ = std::make_unique<BackgroundRun>(job, *portraitImage->Canvas, [this] {
    // On the worker's thread: only a message to the window's own thread.
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (run_ && run_->finished()) endRun();
        },
        Qt::QueuedConnection);
  });
  shutForRun();
  showRunProgress();
}

// While a run goes: the button stops it, the menu keeps Stop, Quit and Help,
// and every other input is refused.
void TForm1::shutForRun() {
  goButton->SetText("stop");
  for (toolkit::TMenuItem* item : {FileLoad, FileSavePortrait, FileExportFigure, FileExportOrbitData,
                                   ViewBackItem, ViewFullViewItem, RunGo, RunManyOrbits}) {
    item->SetEnabled(false);
  }
  RunStop->SetEnabled(true);
  inputGate_->Shut({goButton});
  runTimer_->SetInterval(progressIntervalMs);
  runTimer_->SetEnabled(true);
}

void TForm1::openAfterRun() {
  runTimer_->SetEnabled(false);
  inputGate_->Open();
  for (toolkit::TMenuItem* item : {FileLoad, FileSavePortrait, FileExportFigure, FileExportOrbitData,
                                   ViewBackItem, ViewFullViewItem, RunGo, RunManyOrbits}) {
    item->SetEnabled(true);
  }
  RunStop->SetEnabled(false);
}

void TForm1::StopRun() {
  if (run_) run_->requestStop();
  if (orbitsRun_) orbitsRun_->requestStop();
}

void TForm1::WaitForRun() {
  if (run_) {
    run_->wait();
    endRun();
  }
  if (orbitsRun_) {
    orbitsRun_->wait();
    endOrbitsRun();
  }
}

void TForm1::showRunProgress() {
  if (orbitsRun_) {
    const std::int64_t done = orbitsRun_->bouncesDone(), total = orbitsRun_->bouncesTotal();
    progressBar->SetPosition(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
    const double seconds = static_cast<double>(steadyMs() - stretchStartMs_) / 1000.0;
    MainFrame->SetStatusText(runStatusText(done, total, done, seconds));
    return;
  }
  if (!run_) return;
  run_->showDrawing(*portraitImage->Canvas);
  progressBar->SetPosition(run_->passesDone());
  const std::int64_t done = run_->bouncesDone();
  const double seconds = static_cast<double>(steadyMs() - stretchStartMs_) / 1000.0;
  MainFrame->SetStatusText(
      runStatusText(done, totalBounces(run_->job()), done - stretchStartBounces_, seconds));
}

void TForm1::endRun() {
  if (!run_) return;
  run_->wait();
  openAfterRun();
  run_->showDrawing(*portraitImage->Canvas);
  const OrbitRunJob job = run_->job();
  const OrbitRunEnd end = run_->end();
  run_.reset();
  // The window's one fatal guard, on the thread that owns the window.
  if (end.badArcIndex) endOnBadArcIndex();

  static_cast<Ball&>(explorer_.ball) = end.ball;
  progressBar->SetPosition(end.at.pass);
  const bool finished = end.complete || end.leftTable;
  const std::int64_t done = bouncesDoneAt(end.at, job.bouncesPerPass);
  recordRun(explorer_.history, runStep_.kind, job.table, job.window, job.ball, runStep_.s, runStep_.phi,
            done - bouncesDoneAt(job.from, job.bouncesPerPass), job.colour, job.dotSize);
  MainFrame->SetStatusText(end.leftTable ? "the orbit left the table after " + groupedCount(done) +
                                               " bounces: a collision search found no arc"
                                         : runEndText(done, totalBounces(job), end.complete));
  if (finished) {
    if (gridBox->Checked()) drawGridKeepingDots();
  } else {
    OrbitRunJob rest = job;
    rest.from = end.at;
    stopped_ = StoppedRun{runKind_, rest};
  }
  // The last bounce computed, not the ball's position: the grid moves the ball
  // but leaves the hit record alone.
  explorer_.resume.x = explorer_.ball.hitX;
  explorer_.resume.y = explorer_.ball.hitY;
  explorer_.resume.dx = explorer_.ball.newDx;
  explorer_.resume.dy = explorer_.ball.newDy;
  if (finished) {
    readoutLabel->SetText("ready!");
    if (runKind_ == RunKind::go) analysisLabel->SetText(cornerCoordinatesText(explorer_.table));
  }
  goButton->SetText("continue");
}

void TForm1::closeEvent(QCloseEvent* event) {
  // Closing ends a run at its next bounce; the worker is gone before the window.
  if (run_) {
    run_->requestStop();
    run_->wait();
    run_.reset();
  }
  if (orbitsRun_) {
    orbitsRun_->requestStop();
    orbitsRun_->wait();
    orbitsRun_.reset();
  }
  toolkit::TForm::closeEvent(event);
}

void TForm1::drawGridKeepingDots() {
  recordGrid(explorer_.history, explorer_.table, explorer_.window, explorer_.ball.phi);
  toolkit::TCanvas& portrait = *portraitImage->Canvas;
  gridless_.copyPixels(portrait, toolkit::TRect{0, 0, portrait.width(), portrait.height()});
  drawPhaseGrid(portrait, explorer_.table, explorer_.ball, explorer_.window, explorer_.window.scaleS,
                explorer_.window.scalePhi);
  gridGeneration_ = portrait.generation();
}

void TForm1::CheckBox3Click() {
  // Only a table that has been run or loaded has a grid to show.
  if (explorer_.runCount < 1 || !(explorer_.table.s4 > 0)) return;
  toolkit::TCanvas& portrait = *portraitImage->Canvas;
  if (gridBox->Checked()) {
    // The grid's corner curves walk the shared ball; the orbit's state stays.
    const WindowBall ball = explorer_.ball;
    const toolkit::TColor pen = portrait.Pen->Color;
    drawGridKeepingDots();
    portrait.Pen->Color = pen;
    explorer_.ball = ball;
  } else if (gridGeneration_ && *gridGeneration_ == portrait.generation()) {
    portrait.copyPixels(gridless_, toolkit::TRect{0, 0, portrait.width(), portrait.height()});
    gridGeneration_.reset();
    recordPlain(explorer_.history, HistoryStepKind::ungrid);
  }
}

void TForm1::keepOneTable(double b, double rr) {
  if (!portraitTable_ || (portraitTable_->first == b && portraitTable_->second == rr)) return;
  toolkit::TCanvas& portrait = *portraitImage->Canvas;
  const toolkit::TColor brush = portrait.Brush->Color;
  portrait.Brush->Color = toolkit::clWhite;
  portrait.FillRect(0, 0, portraitWidth, portraitHeight);
  portrait.Brush->Color = brush;
  recordPlain(explorer_.history, HistoryStepKind::wipe);
  // The new table's portrait starts as the program's first does: the whole
  // perimeter across, 0 to pi up, and a fresh launch.
  explorer_.window = PhaseWindowRecord{};
  if (explorer_.table.b == b && explorer_.table.rr == rr && explorer_.table.s4 > 0) {
    explorer_.window.sMax = std::min(explorer_.window.sMax, explorer_.table.s4);
    explorer_.window.scaleS = plotAreaWidth / (explorer_.window.sMax - explorer_.window.sMin);
    explorer_.window.scalePhi = plotAreaHeight / (explorer_.window.phiMax - explorer_.window.phiMin);
  }
  explorer_.resume = ResumeStateRecord{};
  stopped_.reset();
  gridGeneration_.reset();
  portraitTable_.reset();
}

}  // namespace trapezola
