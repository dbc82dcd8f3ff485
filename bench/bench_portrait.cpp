// The main window's work without the window: a plotted "go" run against the
// bare bounce loop, a pointer move over the portrait, one grid drawing, and
// trapezola-cli portrait's many orbits on one thread and on every core.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/explorer.h"
#include "explorer/multi_orbit_portrait.h"
#include "explorer/orbit_run.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "explorer/pointer_readout.h"
#include "explorer/table_sketch.h"
#include "explorer/window_geometry.h"
#include "raster/canvas.h"
#include "raster/conversions.h"

namespace trapezola {
namespace {

Explorer freshTable() {
  Explorer explorer;
  setupTable(explorer, 0.5, 2, 0.7, 60, 1);
  launch(explorer);
  return explorer;
}

// A go press of repeat 1 (1000 bounces) through the handler's run code, grid
// off: bounces per second comparable with BM_BounceStep.
void BM_GoRunPlotted(benchmark::State& state) {
  Explorer explorer = freshTable();
  toolkit::TCanvas portrait(portraitWidth, portraitHeight);
  const RunLook look{static_cast<int>(state.range(0)), toolkit::clBlack, false};
  for (auto _ : state) performGoRun(explorer, portrait, look, nullptr);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_GoRunPlotted)->Arg(0)->Arg(1);

// Read-out, sketch redraw with the deepest follow (32 segments, 33 bounces) and
// the two label texts.
void BM_PointerMove(benchmark::State& state) {
  Explorer explorer = freshTable();
  explorer.runCount = 1;
  toolkit::TCanvas sketch(sketchWidth, sketchHeight);
  int x = 100;
  for (auto _ : state) {
    x = x < 700 ? x + 1 : 100;
    hoverAt(explorer, x, 300);
    std::string readout =
        "dist:  " + toolkit::FloatToStrF(explorer.hover.s, toolkit::ffGeneral, 7, 5) +
        "  angle:  " + toolkit::FloatToStrF(explorer.hover.phi * 180 / pi, toolkit::ffGeneral, 7, 5);
    drawHoverSketch(explorer, sketch, [] { return 32; });
    std::string where = "x: " + toolkit::FloatToStrF(explorer.hover.x, toolkit::ffGeneral, 7, 5) +
                        "     y: " + toolkit::FloatToStrF(explorer.hover.y, toolkit::ffGeneral, 7, 5);
    benchmark::DoNotOptimize(readout);
    benchmark::DoNotOptimize(where);
  }
}
BENCHMARK(BM_PointerMove)->Unit(benchmark::kMicrosecond);

// Frame, grid and the four corner curves: about 4 x 8000 boundary steps here.
void BM_PhaseGrid(benchmark::State& state) {
  Explorer explorer = freshTable();
  toolkit::TCanvas portrait(portraitWidth, portraitHeight);
  const PhaseWindowRecord& w = explorer.window;
  for (auto _ : state) drawPhaseGrid(portrait, explorer.table, explorer.ball, w, w.scaleS, w.scalePhi);
}
BENCHMARK(BM_PhaseGrid)->Unit(benchmark::kMillisecond);

// 64 orbits x 100,000 bounces, as trapezola-cli portrait --orbits 64 runs
// them, on Arg threads: bounces per second of wall-clock time, comparable with
// BM_ValueBounce per thread.
void BM_PortraitOrbits(benchmark::State& state) {
  const BilliardTable table = buildTable(0.5, 2);
  const PhaseWindowRecord window = freshRunWindow(table);
  const std::vector<OrbitStart> starts = spreadStarts(table, 64, 0);
  constexpr std::int64_t bounces = 100000;
  for (auto _ : state) {
    const OrbitPortrait p =
        drawOrbits(table, window, starts, bounces, static_cast<int>(state.range(0)), nullptr);
    benchmark::DoNotOptimize(p.topOrbit.data());
  }
  state.SetItemsProcessed(state.iterations() * bounces * static_cast<std::int64_t>(starts.size()));
}
BENCHMARK(BM_PortraitOrbits)
    ->Arg(1)
    ->Arg(std::max(1, static_cast<int>(std::thread::hardware_concurrency())))
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trapezola
