// The lg(Tr) series: how fast the product of bounce matrices grows along an
// orbit, as an estimate of its Lyapunov exponent.
//
// The orbit is followed for blockCount blocks of blockSize bounces. Block m
// (from 1) yields ln |trace| of the product of all bounce matrices so far, in
// natural-log units (the program's texts say "lg"). A block product whose signed
// trace passes 1000 is divided by 1000 before the next factor, and the lost
// factors are added back as rescaleCount * ln 1000; the count runs over the
// whole series. An accumulated trace of exactly 0 gives -inf.
#pragma once

#include <cstdint>
#include <functional>

#include "core/analysis/periodic_orbit.h"

namespace trapezola {

// Receives (block index m, value) once per block, in order.
using LgTrSink = std::function<void(int block, double value)>;

// Restores `start` into BallState and runs the series from there, leaving the
// ball at the last bounce. Returns the final rescale count. A blockSize below 1
// throws std::invalid_argument before anything is bounced or delivered; a
// blockCount below 1 delivers nothing.
std::int64_t runLgTrSeries(const BallPose& start, int blockSize, int blockCount, const LgTrSink& sink);

}  // namespace trapezola
