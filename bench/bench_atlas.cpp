// The chaos atlas's speed: bounces per second of one orbit with the tangent map
// and the phase boxes, to set against BM_ValueBounce (the bare bounce on the same
// table and start), and a small atlas on one thread and on every core, whose
// ratio is the scaling. Table b = 0.5, R8/R = 2, start 0.7 from corner 1 at 60
// degrees; the atlas covers b 0.3..0.9, R8/R 1..3, 4 x 4 cells, 16 orbits of
// 20,000 bounces each.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

#include "core/analysis/chaos_atlas.h"
#include "core/analysis/finite_time_lyapunov.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {
namespace {

void BM_TangentOrbit(benchmark::State& state) {
  const BilliardTable table = buildTable(0.5, 2);
  constexpr int boxesPerSide = 100;
  std::vector<std::uint8_t> boxes(boxesPerSide * boxesPerSide);
  constexpr std::int64_t bounces = 100000;
  for (auto _ : state) {
    const OrbitExponent e = finiteTimeLyapunov(table, {0.7, 60}, bounces, boxes, boxesPerSide);
    benchmark::DoNotOptimize(e.exponent);
  }
  state.SetItemsProcessed(state.iterations() * bounces);
}
BENCHMARK(BM_TangentOrbit)->Unit(benchmark::kMillisecond);

void BM_AtlasCells(benchmark::State& state) {
  AtlasGrid grid;
  grid.b = {0.3, 0.9, 4};
  grid.rr = {1, 3, 4};
  AtlasParameters parameters;
  parameters.bounces = 20000;
  std::vector<std::int64_t> cells;
  for (std::int64_t i = 0; i < grid.cellCount(); ++i) cells.push_back(i);
  for (auto _ : state) {
    const std::vector<AtlasCell> result =
        computeAtlas(grid, cells, parameters, static_cast<int>(state.range(0)), nullptr);
    benchmark::DoNotOptimize(result.data());
  }
  state.SetItemsProcessed(state.iterations() * grid.cellCount() * parameters.orbits * parameters.bounces);
}
// Real time gives the scaling where the cores are free; the process's processor
// time (the CPU column, every thread's) shows what the threads cost each other,
// also on a machine shared with other work.
BENCHMARK(BM_AtlasCells)
    ->Arg(1)
    ->Arg(std::max(1, static_cast<int>(std::thread::hardware_concurrency())))
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trapezola
