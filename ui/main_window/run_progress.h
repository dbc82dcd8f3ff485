// Shows a long orbit run as it goes: the progress bar and the portrait are
// repainted at most every 50 ms while the run holds the user-interface thread.
// Only paint work is done; no input is processed, so no other handler can start
// in the middle of a run.
#pragma once

#include <cstdint>
#include <functional>

#include "explorer/phase_portrait.h"
#include "ui/toolkit/image.h"
#include "ui/toolkit/progress_bar.h"

namespace trapezola {

class RunProgress : public PassObserver {
 public:
  // Milliseconds on a clock that never goes back; the run's own clock unless a
  // caller (a test) passes another.
  using Clock = std::function<std::int64_t()>;
  static std::int64_t steadyMilliseconds();

  RunProgress(toolkit::TProgressBar& bar, toolkit::TImage& portrait, Clock clock = steadyMilliseconds);
  ~RunProgress() override;
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;

  void passDone() override;

  // How often the screen was brought up to date during the run.
  int repaints() const { return repaints_; }

 private:
  toolkit::TProgressBar& bar_;
  toolkit::TImage& portrait_;
  Clock clock_;
  std::int64_t lastRepaint_;
  int repaints_ = 0;
};

}  // namespace trapezola
