#include "ui/main_window/run_progress.h"

#include <chrono>

namespace trapezola {

namespace {
constexpr std::int64_t repaintIntervalMs = 50;
}  // namespace

std::int64_t RunProgress::steadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

RunProgress::RunProgress(toolkit::TProgressBar& bar, toolkit::TImage& portrait, Clock clock)
    : bar_(bar), portrait_(portrait), clock_(std::move(clock)), lastRepaint_(clock_()) {
  // A progress bar repaints itself synchronously on every step that moves a
  // pixel: a thousand repaints for a run that may take a millisecond. Its
  // updates stay off during the run and are let through at the interval below.
  bar_.setUpdatesEnabled(false);
}

RunProgress::~RunProgress() {
  bar_.setUpdatesEnabled(true);
}

void RunProgress::passDone() {
  bar_.StepBy(1);
  const std::int64_t now = clock_();
  if (now - lastRepaint_ < repaintIntervalMs) return;
  bar_.setUpdatesEnabled(true);
  bar_.repaint();
  bar_.setUpdatesEnabled(false);
  portrait_.Refresh();
  ++repaints_;
  lastRepaint_ = now;
}

}  // namespace trapezola
