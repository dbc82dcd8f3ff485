#include "explorer/run_status.h"

#include <cmath>
#include <cstdio>

namespace trapezola {

namespace {
constexpr double shortestRatedStretch = 0.1;  // seconds

std::string rateText(double perSecond) {
  char text[48];
  if (perSecond >= 1e6) {
    std::snprintf(text, sizeof text, "%.1f million a second", perSecond / 1e6);
  } else {
    std::snprintf(text, sizeof text, "%.0f a second", perSecond);
  }
  return text;
}

std::string durationText(double seconds) {
  const auto whole = static_cast<long long>(std::ceil(seconds));
  char text[48];
  if (whole < 60) {
    std::snprintf(text, sizeof text, "%lld s", whole);
  } else if (whole < 3600) {
    std::snprintf(text, sizeof text, "%lld min %02lld s", whole / 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld h %02lld min", whole / 3600, whole / 60 % 60);
  }
  return text;
}
}  // namespace

std::string groupedCount(std::int64_t count) {
  const bool negative = count < 0;
  // The magnitude in unsigned arithmetic, so that the most negative count has one.
  const auto magnitude =
      negative ? 0ull - static_cast<unsigned long long>(count) : static_cast<unsigned long long>(count);
  const std::string digits = std::to_string(magnitude);
  std::string text;
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) text += ' ';
    text += digits[i];
  }
  return negative ? "-" + text : text;
}

std::string runStatusText(std::int64_t done, std::int64_t total, std::int64_t stretchDone, double seconds) {
  std::string text = groupedCount(done) + " of " + groupedCount(total) + " bounces";
  if (seconds < shortestRatedStretch || stretchDone <= 0) return text;
  const double rate = static_cast<double>(stretchDone) / seconds;
  text += ", " + rateText(rate);
  const std::int64_t left = total - done;
  if (left > 0) text += ", " + durationText(static_cast<double>(left) / rate) + " left";
  return text;
}

std::string runEndText(std::int64_t done, std::int64_t total, bool complete) {
  if (complete) return "ready: " + groupedCount(done) + " bounces";
  return "stopped at " + groupedCount(done) + " of " + groupedCount(total) +
         " bounces: continue goes on from there";
}

}  // namespace trapezola
