// Orbit runs: "go" (Button1) starts or continues a run from the fields, and a
// double click on the portrait runs on from the current ball state. The bounces
// run on a worker thread (run_control.cpp); while one runs, Button1 reads
// "stop" and stops it.
#include <cstdint>

#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/geometry_summary.h"
#include "explorer/main_window_state.h"
#include "explorer/orbit_run.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "ui/main_window/field_numbers.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

namespace {

// The run's look, as the window's run has always prepared it: the point size
// rule and the portrait's pen and brush.
OrbitRunJob prepareJob(Explorer& explorer, toolkit::TCanvas& canvas, int pointSizeIndex,
                       toolkit::TColor colour) {
  prepareRun(explorer, canvas, RunLook{pointSizeIndex, colour, false});
  OrbitRunJob job;
  job.table = explorer.table;
  job.ball = explorer.ball;
  job.window = explorer.window;
  job.dotSize = explorer.pointSize;
  job.colour = colour;
  return job;
}

}  // namespace

void TForm1::Button1Click() {
  if (Running()) {
    StopRun();
    return;
  }
  // All five fields are converted and held to their ranges before anything
  // changes: a text that does not convert, or a table the engine refuses,
  // raises its error and leaves the previous table whole.
  const double b = rangedFieldFloat("b", *bField, shapeBRange);
  const double rr = rangedFieldFloat("R8/R", *ratioField, shapeRrRange);
  const double distance = fieldFloat("distance", *distanceField);
  const double angle = rangedFieldFloat("angle", *angleField, startAngleRange);
  const int repeat = fieldInt("repeat", *repeatField);
  keepOneTable(b, rr);
  setupTable(explorer_, b, rr, distance, angle, repeat);
  progressBar->SetPosition(0);

  explorer_.geometrySummary = buildGeometrySummary(explorer_.table);
  geometryLabel->SetText(explorer_.geometrySummary);

  // A stopped run is finished, as it was started, before a new one begins.
  if (stopped_ && !resumeStateIsZero(explorer_.resume)) {
    const StoppedRun stopped = *stopped_;
    explorer_.ball.x = explorer_.resume.x;
    explorer_.ball.y = explorer_.resume.y;
    explorer_.ball.dx = explorer_.resume.dx;
    explorer_.ball.dy = explorer_.resume.dy;
    OrbitRunJob job = stopped.job;
    job.ball = explorer_.ball;
    explorer_.pointSize = job.dotSize;
    progressBar->SetPosition(job.from.pass);
    runStep_ = RunStep{HistoryStepKind::resume, explorer_.ball.s, explorer_.ball.phi};
    startRun(stopped.kind, job);
    return;
  }
  // A fresh launch starts at the fields' point; a resume where the last run
  // ended, at its last bounce.
  runStep_ = resumeStateIsZero(explorer_.resume)
                 ? RunStep{HistoryStepKind::go, 0, startAngleRadians(angle)}
                 : RunStep{HistoryStepKind::resume, explorer_.ball.s, explorer_.ball.phi};
  beginGoRun(explorer_);
  if (runStep_.kind == HistoryStepKind::go) runStep_.s = explorer_.ball.startS;
  OrbitRunJob job =
      prepareJob(explorer_, *portraitImage->Canvas, pointSizeBox->ItemIndex(), colorBox->Selected());
  job.passes = 1000;
  job.bouncesPerPass = explorer_.repeatCount;
  startRun(RunKind::go, job);
}

void TForm1::faziskepDblClick() {
  // Before the first go or load the ball stands on no table: bouncing it would
  // end the program at the reflection's guard.
  if (explorer_.runCount < 1 || Running()) return;
  explorer_.repeatCount = fieldInt("repeat", *repeatField);
  keepOneTable(explorer_.table.b, explorer_.table.rr);
  progressBar->SetPosition(0);
  OrbitRunJob job =
      prepareJob(explorer_, *portraitImage->Canvas, pointSizeBox->ItemIndex(), colorBox->Selected());
  job.passes = 1001;
  // explorer_.repeatCount + 1 in 64 bits: a typed 2147483647 must not overflow.
  job.bouncesPerPass = static_cast<std::int64_t>(explorer_.repeatCount) + 1;
  // The pointer read-out put the ball at the hovered point.
  runStep_ = RunStep{HistoryStepKind::doubleClick, explorer_.hover.s, explorer_.hover.phi};
  startRun(RunKind::doubleClick, job);
}

}  // namespace trapezola
