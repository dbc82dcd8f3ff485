// The lg(Tr) series: how fast the product of bounce matrices grows along an
// orbit, as an estimate of its Lyapunov exponent.
//
// The orbit is followed for blockCount blocks of blockSize bounces. Block m
// (from 1) yields ln |trace| of the product of all bounce matrices so far, in
// natural-log units (the program's texts say "lg"). A block product whose signed
// trace passes 1000 is divided by 1000 before the next factor, and the lost
// factors are added back as rescaleCount * ln 1000; the count runs over the
// whole series. Where a product would overflow (the accumulated one after a few
// hundred blocks of a chaotic orbit, or a block whose trace stays below -1000),
// it is first divided by a power of two, added back as twoExponent * ln 2: the
// series stays finite however long it runs, and up to the first such division
// its values are those of the unscaled products to the last bit. An
// accumulated trace of exactly 0 gives -inf.
#pragma once

#include <cstdint>
#include <functional>

#include "core/analysis/periodic_orbit.h"

namespace trapezola {

// Receives (block index m, value) once per block, in order.
using LgTrSink = std::function<void(int block, double value)>;

struct LgTrSeriesEnd {
  std::int64_t rescaleCount = 0;
  // The power of two taken out of the products to keep them finite.
  std::int64_t twoExponent = 0;
  // badArcIndex: a bounce found no arc to reflect on; the series stopped there
  // without delivering that block.
  BounceStatus status = BounceStatus::ok;
};

// Puts `start` into the ball and runs the series on `table` from there, leaving
// the ball at the last bounce. A blockSize below 1 throws std::invalid_argument
// before anything is bounced or delivered; a blockCount below 1 delivers
// nothing.
LgTrSeriesEnd runLgTrSeries(const BilliardTable& table, Ball& ball, const BallPose& start, int blockSize,
                            int blockCount, const LgTrSink& sink);

}  // namespace trapezola
