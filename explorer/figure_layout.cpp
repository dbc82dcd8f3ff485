#include "explorer/figure_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace trapezola {

std::vector<double> niceTicks(double lo, double hi, int wanted) {
  std::vector<double> ticks;
  if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo) || wanted < 1) return ticks;
  const double rough = (hi - lo) / wanted;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double step = power;
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * power;
    if (step >= rough) break;
  }
  // Multiples of the step, computed from their index so that no error piles up.
  const double first = std::ceil(lo / step - 1e-9);
  for (double k = first; k * step <= hi + step * 1e-9; k += 1)
    ticks.push_back(k * step + 0.0);  // + 0.0: no -0 tick
  return ticks;
}

std::string tickText(double value, double step) {
  int decimals = 0;
  if (step > 0 && std::isfinite(step)) {
    decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
  }
  // A multiple of 2 or 5 tenths needs its one decimal; 0.25 steps do not occur.
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, std::fabs(value) < step * 1e-9 ? 0.0 : value);
  return text;
}

std::vector<DotRun> dotRuns(const toolkit::TCanvas& canvas, int left, int top, int right, int bottom) {
  std::vector<DotRun> runs;
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, canvas.width());
  bottom = std::min(bottom, canvas.height());
  for (int y = top; y < bottom; ++y) {
    int x = left;
    while (x < right) {
      const toolkit::TColor colour = canvas.pixel(x, y);
      int end = x + 1;
      while (end < right && canvas.pixel(end, y) == colour) ++end;
      if (colour != toolkit::clWhite) runs.push_back(DotRun{x, y, end - x, colour});
      x = end;
    }
  }
  return runs;
}

}  // namespace trapezola
