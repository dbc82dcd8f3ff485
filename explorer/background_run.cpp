#include "explorer/background_run.h"

#include <algorithm>
#include <utility>

#include "explorer/phase_portrait.h"

namespace trapezola {

namespace {
// Bounces drawn under one hold of the canvas lock and between two looks at the
// stop request: well under a millisecond of work, so a stop or a display copy
// never waits long, and the lock costs nothing measurable per bounce.
constexpr std::int64_t bouncesPerChunk = 4096;
}  // namespace

BackgroundRun::BackgroundRun(const OrbitRunJob& job, const toolkit::TCanvas& portrait,
                             std::function<void()> onFinished)
    : job_(job), canvas_(portrait.width(), portrait.height()), onFinished_(std::move(onFinished)) {
  canvas_.copyPixels(portrait, toolkit::TRect{0, 0, portrait.width(), portrait.height()});
  canvas_.takeDirtyRect();
  canvas_.Pen->Color = job_.colour;
  canvas_.Brush->Color = job_.colour;
  canvas_.Brush->Style = toolkit::bsSolid;
  passesDone_.store(job_.from.pass, std::memory_order_relaxed);
  bouncesDone_.store(bouncesDoneAt(job_.from, job_.bouncesPerPass), std::memory_order_relaxed);
  thread_ = std::thread([this] { work(); });
}

BackgroundRun::~BackgroundRun() {
  requestStop();
  wait();
}

void BackgroundRun::wait() {
  if (thread_.joinable()) thread_.join();
}

void BackgroundRun::showDrawing(toolkit::TCanvas& portrait) {
  viewerWaiting_.store(true, std::memory_order_release);
  const std::lock_guard<std::mutex> lock(canvasMutex_);
  viewerWaiting_.store(false, std::memory_order_release);
  const toolkit::TRect changed = canvas_.takeDirtyRect();
  if (!changed.isEmpty()) portrait.copyPixels(canvas_, changed);
}

void BackgroundRun::work() {
  Ball ball = job_.ball;
  RunPosition at = job_.from;
  BounceStatus status = BounceStatus::ok;
  const PlottedPasses run{job_.table, job_.window, job_.dotSize, job_.passes, job_.bouncesPerPass};
  while (at.pass < job_.passes && status == BounceStatus::ok) {
    {
      const std::lock_guard<std::mutex> lock(canvasMutex_);
      status = runPlottedPasses(run, ball, canvas_, at, bouncesPerChunk);
    }
    bouncesDone_.store(bouncesDoneAt(at, job_.bouncesPerPass), std::memory_order_relaxed);
    passesDone_.store(at.pass, std::memory_order_relaxed);
    // Looked at after a chunk, not before: every start or continuation of a
    // run moves it on, however soon it is asked to stop.
    if (stopRequested_.load(std::memory_order_relaxed)) break;
    // The window's thread waits for the canvas: it goes first.
    while (viewerWaiting_.load(std::memory_order_acquire) &&
           !stopRequested_.load(std::memory_order_relaxed)) {
      std::this_thread::yield();
    }
  }
  const bool badArc = status == BounceStatus::badArcIndex;
  const bool leftTable = status == BounceStatus::noArcAccepted;
  end_.ball = ball;
  end_.at = at;
  end_.complete = at.pass >= job_.passes;
  end_.badArcIndex = badArc;
  end_.leftTable = leftTable;
  finished_.store(true, std::memory_order_release);
  if (onFinished_) onFinished_();
}

}  // namespace trapezola
