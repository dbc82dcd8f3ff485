// The largest requests that the front ends (trapezola-cli, the Python module,
// the window's many-orbit run) accept, each refused above its limit in the
// front end's own words. The engine itself takes any value its types hold.
#pragma once

#include <cstdint>
#include <limits>

namespace trapezola {

// Worker threads of one job.
inline constexpr std::int64_t maxThreads = 256;
// Seeds of spread starts lie below this: the starts' generator takes 32 bits.
inline constexpr std::uint64_t seedLimit = std::uint64_t{1} << 32;
// Orbits of a many-orbit portrait: orbit numbers are kept as canvas colours
// below white.
inline constexpr std::int64_t maxPortraitOrbits = 1000000;
// Orbits per cell of a chaos atlas, and boxes per side of its phase-space grid.
inline constexpr std::int64_t maxAtlasOrbits = 1000000;
inline constexpr std::int64_t maxBoxesPerSide = 4096;
// Values along each axis of an atlas grid.
inline constexpr std::int64_t maxAxisValues = 10000;
// The period of a periodic orbit found by Newton (each step bounces that
// often), the longest period of a Birkhoff catalogue (its search grows like
// the cube of the period), and the values of a continuation.
inline constexpr std::int64_t maxPeriodicPeriod = 10000;
inline constexpr std::int64_t maxCataloguePeriod = 40;
inline constexpr std::int64_t maxContinuationSteps = 100000;
// Blocks of a lg(Tr) series and bounces per block.
inline constexpr std::int64_t maxSeriesBlocks = 1000000;
inline constexpr std::int64_t maxBlockSize = 1000000;

// Whether bounces x orbits x cells, the job's bounces in all, fits in 64 bits
// (every factor at least 1).
constexpr bool totalBouncesFit(std::int64_t bounces, std::int64_t orbits, std::int64_t cells = 1) {
  return bounces <= std::numeric_limits<std::int64_t>::max() / orbits / cells;
}

}  // namespace trapezola
