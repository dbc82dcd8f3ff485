// The straight-line fit to an lg(Tr) series: least squares of value against
// block index over a window of line positions. Its slope per bounce is the
// estimate of the orbit's Lyapunov exponent, in natural-log units per bounce.
//
// The window holds the line positions i (from 0) with
// fitStart < i < lineCount - fitEndSkip, both strict; the fit itself uses the
// block index written on each line, from 1.
#pragma once

#include <optional>
#include <span>
#include <stdexcept>

#include "core/analysis/lgtr_data_file.h"

namespace trapezola {

// No line can be fitted: fewer than two distinct block indexes in the window, a
// non-finite value in it, or no block size to scale the slope with.
class LyapunovFitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct LyapunovFit {
  int fittedLines = 0;   // n
  double slope = 0;      // a, per block
  double intercept = 0;  // b
  double gradient = 0;   // a / blockSize: per bounce, the "blockindependent gradient"
  // The ordinary least-squares standard error of the gradient, per bounce:
  // sqrt(SSE / (n - 2) / sum (k - mean k)^2) / blockSize. Absent for two lines.
  std::optional<double> gradientStandardError;
};

// Fits the lines, as read back from the data file, over the window. blockSize is
// that of the series that wrote them. Throws LyapunovFitError when no line can
// be fitted.
LyapunovFit fitLgTrLines(std::span<const LgTrLine> lines, int fitStart, int fitEndSkip, int blockSize);

}  // namespace trapezola
