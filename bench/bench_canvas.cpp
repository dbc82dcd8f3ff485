// The canvas operations an orbit run repeats millions of times: one bounce dot
// per bounce (pointSize 2 and 3), and the long clipped lines of the grid.
#include <benchmark/benchmark.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "raster/canvas.h"

namespace {

using trapezola::toolkit::TCanvas;

// The phase portrait's image.
constexpr int kWidth = 794;
constexpr int kHeight = 681;

// Spreads the dots over the image like an orbit does, so that the cost includes
// the cache misses of a real run rather than hitting one cache line. The
// positions are computed beforehand to keep their arithmetic out of the timing.
void ellipseDots(benchmark::State& state, int size) {
  constexpr std::size_t kPositions = 4096;
  std::vector<std::pair<int, int>> positions(kPositions);
  std::uint32_t x = 6, y = 678;
  for (auto& p : positions) {
    p = {static_cast<int>(x), static_cast<int>(y)};
    x = (x + 389) % kWidth;
    y = (y + 331) % kHeight;
  }
  TCanvas canvas(kWidth, kHeight);
  std::size_t i = 0;
  for (auto _ : state) {
    const auto [px, py] = positions[i];
    canvas.Ellipse(px, py, px + size, py - size);
    i = (i + 1) % kPositions;
  }
  benchmark::DoNotOptimize(canvas.bits());
  state.SetItemsProcessed(state.iterations());
}

void BM_EllipseDot2(benchmark::State& state) {
  ellipseDots(state, 2);
}
void BM_EllipseDot3(benchmark::State& state) {
  ellipseDots(state, 3);
}

// A line across the whole int range that shows as one image row.
void BM_LineLong(benchmark::State& state) {
  TCanvas canvas(kWidth, kHeight);
  int y = 0;
  for (auto _ : state) {
    canvas.MoveTo(INT_MIN, y);
    canvas.LineTo(INT_MAX, y + 1);
    y = (y + 1) % kHeight;
  }
  benchmark::DoNotOptimize(canvas.bits());
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_EllipseDot2);
BENCHMARK(BM_EllipseDot3);
BENCHMARK(BM_LineLong);
