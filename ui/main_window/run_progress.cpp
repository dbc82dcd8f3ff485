#include "ui/main_window/run_progress.h"

namespace trapezola {

namespace {
constexpr qint64 repaintIntervalMs = 50;
}  // namespace

RunProgress::RunProgress(toolkit::TProgressBar& bar, toolkit::TImage& portrait)
    : bar_(bar), portrait_(portrait) {
  // A progress bar repaints itself synchronously on every step that moves a
  // pixel: a thousand repaints for a run that may take a millisecond. Its
  // updates stay off during the run and are let through at the interval below.
  bar_.setUpdatesEnabled(false);
  sinceRepaint_.start();
}

RunProgress::~RunProgress() {
  bar_.setUpdatesEnabled(true);
}

void RunProgress::passDone() {
  bar_.StepBy(1);
  if (sinceRepaint_.elapsed() < repaintIntervalMs) return;
  bar_.setUpdatesEnabled(true);
  bar_.repaint();
  bar_.setUpdatesEnabled(false);
  portrait_.Refresh();
  ++repaints_;
  sinceRepaint_.restart();
}

}  // namespace trapezola
