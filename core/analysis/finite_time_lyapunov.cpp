// Notation: P the running product of bounce matrices, n the bounces done, k the
// number of 2^-64 renormalisations applied to P.
#include "core/analysis/finite_time_lyapunov.h"

#include <algorithm>
#include <cmath>

#include "core/analysis/monodromy.h"
#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"

namespace trapezola {

namespace {

constexpr double renormaliseAbove = 0x1p64;
constexpr double renormaliseBy = 0x1p-64;
// A stop request is looked at every 65,536 bounces: a few milliseconds.
constexpr std::int64_t stopCheckMask = (std::int64_t{1} << 16) - 1;

int boxCoordinate(double unit, int boxesPerSide) {
  // Written as a comparison so that a NaN falls into box 0 instead of an
  // undefined conversion.
  const double scaled = unit * boxesPerSide;
  if (!(scaled >= 1)) return 0;
  if (scaled >= boxesPerSide) return boxesPerSide - 1;
  return static_cast<int>(scaled);
}

// phaseBox on a perimeter of length s4, for the bounce loop to inline.
inline int boxOf(double s4, double s, double cosPhi, int boxesPerSide) {
  const int column = boxCoordinate(s / s4, boxesPerSide);
  const int row = boxCoordinate((1 - cosPhi) / 2, boxesPerSide);
  return row * boxesPerSide + column;
}

}  // namespace

int phaseBox(const BilliardTable& table, double s, double cosPhi, int boxesPerSide) {
  return boxOf(table.s4, s, cosPhi, boxesPerSide);
}

OrbitExponent finiteTimeLyapunov(const BilliardTable& table, const OrbitStart& start, std::int64_t bounces,
                                 std::span<std::uint8_t> boxes, int boxesPerSide,
                                 const std::atomic<bool>* stop) {
  Ball ball;
  // The start of trapezola-cli orbit and portrait, so that the orbit is theirs.
  launch(table, ball, start.distance, std::cos(startAngleRadians(start.angleDegrees)));
  Monodromy p;
  std::int64_t renormalisations = 0;
  OrbitExponent result;
  // Locals, not loads through the references: a box store may alias them.
  const double s4 = table.s4;
  std::uint8_t* const box = boxes.data();
  for (std::int64_t n = 1; n <= bounces; ++n) {
    const BounceStatus status = bounce(table, ball);
    if (status != BounceStatus::ok) {
      result.stop = status;
      break;
    }
    Monodromy next = p;
    applyBounceMatrix(next, ball.hitDistance, ball.hitRadius, ball.phi);
    const double largest = std::max(std::max(std::fabs(next.m11), std::fabs(next.m12)),
                                    std::max(std::fabs(next.m21), std::fabs(next.m22)));
    // Not "largest > limit" alone: a NaN (sin phi = 0 at a grazing bounce)
    // fails every comparison and must stop the orbit, not poison the estimate.
    if (!(largest <= renormaliseAbove)) {
      if (!std::isfinite(largest)) {
        result.stop = BounceStatus::noArcAccepted;
        break;
      }
      next.m11 *= renormaliseBy;
      next.m12 *= renormaliseBy;
      next.m21 *= renormaliseBy;
      next.m22 *= renormaliseBy;
      ++renormalisations;
    }
    p = next;
    box[boxOf(s4, ball.s, ball.cosPhi, boxesPerSide)] = 1;
    result.bounces = n;
    if ((n & stopCheckMask) == 0 && stop != nullptr && stop->load(std::memory_order_relaxed)) break;
  }
  if (result.bounces > 0) {
    const double norm = std::sqrt(p.m11 * p.m11 + p.m12 * p.m12 + p.m21 * p.m21 + p.m22 * p.m22);
    const double growth = std::log(norm) + static_cast<double>(renormalisations) * (64 * std::log(2.0));
    result.exponent = growth / static_cast<double>(result.bounces);
  }
  return result;
}

}  // namespace trapezola
