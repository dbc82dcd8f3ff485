#include "explorer/history_replay.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "core/analysis/orbit_starts.h"
#include "core/dynamics/bounce.h"
#include "core/dynamics/orbit_walk.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/multi_orbit_portrait.h"
#include "explorer/periodic_marks.h"
#include "explorer/phase_portrait.h"

namespace trapezola {

namespace {

BilliardTable tableOf(const HistoryStep& step) {
  BilliardTable table = buildTable(step.b, step.rr);
  table.sideTilt = step.sideTilt;
  return table;
}

Ball ballOf(const HistoryStep& step) {
  Ball ball;
  ball.x = step.x;
  ball.y = step.y;
  ball.dx = step.dx;
  ball.dy = step.dy;
  return ball;
}

// White over the portrait but its rightmost column (which a clear and a zoom
// leave as it was), or over all of it.
void whiten(toolkit::TCanvas& canvas, bool lastColumnToo) {
  canvas.Brush->Color = toolkit::clWhite;
  canvas.FillRect(0, 0, lastColumnToo ? canvas.width() : canvas.width() - 1, canvas.height());
}

// A many-orbit fill: the orbits that ran to the end in one call, and those of
// a stopped fill grouped by how far they got; each pixel then shows the
// highest orbit drawn there, as one call would have left it.
void fillOrbits(const HistoryStep& step, toolkit::TCanvas& canvas, int threads) {
  const BilliardTable table = tableOf(step);
  const std::vector<OrbitStart> starts = spreadStarts(table, step.count, 0);
  OrbitPortrait merged;
  if (step.reached.empty()) {
    merged = drawOrbits(table, step.window, starts, step.bounces, threads, nullptr);
  } else {
    std::map<std::int64_t, std::vector<std::size_t>> byReach;
    for (std::size_t i = 0; i < step.reached.size(); ++i) byReach[step.reached[i]].push_back(i);
    merged.topOrbit.assign(
        static_cast<std::size_t>(canvas.width()) * static_cast<std::size_t>(canvas.height()), -1);
    for (const auto& [reach, members] : byReach) {
      if (reach == 0) continue;
      std::vector<OrbitStart> group;
      for (const std::size_t i : members) group.push_back(starts[i]);
      const OrbitPortrait part = drawOrbits(table, step.window, group, reach, threads, nullptr);
      for (std::size_t p = 0; p < part.topOrbit.size(); ++p) {
        if (part.topOrbit[p] < 0) continue;
        const auto orbit = static_cast<std::int32_t>(members[static_cast<std::size_t>(part.topOrbit[p])]);
        merged.topOrbit[p] = std::max(merged.topOrbit[p], orbit);
      }
    }
  }
  paintOrbits(canvas, merged);
}

}  // namespace

std::optional<std::string> replayHistory(const PortraitHistory& history, toolkit::TCanvas& canvas,
                                         int threads) {
  if (!history.replayable) {
    return std::string("the portrait began as a picture loaded without a history");
  }
  // The portrait as it was before the last grid, for an ungrid to restore.
  std::unique_ptr<toolkit::TCanvas> gridless;
  int number = 0;
  for (const HistoryStep& step : history.steps) {
    ++number;
    switch (step.kind) {
      case HistoryStepKind::clear:
        whiten(canvas, false);
        break;
      case HistoryStepKind::wipe:
        whiten(canvas, true);
        break;
      case HistoryStepKind::grid: {
        gridless = std::make_unique<toolkit::TCanvas>(canvas.width(), canvas.height());
        gridless->copyPixels(canvas, toolkit::TRect{0, 0, canvas.width(), canvas.height()});
        const BilliardTable table = tableOf(step);
        Ball walker;
        walker.phi = step.phi;
        drawPhaseGrid(canvas, table, walker, step.window, step.window.scaleS, step.window.scalePhi);
        break;
      }
      case HistoryStepKind::ungrid:
        if (gridless) canvas.copyPixels(*gridless, toolkit::TRect{0, 0, canvas.width(), canvas.height()});
        gridless.reset();
        break;
      case HistoryStepKind::marks:
        canvas.Pen->Color = step.colour;
        drawPeriodicMarks(canvas, step.window, step.points);
        break;
      case HistoryStepKind::orbits:
        whiten(canvas, true);
        fillOrbits(step, canvas, threads);
        break;
      case HistoryStepKind::go:
      case HistoryStepKind::resume:
      case HistoryStepKind::doubleClick:
      case HistoryStepKind::zoomReplay: {
        if (step.kind == HistoryStepKind::zoomReplay) whiten(canvas, false);
        const BilliardTable table = tableOf(step);
        Ball ball = ballOf(step);
        canvas.Pen->Color = step.colour;
        canvas.Brush->Color = step.colour;
        canvas.Brush->Style = toolkit::bsSolid;
        const std::int64_t bounces = runBounces(step);
        RunPosition at;
        const BounceStatus status =
            runPlottedPasses(PlottedPasses{table, step.window, step.dotSize, 1, bounces}, ball, canvas, at);
        if (status != BounceStatus::ok) {
          return "step " + std::to_string(number) + ": the orbit leaves the table before its bounce " +
                 std::to_string(step.lastBounce);
        }
        break;
      }
    }
  }
  return std::nullopt;
}

void forEachHistoryDot(const PortraitHistory& history, const std::function<void(const HistoryDot&)>& dot) {
  for (const HistoryStep& step : history.steps) {
    if (step.kind == HistoryStepKind::orbits) {
      const BilliardTable table = tableOf(step);
      const std::vector<OrbitStart> starts = spreadStarts(table, step.count, 0);
      for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::int64_t orbit = step.orbit + static_cast<std::int64_t>(i);
        const std::int64_t bounces = step.reached.empty() ? step.bounces : step.reached[i];
        OrbitWalk walk(table, starts[i].distance, starts[i].angleDegrees, bounces, 1);
        dot(HistoryDot{orbit, 0, walk.startRow().s, walk.startRow().phi});
        walk.advance(bounces, [&](const OrbitRow& row) {
          dot(HistoryDot{orbit, row.bounce, row.s, row.phi});
          return true;
        });
      }
      continue;
    }
    if (!isOrbitRun(step.kind)) continue;
    if (step.firstBounce == 1) dot(HistoryDot{step.orbit, 0, step.s, step.phi});
    const BilliardTable table = tableOf(step);
    Ball ball = ballOf(step);
    const std::int64_t bounces = runBounces(step);
    for (std::int64_t n = 0; n < bounces; ++n) {
      const BounceStatus status = plottedBounce(table, ball, [&](const Ball& b) {
        dot(HistoryDot{step.orbit, step.firstBounce + n, b.s, b.phi});
      });
      if (status != BounceStatus::ok) break;
    }
  }
}

std::vector<FigureOrbit> visibleOrbits(const PortraitHistory& history, std::int64_t maxDots) {
  if (!history.replayable) return {};
  // From the last step that left the portrait blank but its last column.
  std::size_t first = 0;
  for (std::size_t i = 0; i < history.steps.size(); ++i) {
    const HistoryStepKind k = history.steps[i].kind;
    if (k == HistoryStepKind::clear || k == HistoryStepKind::wipe) first = i + 1;
    if (k == HistoryStepKind::zoomReplay || k == HistoryStepKind::orbits) first = i;
  }
  PortraitHistory shown;
  shown.steps.assign(history.steps.begin() + static_cast<std::ptrdiff_t>(first), history.steps.end());
  if (historyBounces(shown) > static_cast<double>(maxDots)) return {};

  std::vector<FigureOrbit> orbits;
  std::map<std::int64_t, std::size_t> index;  // orbit number -> its place in `orbits`
  const auto orbitNumbered = [&](std::int64_t number) -> FigureOrbit& {
    const auto [at, added] = index.emplace(number, orbits.size());
    if (added) orbits.emplace_back();
    return orbits[at->second];
  };
  for (const HistoryStep& step : shown.steps) {
    if (step.kind == HistoryStepKind::orbits) {
      const std::vector<OrbitStart> starts = spreadStarts(tableOf(step), step.count, 0);
      for (std::size_t i = 0; i < starts.size(); ++i) {
        FigureOrbit& orbit = orbitNumbered(step.orbit + static_cast<std::int64_t>(i));
        orbit.colour = orbitPalette[i % orbitPalette.size()];
        orbit.start = starts[i];
      }
    } else if (isOrbitRun(step.kind)) {
      FigureOrbit& orbit = orbitNumbered(step.orbit);
      orbit.colour = step.colour;
      if (step.firstBounce == 1) orbit.start = OrbitStart{step.s, step.phi * 180 / pi};
    }
  }
  forEachHistoryDot(shown, [&](const HistoryDot& dot) {
    // A figure shows the bounces, not the starts.
    if (dot.bounce > 0) orbitNumbered(dot.orbit).points.push_back(PhasePoint{dot.s, dot.phi});
  });
  return orbits;
}

}  // namespace trapezola
