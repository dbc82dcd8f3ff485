#include "explorer/background_run.h"

#include <algorithm>
#include <utility>

#include "core/dynamics/collision.h"
#include "core/dynamics/reflection.h"
#include "explorer/phase_portrait.h"

namespace trapezola {

namespace {
// Bounces drawn under one hold of the canvas lock and between two looks at the
// stop request: well under a millisecond of work, so a stop or a display copy
// never waits long, and the lock costs nothing measurable per bounce.
constexpr std::int64_t bouncesPerChunk = 4096;
}  // namespace

std::int64_t bouncesDoneAt(const RunPosition& at, std::int64_t bouncesPerPass) {
  return static_cast<std::int64_t>(at.pass) * std::max<std::int64_t>(bouncesPerPass, 0) + at.bounce;
}

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
  const std::lock_guard<std::mutex> lock(canvasMutex_);
  const toolkit::TRect changed = canvas_.takeDirtyRect();
  if (!changed.isEmpty()) portrait.copyPixels(canvas_, changed);
}

void BackgroundRun::work() {
  Ball ball = job_.ball;
  RunPosition at = job_.from;
  bool badArc = false;
  bool leftTable = false;
  const std::int64_t perPass = job_.bouncesPerPass;
  std::int64_t done = bouncesDoneAt(at, perPass);
  while (at.pass < job_.passes && !badArc && !leftTable) {
    {
      const std::lock_guard<std::mutex> lock(canvasMutex_);
      const std::int64_t chunkEnd = std::min(perPass, at.bounce + bouncesPerChunk);
      for (; at.bounce < chunkEnd; ++at.bounce) {
        // runPlottedPasses's bounce on values, step for step.
        if (findHit(job_.table, ball) == 0) {
          leftTable = true;
          break;
        }
        if (reflect(job_.table, ball, ball.hitX, ball.hitY, ball.hitCentreX, ball.hitCentreY, ball.hitRadius,
                    ball.arc) == BounceStatus::badArcIndex) {
          badArc = true;
          break;
        }
        ball.x = ball.hitX;
        ball.y = ball.hitY;
        plotPhasePoint(canvas_, job_.window, job_.dotSize, ball.s, ball.phi);
        ball.dx = ball.newDx;
        ball.dy = ball.newDy;
        ++done;
      }
    }
    bouncesDone_.store(done, std::memory_order_relaxed);
    if (!badArc && !leftTable && at.bounce >= perPass) {
      ++at.pass;
      at.bounce = 0;
      passesDone_.store(at.pass, std::memory_order_relaxed);
    }
    // Looked at after a chunk, not before: every start or continuation of a
    // run moves it on, however soon it is asked to stop.
    if (stopRequested_.load(std::memory_order_relaxed)) break;
  }
  end_.ball = ball;
  end_.at = at;
  end_.complete = at.pass >= job_.passes;
  end_.badArcIndex = badArc;
  end_.leftTable = leftTable;
  finished_.store(true, std::memory_order_release);
  if (onFinished_) onFinished_();
}

}  // namespace trapezola
