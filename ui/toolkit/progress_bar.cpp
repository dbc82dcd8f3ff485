#include "ui/toolkit/progress_bar.h"

#include <algorithm>

namespace trapezola::toolkit {

TProgressBar::TProgressBar(QWidget* parent) : QProgressBar(parent) {
  setTextVisible(false);
  setValue(minimum());
}

void TProgressBar::SetPosition(int position) {
  setValue(std::clamp(position, minimum(), maximum()));
}

// Qt resets a bar whose value falls out of a new range to "no progress" (one
// below the minimum); the classic bar holds it at the nearest end instead.
void TProgressBar::SetMin(int min) {
  const int position = value();
  setMinimum(min);
  SetPosition(position);
}

void TProgressBar::SetMax(int max) {
  const int position = value();
  setMaximum(max);
  SetPosition(position);
}

void TProgressBar::StepBy(int delta) {
  // Widened so that a step from near INT_MAX cannot overflow before the clamp.
  const long long next = static_cast<long long>(value()) + delta;
  setValue(static_cast<int>(std::clamp<long long>(next, minimum(), maximum())));
}

}  // namespace trapezola::toolkit
