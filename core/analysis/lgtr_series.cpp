#include "core/analysis/lgtr_series.h"

#include <cmath>
#include <stdexcept>

#include "core/dynamics/bounce.h"

namespace trapezola {

LgTrSeriesEnd runLgTrSeries(const BilliardTable& table, Ball& ball, const BallPose& start, int blockSize,
                            int blockCount, const LgTrSink& sink) {
  if (blockSize < 1) throw std::invalid_argument("the block size must be at least 1 bounce");
  setPose(ball, start);
  LgTrSeriesEnd end;
  const double lnThousand = std::log(1000.0);
  Monodromy accumulated;
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
      applyBounceMatrix(block, ball.hitDistance, ball.hitRadius, ball.phi);
    }
    accumulated = product(block, accumulated);
    const double value = std::log(std::fabs(accumulated.m11 + accumulated.m22)) +
                         static_cast<double>(rescaleCount) * lnThousand;
    sink(m, value);
  }
  return end;
}

std::int64_t runLgTrSeries(const BallPose& start, int blockSize, int blockCount, const LgTrSink& sink) {
  const LgTrSeriesEnd end = runLgTrSeries(TableGeometry, BallState, start, blockSize, blockCount, sink);
  if (end.status == BounceStatus::badArcIndex) endOnBadArcIndex();
  return end.rescaleCount;
}

}  // namespace trapezola
