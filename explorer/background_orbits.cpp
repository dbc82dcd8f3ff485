#include "explorer/background_orbits.h"

#include <utility>

namespace trapezola {

BackgroundOrbits::BackgroundOrbits(const BilliardTable& table, const PhaseWindowRecord& window,
                                   std::vector<OrbitStart> starts, std::int64_t bounces, int threads,
                                   std::function<void()> onFinished)
    : table_(table),
      window_(window),
      starts_(std::move(starts)),
      bounces_(bounces),
      total_(bounces * static_cast<std::int64_t>(starts_.size())),
      onFinished_(std::move(onFinished)) {
  thread_ = std::thread([this, threads] {
    result_ = drawOrbits(table_, window_, starts_, bounces_, threads, this, &stop_);
    done_.store(stopRequested() ? done_.load(std::memory_order_relaxed) : total_, std::memory_order_relaxed);
    finished_.store(true, std::memory_order_release);
    if (onFinished_) onFinished_();
  });
}

BackgroundOrbits::~BackgroundOrbits() {
  requestStop();
  wait();
}

void BackgroundOrbits::wait() {
  if (thread_.joinable()) thread_.join();
}

void BackgroundOrbits::progress(std::int64_t bouncesDone, std::int64_t) {
  done_.store(bouncesDone, std::memory_order_relaxed);
}

}  // namespace trapezola
