// An orbit run of the main window on a thread of its own, so that the window
// keeps answering and the run can be stopped between any two bounces.
//
// The run works on values only: a copy of the table, of the ball and of the
// phase window, taken on the user-interface thread when the run starts. It
// draws on a canvas of its own that starts as a copy of the portrait; the
// window copies what changed into its portrait while the run goes, and all of
// it at the end. The bounces are runPlottedPasses, in chunks between which the
// stop request is looked at, so a run that nobody stops leaves the same picture
// and the same ball to the last bit as one synchronous run
// (GoldenPortrait.RenderedPixels and the window tests pin it). As there, a
// bounce whose collision search finds no arc (the orbit left the table) ends
// the run before its reflection.
//
// The worker never ends the process and never touches a widget: a bounce on an
// arc index outside 1..4 stops the run and is reported in its end, for the
// window to act on.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "raster/canvas.h"

namespace trapezola {

// Everything a run needs, copied from the window when it starts.
struct OrbitRunJob {
  BilliardTable table;
  Ball ball;
  PhaseWindowRecord window;
  int dotSize = 2;
  toolkit::TColor colour = toolkit::clBlack;
  int passes = 1000;
  std::int64_t bouncesPerPass = 0;  // 0 or less: no bounce, the passes still count
  RunPosition from;                 // {0, 0}, or where a stopped run stopped
};

struct OrbitRunEnd {
  Ball ball;       // after the last bounce computed
  RunPosition at;  // where the run stopped or ended
  bool complete = false;
  bool badArcIndex = false;  // stopped at a bounce whose hit names no arc 1..4
  bool leftTable = false;    // ended at a bounce whose collision search found no arc
};

class BackgroundRun {
 public:
  // Starts the job at once; `portrait` is copied, not kept. `onFinished` runs
  // on the worker's thread once the run has ended, after finished() turned true.
  BackgroundRun(const OrbitRunJob& job, const toolkit::TCanvas& portrait,
                std::function<void()> onFinished = {});
  // Stops the run and waits for its thread.
  ~BackgroundRun();
  BackgroundRun(const BackgroundRun&) = delete;
  BackgroundRun& operator=(const BackgroundRun&) = delete;

  // Asks the run to stop after the bounce it is computing; returns at once.
  void requestStop() { stopRequested_.store(true, std::memory_order_relaxed); }
  bool finished() const { return finished_.load(std::memory_order_acquire); }
  // Blocks until the worker has ended.
  void wait();

  int passesDone() const { return passesDone_.load(std::memory_order_relaxed); }
  std::int64_t bouncesDone() const { return bouncesDone_.load(std::memory_order_relaxed); }
  const OrbitRunJob& job() const { return job_; }

  // Copies what the run drew since the last call into `portrait`.
  void showDrawing(toolkit::TCanvas& portrait);
  // After finished(): how the run ended.
  const OrbitRunEnd& end() const { return end_; }

 private:
  void work();

  const OrbitRunJob job_;
  toolkit::TCanvas canvas_;
  std::mutex canvasMutex_;  // guards canvas_ between the worker and showDrawing
  // Set while showDrawing waits for the canvas: the worker, which would
  // otherwise take the lock again at once after every chunk (a mutex is not
  // fair), lets it in first, so that the window's thread never waits more
  // than a chunk.
  std::atomic<bool> viewerWaiting_{false};
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> finished_{false};
  std::atomic<int> passesDone_{0};
  std::atomic<std::int64_t> bouncesDone_{0};
  OrbitRunEnd end_;  // written by the worker before finished_, read after it
  std::function<void()> onFinished_;
  std::thread thread_;
};

}  // namespace trapezola
