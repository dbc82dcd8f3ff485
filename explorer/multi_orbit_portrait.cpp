// Notation: i is an orbit's number (its place among the starts), n a bounce's
// number within its orbit, counted from 1; a worker is one thread of drawOrbits
// with its own image of orbit numbers.
#include "explorer/multi_orbit_portrait.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <memory>

#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/jobs/parallel_for.h"
#include "explorer/phase_portrait.h"

namespace trapezola {

namespace {

constexpr toolkit::TColor fromRgb(std::uint32_t rgb) {
  return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

// The window's "small" dots.
constexpr int dotSize = 2;
// A worker's image starts white; orbit numbers stay below it.
constexpr toolkit::TColor noOrbit = toolkit::clWhite;
static_assert(maxPortraitOrbits < static_cast<std::int64_t>(noOrbit));
// Bounces between two updates of the shared progress count: rare enough that
// the workers do not contend for it.
constexpr std::int64_t progressBlock = 1 << 16;

// One orbit, from its launch to its last bounce or the first that fails.
// `bouncesDone` only feeds the progress display.
OrbitOutcome runOrbit(const BilliardTable& table, const PhaseWindowRecord& window, const OrbitStart& start,
                      std::int64_t bounces, toolkit::TCanvas& image, std::atomic<std::int64_t>& bouncesDone,
                      const StopSignal& stop) {
  Ball ball;
  // The start of trapezola-cli orbit, so that the dots are its rows.
  launch(table, ball, start.distance, std::cos(startAngleRadians(start.angleDegrees)));
  OrbitOutcome outcome;
  std::int64_t unreported = 0;
  for (std::int64_t n = 1; n <= bounces; ++n) {
    const BounceStatus status = bounce(table, ball);
    if (status != BounceStatus::ok) {
      outcome.stop = status;
      break;
    }
    plotPhasePoint(image, window, dotSize, ball.s, ball.phi);
    outcome.bounces = n;
    if (++unreported == progressBlock) {
      bouncesDone.fetch_add(unreported, std::memory_order_relaxed);
      unreported = 0;
      if (stop.raised()) break;
    }
  }
  // A stopped orbit's remaining bounces count as done: the progress is of work.
  bouncesDone.fetch_add(unreported + (bounces - outcome.bounces), std::memory_order_relaxed);
  return outcome;
}

}  // namespace

const std::array<toolkit::TColor, 21> orbitPalette{
    fromRgb(0x000000),  // black
    fromRgb(0xF3C300),  // yellow
    fromRgb(0x875692),  // purple
    fromRgb(0xF38400),  // orange
    fromRgb(0xA1CAF1),  // light blue
    fromRgb(0xBE0032),  // red
    fromRgb(0xC2B280),  // buff
    fromRgb(0x848482),  // grey
    fromRgb(0x008856),  // green
    fromRgb(0xE68FAC),  // purplish pink
    fromRgb(0x0067A5),  // blue
    fromRgb(0xF99379),  // yellowish pink
    fromRgb(0x604E97),  // violet
    fromRgb(0xF6A600),  // orange yellow
    fromRgb(0xB3446C),  // purplish red
    fromRgb(0xDCD300),  // greenish yellow
    fromRgb(0x882D17),  // reddish brown
    fromRgb(0x8DB600),  // yellow green
    fromRgb(0x654522),  // yellowish brown
    fromRgb(0xE25822),  // reddish orange
    fromRgb(0x2B3D26),  // olive green
};

PhaseWindowRecord freshRunWindow(const BilliardTable& table) {
  // The expressions of buildGeometry and launch on the window's start values.
  PhaseWindowRecord w;
  if (w.sMax > table.s4) w.sMax = table.s4;
  w.scaleS = plotAreaWidth / (w.sMax - w.sMin);
  w.scalePhi = plotAreaHeight / (w.phiMax - w.phiMin);
  return w;
}

OrbitPortrait drawOrbits(const BilliardTable& table, const PhaseWindowRecord& window,
                         std::span<const OrbitStart> starts, std::int64_t bounces, int threads,
                         OrbitProgress* progress, const std::atomic<bool>* stop) {
  OrbitPortrait result;
  result.outcomes.resize(starts.size());
  result.topOrbit.assign(static_cast<std::size_t>(portraitWidth) * portraitHeight, -1);
  if (starts.empty()) return result;

  const std::size_t workers = workerCount(threads, static_cast<std::int64_t>(starts.size()));
  // Every image exists before any worker starts: a worker allocates nothing.
  std::vector<std::unique_ptr<toolkit::TCanvas>> images;
  images.reserve(workers);
  for (std::size_t t = 0; t < workers; ++t) {
    images.push_back(std::make_unique<toolkit::TCanvas>(portraitWidth, portraitHeight));
    images.back()->Brush->Style = toolkit::bsSolid;
  }

  const std::int64_t perOrbit = std::max<std::int64_t>(bounces, 0);
  std::atomic<std::int64_t> bouncesDone{0};
  const auto orbit = [&](std::size_t worker, std::int64_t i, const StopSignal& stopSignal) {
    const auto at = static_cast<std::size_t>(i);
    toolkit::TCanvas& image = *images[worker];
    image.Pen->Color = static_cast<toolkit::TColor>(i);
    image.Brush->Color = static_cast<toolkit::TColor>(i);
    result.outcomes[at] = runOrbit(table, window, starts[at], perOrbit, image, bouncesDone, stopSignal);
  };
  ProgressPoll poll;
  if (progress != nullptr) {
    const std::int64_t total = perOrbit * static_cast<std::int64_t>(starts.size());
    poll = [&bouncesDone, progress, total] {
      progress->progress(bouncesDone.load(std::memory_order_relaxed), total);
    };
  }
  parallelFor(static_cast<std::int64_t>(starts.size()), threads, orbit, poll, stop);

  // The highest number wins, so the order of the images does not matter; they
  // are merged in worker order all the same.
  for (const auto& image : images) {
    std::size_t at = 0;
    for (int y = 0; y < portraitHeight; ++y) {
      for (int x = 0; x < portraitWidth; ++x, ++at) {
        const toolkit::TColor c = image->pixel(x, y);
        if (c != noOrbit) result.topOrbit[at] = std::max(result.topOrbit[at], static_cast<std::int32_t>(c));
      }
    }
  }
  return result;
}

double portraitMemoryNeed(std::int64_t orbits, int threads) {
  const double image = 4.0 * portraitWidth * portraitHeight;
  return (static_cast<double>(workerCount(threads, orbits)) + 1) * image +
         static_cast<double>(orbits) * (sizeof(OrbitOutcome) + sizeof(OrbitStart));
}

void paintOrbits(toolkit::TCanvas& canvas, const OrbitPortrait& portrait) {
  const toolkit::TBrush kept = *canvas.Brush;
  canvas.Brush->Style = toolkit::bsSolid;
  std::size_t at = 0;
  for (int y = 0; y < portraitHeight; ++y) {
    for (int x = 0; x < portraitWidth; ++x, ++at) {
      const std::int32_t i = portrait.topOrbit[at];
      if (i < 0) continue;
      canvas.Brush->Color = orbitPalette[static_cast<std::size_t>(i) % orbitPalette.size()];
      canvas.FillRect(x, y, x + 1, y + 1);
    }
  }
  *canvas.Brush = kept;
}

}  // namespace trapezola
