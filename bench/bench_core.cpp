// Bounces per second of the bare bounce step (the window's plotted bounce and
// the unplotted bounce on a table value with a ball value, in double and in extended precision, and
// shadowed) and of trapezola-cli's orbit stream,
// measured side by side in one run so that their ratios are meaningful.
// Table b = 0.5, R8/R = 2, start 0.7 from corner 1 at 60 degrees.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

#include "core/analysis/precision_horizon.h"
#include "core/dynamics/bounce.h"
#include "core/dynamics/collision.h"
#include "core/dynamics/reflection.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/explorer.h"
#include "explorer/phase_window.h"
#include "explorer/window_geometry.h"
#include "report/buffered_output.h"
#include "report/orbit_rows.h"

namespace trapezola {
namespace {

// The window's bounce: the plotted sequence of a run, with a plot step that
// only keeps the bounce's phase point.
void BM_BounceStep(benchmark::State& state) {
  Explorer explorer;
  setupTable(explorer, 0.5, 2, 0.7, 60, 1);
  launch(explorer);
  Ball& ball = explorer.ball;
  const auto keep = [](const Ball& b) {
    benchmark::DoNotOptimize(b.s);
    benchmark::DoNotOptimize(b.phi);
  };
  for (auto _ : state) {
    benchmark::DoNotOptimize(plottedBounce(explorer.table, ball, keep));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BounceStep);

// The same orbit as a value run: one table built once, one ball owned here.
void BM_ValueBounce(benchmark::State& state) {
  const BilliardTable table = buildTable(0.5, 2);
  Ball ball;
  launch(table, ball, 0.7, std::cos(startAngleRadians(60)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(bounce(table, ball));
    benchmark::DoNotOptimize(ball.s);
    benchmark::DoNotOptimize(ball.phi);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ValueBounce);

// The same bounce in extended precision (long double), as the shadow orbit of
// the precision horizon runs it.
void BM_ExtendedBounce(benchmark::State& state) {
  const BasicTable<long double> table = buildTable<long double>(0.5, 2);
  BasicBall<long double> ball;
  launch(table, ball, 0.7L, std::cos(startAngleRadians<long double>(60)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(bounce(table, ball));
    benchmark::DoNotOptimize(ball.s);
    benchmark::DoNotOptimize(ball.phi);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExtendedBounce);

// A double bounce with its shadow and the drift between them: orbit --shadow.
void BM_ShadowedBounce(benchmark::State& state) {
  ShadowedOrbit orbit(0.5, 2, 0.7, 60);
  for (auto _ : state) {
    benchmark::DoNotOptimize(orbit.bounce());
    benchmark::DoNotOptimize(orbit.drift());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ShadowedBounce);

// A million bounces printed every 100,000th: the cost of the stream beyond the
// bounce loop itself.
void BM_CliOrbitStream(benchmark::State& state) {
  std::FILE* sink = std::fopen("/dev/null", "w");
  OrbitRequest request;
  request.b = 0.5;
  request.rr = 2;
  request.distance = 0.7;
  request.angleDegrees = 60;
  request.bounces = 1000000;
  request.every = state.range(0);
  for (auto _ : state) {
    BufferedOutput out(sink);
    writeOrbit(request, out);
  }
  std::fclose(sink);
  state.SetItemsProcessed(state.iterations() * request.bounces);
}
BENCHMARK(BM_CliOrbitStream)->Arg(100000)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trapezola
