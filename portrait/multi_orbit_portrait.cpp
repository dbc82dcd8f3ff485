// Notation: i is an orbit's number (its place among the starts), n a bounce's
// number within its orbit, counted from 1; a worker is one thread of drawOrbits
// with its own image of orbit numbers.
#include "portrait/multi_orbit_portrait.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>

#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "portrait/phase_portrait.h"

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
constexpr auto progressInterval = std::chrono::milliseconds(250);

// What the workers share. `next` hands out orbit numbers in increasing order;
// `bouncesDone` only feeds the progress display.
struct WorkQueue {
  WorkQueue(const BilliardTable& t, const PhaseWindowRecord& w, std::span<const OrbitStart> s, std::int64_t m,
            std::vector<OrbitOutcome>& o)
      : table(t), window(w), starts(s), bounces(m), outcomes(o) {}

  const BilliardTable& table;
  const PhaseWindowRecord& window;
  std::span<const OrbitStart> starts;
  std::int64_t bounces;
  std::vector<OrbitOutcome>& outcomes;
  std::atomic<std::int64_t> next{0};
  std::atomic<std::int64_t> bouncesDone{0};
  const std::atomic<bool>* stop = nullptr;
  std::mutex mutex;
  std::condition_variable finished;
  int workersLeft = 0;  // guarded by mutex
};

// One orbit, from its launch to its last bounce or the first that fails.
OrbitOutcome runOrbit(WorkQueue& q, const OrbitStart& start, toolkit::TCanvas& image) {
  Ball ball;
  // The start of trapezola-cli orbit, so that the dots are its rows.
  launch(q.table, ball, start.distance, std::cos(startAngleRadians(start.angleDegrees)));
  OrbitOutcome outcome;
  std::int64_t unreported = 0;
  for (std::int64_t n = 1; n <= q.bounces; ++n) {
    const BounceStatus status = bounce(q.table, ball);
    if (status != BounceStatus::ok) {
      outcome.stop = status;
      break;
    }
    plotPhasePoint(image, q.window, dotSize, ball.s, ball.phi);
    outcome.bounces = n;
    if (++unreported == progressBlock) {
      q.bouncesDone.fetch_add(unreported, std::memory_order_relaxed);
      unreported = 0;
      if (q.stop != nullptr && q.stop->load(std::memory_order_relaxed)) break;
    }
  }
  // A stopped orbit's remaining bounces count as done: the progress is of work.
  q.bouncesDone.fetch_add(unreported + (q.bounces - outcome.bounces), std::memory_order_relaxed);
  return outcome;
}

void work(WorkQueue& q, toolkit::TCanvas& image) {
  const auto count = static_cast<std::int64_t>(q.starts.size());
  for (;;) {
    const std::int64_t i = q.next.fetch_add(1, std::memory_order_relaxed);
    if (i >= count || (q.stop != nullptr && q.stop->load(std::memory_order_relaxed))) break;
    const auto at = static_cast<std::size_t>(i);
    image.Pen->Color = static_cast<toolkit::TColor>(i);
    image.Brush->Color = static_cast<toolkit::TColor>(i);
    q.outcomes[at] = runOrbit(q, q.starts[at], image);
  }
  {
    const std::lock_guard lock(q.mutex);
    --q.workersLeft;
  }
  q.finished.notify_all();
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

  const auto workerCount = static_cast<std::size_t>(
      std::clamp<std::int64_t>(threads, 1, static_cast<std::int64_t>(starts.size())));
  // Every image exists before any worker starts: a worker allocates nothing.
  std::vector<std::unique_ptr<toolkit::TCanvas>> images;
  images.reserve(workerCount);
  for (std::size_t t = 0; t < workerCount; ++t) {
    images.push_back(std::make_unique<toolkit::TCanvas>(portraitWidth, portraitHeight));
    images.back()->Brush->Style = toolkit::bsSolid;
  }

  WorkQueue q(table, window, starts, std::max<std::int64_t>(bounces, 0), result.outcomes);
  q.workersLeft = static_cast<int>(workerCount);
  q.stop = stop;
  {
    // jthreads join when they go out of scope, also when starting one throws.
    std::vector<std::jthread> workers;
    workers.reserve(workerCount);
    for (std::size_t t = 0; t < workerCount; ++t) {
      workers.emplace_back([&q, &image = *images[t]] { work(q, image); });
    }
    if (progress != nullptr) {
      const std::int64_t total = q.bounces * static_cast<std::int64_t>(starts.size());
      std::unique_lock lock(q.mutex);
      while (!q.finished.wait_for(lock, progressInterval, [&q] { return q.workersLeft == 0; })) {
        lock.unlock();
        progress->progress(q.bouncesDone.load(std::memory_order_relaxed), total);
        lock.lock();
      }
    }
  }

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
