#include "explorer/figure_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "core/dynamics/orbit_walk.h"

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

std::string piFractionText(std::int64_t numerator, std::int64_t denominator) {
  if (numerator == 0) return "0";
  const std::int64_t common = std::gcd(numerator, denominator);
  numerator /= common;
  denominator /= common;
  std::string text = numerator < 0 ? "-" : "";
  const std::int64_t magnitude = std::llabs(numerator);
  if (magnitude != 1) text += std::to_string(magnitude);
  text += "\u03c0";
  if (denominator != 1) text += "/" + std::to_string(denominator);
  return text;
}

std::vector<AxisTick> phiTicks(double lo, double hi) {
  std::vector<AxisTick> ticks;
  if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo)) return ticks;
  // 1e-9 of a step: a window edge computed from pi/4 in doubles still holds its tick.
  for (std::int64_t denominator = 4; denominator <= 1024; denominator *= 2) {
    const double step = pi / static_cast<double>(denominator);
    const auto first = static_cast<std::int64_t>(std::ceil(lo / step - 1e-9));
    const auto last = static_cast<std::int64_t>(std::floor(hi / step + 1e-9));
    if (last - first + 1 < 3 && denominator < 1024) continue;
    if (last - first + 1 < 3) break;
    // Too many (a window far wider than pi): every k-th, still fractions of pi.
    std::int64_t stride = 1;
    while ((last - first) / stride + 1 > 9) stride *= 2;
    for (std::int64_t k = first; k <= last; ++k) {
      if (k % stride != 0) continue;
      ticks.push_back(AxisTick{static_cast<double>(k) * step, piFractionText(k, denominator)});
    }
    return ticks;
  }
  const std::vector<double> values = niceTicks(lo, hi, 6);
  const double numberStep = values.size() > 1 ? values[1] - values[0] : 1;
  for (const double v : values) ticks.push_back(AxisTick{v, tickText(v, numberStep)});
  return ticks;
}

std::optional<double> parseFigureWidth(const std::string& text) {
  double factor = 0;
  std::string number;
  if (text.size() > 2 && text.compare(text.size() - 2, 2, "mm") == 0) {
    factor = 1;
  } else if (text.size() > 2 && text.compare(text.size() - 2, 2, "cm") == 0) {
    factor = 10;
  } else {
    return std::nullopt;
  }
  number = text.substr(0, text.size() - 2);
  char* end = nullptr;
  const double value = std::strtod(number.c_str(), &end);
  if (number.empty() || end != number.c_str() + number.size() || !std::isfinite(value)) return std::nullopt;
  const double mm = value * factor;
  if (!(mm >= minimumFigureMm && mm <= maximumFigureMm)) return std::nullopt;
  return mm;
}

FigureOrbit figureOrbit(const BilliardTable& table, const OrbitStart& start, std::int64_t bounces,
                        toolkit::TColor colour) {
  FigureOrbit orbit;
  orbit.colour = colour;
  orbit.start = start;
  orbit.points.reserve(static_cast<std::size_t>(std::max<std::int64_t>(bounces, 0)));
  OrbitWalk walk(table, start.distance, start.angleDegrees, bounces, 1);
  walk.advance(bounces, [&orbit](const OrbitRow& row) {
    orbit.points.push_back(PhasePoint{row.s, row.phi});
    return true;
  });
  return orbit;
}

std::string legendText(const OrbitStart& start) {
  char text[96];
  std::snprintf(text, sizeof text, "s = %.3f, \u03c6 = %.1f\u00b0", start.distance, start.angleDegrees);
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
