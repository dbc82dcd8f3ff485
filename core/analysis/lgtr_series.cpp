// Notation: a product of bounce matrices is carried as a matrix times 2^e (e
// twoExponent) times 1000^c (c rescaleCount). Multiplying a matrix by a power of
// two is exact, so a rescaled product is the unscaled one to the last bit,
// wherever the unscaled one is representable.
#include "core/analysis/lgtr_series.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/dynamics/bounce.h"

namespace trapezola {

namespace {

bool isFinite(const Monodromy& m) {
  return std::isfinite(m.m11) && std::isfinite(m.m12) && std::isfinite(m.m21) && std::isfinite(m.m22);
}

// Divides m by the power of two that brings its largest entry into [0.5, 1)
// and adds that power's exponent to twoExponent. A zero or non-finite matrix is
// left alone.
void normalise(Monodromy& m, std::int64_t& twoExponent) {
  const double largest = std::max({std::fabs(m.m11), std::fabs(m.m12), std::fabs(m.m21), std::fabs(m.m22)});
  if (!(largest > 0) || !std::isfinite(largest)) return;
  int e = 0;
  std::frexp(largest, &e);
  m.m11 = std::ldexp(m.m11, -e);
  m.m12 = std::ldexp(m.m12, -e);
  m.m21 = std::ldexp(m.m21, -e);
  m.m22 = std::ldexp(m.m22, -e);
  twoExponent += e;
}

}  // namespace

LgTrSeriesEnd runLgTrSeries(const BilliardTable& table, Ball& ball, const BallPose& start, int blockSize,
                            int blockCount, const LgTrSink& sink) {
  if (blockSize < 1) throw std::invalid_argument("the block size must be at least 1 bounce");
  setPose(ball, start);
  LgTrSeriesEnd end;
  const double lnThousand = std::log(1000.0);
  const double lnTwo = std::log(2.0);
  Monodromy accumulated;
  std::int64_t& twoExponent = end.twoExponent;
  // At most one rescale per bounce, and a series may outrun the int range.
  std::int64_t& rescaleCount = end.rescaleCount;
  for (int m = 1; m <= blockCount; ++m) {
    Monodromy block;
    for (int k = 0; k < blockSize; ++k) {
      if (bounce(table, ball) == BounceStatus::badArcIndex) {
        end.status = BounceStatus::badArcIndex;
        return end;
      }
      // The signed trace is tested, after the bounce and before its factor:
      // GoldenBits.AnalysesThroughTheSharedRecords pins the series this order gives.
      if (trace(block) > 1000) {
        block.m11 *= 0.001;
        block.m12 *= 0.001;
        block.m21 *= 0.001;
        block.m22 *= 0.001;
        ++rescaleCount;
      }
      // A block whose trace stays below -1000 is never divided by 1000; where its
      // next factor would overflow, it is brought down by a power of two first.
      const Monodromy before = block;
      applyBounceMatrix(block, ball.hitDistance, ball.hitRadius, ball.phi);
      if (!isFinite(block) && isFinite(before)) {
        block = before;
        normalise(block, twoExponent);
        applyBounceMatrix(block, ball.hitDistance, ball.hitRadius, ball.phi);
      }
    }
    // The accumulated product is normalised only where the unscaled one would
    // overflow: up to there every value is the same bits as without it.
    Monodromy next = product(block, accumulated);
    if (!(isFinite(next) && std::isfinite(next.m11 + next.m22)) && isFinite(accumulated)) {
      normalise(accumulated, twoExponent);
      next = product(block, accumulated);
    }
    accumulated = next;
    // With twoExponent 0 the last term adds +0: the sum is today's to the bit.
    const double value = std::log(std::fabs(accumulated.m11 + accumulated.m22)) +
                         static_cast<double>(rescaleCount) * lnThousand +
                         static_cast<double>(twoExponent) * lnTwo;
    sink(m, value);
  }
  return end;
}

}  // namespace trapezola
