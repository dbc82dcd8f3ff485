// Notation: k block index, y value, n lines fitted; Sx, Sxx, Sy, Sxy the sums of
// k, k^2, y, k y over the window; D = n Sxx - Sx^2. a = (n Sxy - Sx Sy) / D and
// b = (Sxx Sy - Sx Sxy) / D keep their operation order.
#include "core/analysis/lyapunov_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "core/geometry/square.h"

namespace trapezola {

LyapunovFit fitLgTrLines(std::span<const LgTrLine> lines, int fitStart, int fitEndSkip, int blockSize) {
  if (blockSize < 1) {
    throw LyapunovFitError(
        "no series with a block size of at least 1 has run, so there is no slope per bounce");
  }
  // The integer sums are exact 64-bit integers. 32-bit ones would wrap: n Sxx
  // already passes 2^31 for about 290 lines, Sxx itself for about 1900. Up to
  // 2^53 the doubles made of them below are the same exact integers.
  const std::int64_t lineCount = static_cast<std::int64_t>(lines.size());
  const std::int64_t first = std::max<std::int64_t>(std::int64_t{fitStart} + 1, 0);
  const std::int64_t end = std::min(lineCount, lineCount - fitEndSkip);
  std::int64_t n = 0, sx = 0, sxx = 0;
  double sy = 0, sxy = 0;
  for (std::int64_t i = first; i < end; ++i) {
    const LgTrLine& line = lines[static_cast<std::size_t>(i)];
    const std::int64_t k = line.block;
    // |k| <= 2^31 keeps n, Sx and k^2 inside 64 bits; only Sxx can overflow.
    if (sxx > std::numeric_limits<std::int64_t>::max() - k * k) {
      throw LyapunovFitError("the block indexes in the data file are too large to fit");
    }
    n += 1;
    sx += k;
    sxx += k * k;
    sy += line.value;
    sxy += static_cast<double>(k) * line.value;
  }
  const double dn = static_cast<double>(n);
  const double dsx = static_cast<double>(sx);
  const double dsxx = static_cast<double>(sxx);
  const double d = dn * dsxx - dsx * dsx;
  if (n < 2) {
    throw LyapunovFitError("the fit window holds " + std::to_string(n) + (n == 1 ? " line" : " lines") +
                           "; a line needs at least two");
  }
  if (d == 0) {
    throw LyapunovFitError("every line in the fit window has the same block index; a line needs two");
  }
  LyapunovFit fit;
  fit.fittedLines = static_cast<int>(n);
  fit.slope = (dn * sxy - dsx * sy) / d;
  fit.intercept = (dsxx * sy - dsx * sxy) / d;
  if (!std::isfinite(fit.slope) || !std::isfinite(fit.intercept)) {
    throw LyapunovFitError("the fit window holds a value that is not a finite number");
  }
  fit.gradient = fit.slope / blockSize;
  if (n > 2) {
    double sse = 0;
    for (std::int64_t i = first; i < end; ++i) {
      const LgTrLine& line = lines[static_cast<std::size_t>(i)];
      sse += square(line.value - (fit.slope * line.block + fit.intercept));
    }
    // D / n is the centred sum of squares of k.
    fit.gradientStandardError = std::sqrt(sse / static_cast<double>(n - 2) / (d / dn)) / blockSize;
  }
  return fit;
}

}  // namespace trapezola
