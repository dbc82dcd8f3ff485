// The many-orbit portrait (drawOrbits) on a thread of its own, for the main
// window's Run > Many orbits: the window keeps answering, sees the bounces
// done, and can stop it; a stopped portrait keeps the orbits drawn so far.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "core/geometry/table_geometry.h"
#include "explorer/multi_orbit_portrait.h"
#include "explorer/phase_window.h"

namespace trapezola {

class BackgroundOrbits : private OrbitProgress {
 public:
  // Starts at once on every core (`threads`); `onFinished` runs on the
  // runner's thread after finished() turned true.
  BackgroundOrbits(const BilliardTable& table, const PhaseWindowRecord& window,
                   std::vector<OrbitStart> starts, std::int64_t bounces, int threads,
                   std::function<void()> onFinished = {});
  ~BackgroundOrbits() override;
  BackgroundOrbits(const BackgroundOrbits&) = delete;
  BackgroundOrbits& operator=(const BackgroundOrbits&) = delete;

  void requestStop() { stop_.store(true, std::memory_order_relaxed); }
  bool stopRequested() const { return stop_.load(std::memory_order_relaxed); }
  bool finished() const { return finished_.load(std::memory_order_acquire); }
  void wait();

  std::int64_t bouncesDone() const { return done_.load(std::memory_order_relaxed); }
  std::int64_t bouncesTotal() const { return total_; }
  // After finished().
  const OrbitPortrait& result() const { return result_; }

 private:
  void progress(std::int64_t bouncesDone, std::int64_t bouncesTotal) override;

  const BilliardTable table_;
  const PhaseWindowRecord window_;
  const std::vector<OrbitStart> starts_;
  const std::int64_t bounces_;
  const std::int64_t total_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::atomic<std::int64_t> done_{0};
  OrbitPortrait result_;
  std::function<void()> onFinished_;
  std::thread thread_;
};

}  // namespace trapezola
