// Notation: i is an orbit's number (its place among the starts), n a bounce's
// number within its orbit, counted from 1; a worker is one thread of drawOrbits
// with its own image of orbit numbers.
#include "explorer/multi_orbit_portrait.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

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
// Bounces between two updates of the shared progress count: rare enough that
// the workers do not contend for it.
constexpr std::int64_t progressBlock = 1 << 16;
static_assert(maxPortraitOrbits <= INT32_MAX);
constexpr std::size_t portraitPixels = static_cast<std::size_t>(portraitWidth) * portraitHeight;

// The merged picture, shared by the workers: a worker whose slots run out
// merges into it under the lock, the others go on plotting.
struct MergedOrbits {
  std::vector<std::int32_t>& topOrbit;
  std::mutex lock;
};

// A worker's picture of the orbits it began since its last merge, one byte a
// pixel (a quarter of an image of colours, so that it stays in the processor's
// cache): 0 where none of them was plotted, otherwise the orbit's slot, its
// place 1..255 among those orbits. A worker takes its orbits in increasing
// order, so a higher slot is a higher orbit, and a dot that overwrites a pixel
// leaves the highest there, as a canvas painted in orbit numbers would.
class OrbitSlots {
 public:
  OrbitSlots() : pixels_(portraitPixels, 0) {}

  // Makes orbit i the current one, merging first when all slots are taken.
  void begin(std::int32_t orbit, MergedOrbits& merged) {
    if (used_ == maxSlot) {
      const std::lock_guard<std::mutex> hold(merged.lock);
      mergeInto(merged.topOrbit);
    }
    ++used_;
    orbitOfSlot_[used_] = orbit;
  }

  // The current orbit's dot at the phase point (s, phi) of `window`: the
  // pixels TCanvas::Ellipse sets on plotPhasePoint's box (explorer/
  // phase_portrait.h), with the same test and the same arithmetic. Its sides
  // are pixelFromReal(v + 2) - pixelFromReal(v) for the same v, at most 3 (v +
  // 2 rounds by far less than a pixel where pixelFromReal does not saturate),
  // so every dot is one of the canvas's small ellipses: a box of up to 3 x 3
  // pixels, whole, except that a 3 x 3 box leaves out its corners.
  void dot(const PhaseWindowRecord& w, double s, double phi) {
    if (!(w.sMin < s && s < w.sMax && w.phiMin < phi && phi < w.phiMax)) return;
    const double xr = (s - w.sMin) * w.scaleS + 6;
    const double yr = 678 - (phi - w.phiMin) * w.scalePhi;
    const int x1 = toolkit::pixelFromReal(xr), x2 = toolkit::pixelFromReal(xr + dotSize);
    const int y1 = toolkit::pixelFromReal(yr), y2 = toolkit::pixelFromReal(yr - dotSize);
    const int left = std::min(x1, x2), top = std::min(y1, y2);
    const std::int64_t width = std::int64_t{std::max(x1, x2)} - left;
    const std::int64_t height = std::int64_t{std::max(y1, y2)} - top;
    const auto slot = static_cast<std::uint8_t>(used_);
    if (width == 2 && height == 2 && left >= 0 && top >= 0 && left <= portraitWidth - 2 &&
        top <= portraitHeight - 2) {
      std::uint8_t* const row = pixels_.data() + static_cast<std::size_t>(top) * portraitWidth + left;
      row[0] = slot;
      row[1] = slot;
      row[portraitWidth] = slot;
      row[portraitWidth + 1] = slot;
      return;
    }
    const bool plus = width == 3 && height == 3;
    for (std::int64_t j = 0; j < height; ++j) {
      const std::int64_t y = top + j;
      if (y < 0 || y >= portraitHeight) continue;
      for (std::int64_t i = 0; i < width; ++i) {
        const std::int64_t x = left + i;
        if (x < 0 || x >= portraitWidth || (plus && i != 1 && j != 1)) continue;
        pixels_[static_cast<std::size_t>(y * portraitWidth + x)] = slot;
      }
    }
  }

  // Raises every pixel of `topOrbit` to the orbit plotted there since the last
  // merge, and frees the slots.
  void mergeInto(std::vector<std::int32_t>& topOrbit) {
    for (std::size_t at = 0; at < portraitPixels; ++at) {
      const std::uint8_t slot = pixels_[at];
      if (slot == 0) continue;
      topOrbit[at] = std::max(topOrbit[at], orbitOfSlot_[slot]);
      pixels_[at] = 0;
    }
    used_ = 0;
  }

 private:
  static constexpr int maxSlot = 255;
  std::vector<std::uint8_t> pixels_;
  std::array<std::int32_t, maxSlot + 1> orbitOfSlot_{};
  int used_ = 0;
};

// One orbit, from its launch to its last bounce or the first that fails.
// `bouncesDone` only feeds the progress display.
OrbitOutcome runOrbit(const BilliardTable& table, const PhaseWindowRecord& window, const OrbitStart& start,
                      std::int64_t bounces, OrbitSlots& image, std::atomic<std::int64_t>& bouncesDone,
                      const StopSignal& stop) {
  Ball ball;
  // The start of trapezola-cli orbit, so that the dots are its rows.
  launch(table, ball, start.distance, std::cos(startAngleRadians(start.angleDegrees)));
  OrbitOutcome outcome;
  // The window's plotted run, in one pass of all the bounces, marking the
  // orbit's places instead of painting a canvas.
  const auto plot = [&](const Ball& b) { image.dot(window, b.s, b.phi); };
  RunPosition at;
  for (;;) {
    const BounceStatus status = runPasses(table, 1, bounces, ball, at, progressBlock, nullptr, plot);
    const std::int64_t done = bouncesDoneAt(at, bounces);
    bouncesDone.fetch_add(done - outcome.bounces, std::memory_order_relaxed);
    outcome.bounces = done;
    if (status != BounceStatus::ok) {
      outcome.stop = status;
      break;
    }
    if (at.pass == 1 || stop.raised()) break;
  }
  // A stopped orbit's remaining bounces count as done: the progress is of work.
  bouncesDone.fetch_add(bounces - outcome.bounces, std::memory_order_relaxed);
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
  std::vector<OrbitSlots> images(workers);
  MergedOrbits merged{result.topOrbit, {}};

  const std::int64_t perOrbit = std::max<std::int64_t>(bounces, 0);
  std::atomic<std::int64_t> bouncesDone{0};
  const auto orbit = [&](std::size_t worker, std::int64_t i, const StopSignal& stopSignal) {
    const auto at = static_cast<std::size_t>(i);
    OrbitSlots& image = images[worker];
    image.begin(static_cast<std::int32_t>(i), merged);
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

  // The highest number wins, so the order of the merges does not matter.
  for (OrbitSlots& image : images) image.mergeInto(result.topOrbit);
  return result;
}

double portraitMemoryNeed(std::int64_t orbits, int threads) {
  const double pixels = static_cast<double>(portraitPixels);
  return static_cast<double>(workerCount(threads, orbits)) * pixels + 4 * pixels +
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
