// The floor and what the commands add to it, on one thread: the same orbits of
// the same table, bounce for bounce, run
//   - bare: the collision search and the reflection on a local table and ball,
//     nothing else (no rows, no checks, no drawing);
//   - as trapezola-cli portrait draws them (its orbit-number images, the merge);
//   - as trapezola-cli orbit --every K walks them with K larger than the orbit
//     (the row walk and the start and last rows, into a buffered sink);
//   - as one chaos-atlas cell runs them (bounce matrices and phase boxes).
// Compare the rates of one run of the program only: the ratio of each to
// BM_BareLoop is the cost of the command's work around the bounce.
// Table b = 0.5, R8/R = 2; 64 orbits from spreadStarts (seed 0), 100,000
// bounces each, as BM_PortraitOrbits runs them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "core/analysis/chaos_atlas.h"
#include "core/analysis/orbit_starts.h"
#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/multi_orbit_portrait.h"
#include "report/buffered_output.h"
#include "report/orbit_rows.h"

namespace trapezola {
namespace {

constexpr double tableB = 0.5;
constexpr double tableRr = 2;
constexpr std::int64_t orbitCount = 64;
constexpr std::int64_t orbitBounces = 100000;

std::vector<OrbitStart> benchStarts(const BilliardTable& table) {
  return spreadStarts(table, orbitCount, 0);
}

void countBounces(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * orbitCount * orbitBounces);
}

void BM_BareLoop(benchmark::State& state) {
  const BilliardTable table = buildTable(tableB, tableRr);
  const std::vector<OrbitStart> starts = benchStarts(table);
  for (auto _ : state) {
    for (const OrbitStart& start : starts) {
      Ball ball;
      launch(table, ball, start.distance, std::cos(startAngleRadians(start.angleDegrees)));
      for (std::int64_t n = 0; n < orbitBounces; ++n) {
        // The core's bounce: collision search, reflection, the two copies.
        bounce(table, ball);
      }
      benchmark::DoNotOptimize(ball.s);
      benchmark::DoNotOptimize(ball.phi);
    }
  }
  countBounces(state);
}
BENCHMARK(BM_BareLoop)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_PortraitLoop(benchmark::State& state) {
  const BilliardTable table = buildTable(tableB, tableRr);
  const PhaseWindowRecord window = freshRunWindow(table);
  const std::vector<OrbitStart> starts = benchStarts(table);
  for (auto _ : state) {
    const OrbitPortrait p = drawOrbits(table, window, starts, orbitBounces, 1, nullptr);
    benchmark::DoNotOptimize(p.topOrbit.data());
  }
  countBounces(state);
}
BENCHMARK(BM_PortraitLoop)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_OrbitEveryLoop(benchmark::State& state) {
  const BilliardTable table = buildTable(tableB, tableRr);
  const std::vector<OrbitStart> starts = benchStarts(table);
  std::FILE* sink = std::fopen("/dev/null", "w");
  if (sink == nullptr) {
    state.SkipWithError("no /dev/null");
    return;
  }
  for (auto _ : state) {
    BufferedOutput out(sink);
    for (const OrbitStart& start : starts) {
      OrbitRequest request;
      request.b = tableB;
      request.rr = tableRr;
      request.distance = start.distance;
      request.angleDegrees = start.angleDegrees;
      request.bounces = orbitBounces;
      request.every = 1000000000;
      benchmark::DoNotOptimize(writeOrbit(request, out));
    }
  }
  std::fclose(sink);
  countBounces(state);
}
BENCHMARK(BM_OrbitEveryLoop)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_AtlasCellLoop(benchmark::State& state) {
  AtlasParameters parameters;
  parameters.orbits = orbitCount;
  parameters.bounces = orbitBounces;
  AtlasWorkspace workspace(parameters);
  for (auto _ : state) {
    const AtlasCell cell = computeAtlasCell(tableB, tableRr, parameters, workspace);
    benchmark::DoNotOptimize(cell.lyapunovMax);
  }
  countBounces(state);
}
BENCHMARK(BM_AtlasCellLoop)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trapezola
