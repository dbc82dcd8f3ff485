#include "core/analysis/periodic_orbit.h"

#include <algorithm>
#include <cmath>

#include "core/dynamics/bounce.h"
#include "core/geometry/boundary.h"

namespace trapezola {

BallPose poseOf(const Ball& ball) {
  return BallPose{ball.x, ball.y, ball.dx, ball.dy};
}

void setPose(Ball& ball, const BallPose& pose) {
  ball.x = pose.x;
  ball.y = pose.y;
  ball.dx = pose.dx;
  ball.dy = pose.dy;
}

BallPose placeAnalysisStart(const BilliardTable& table, Ball& ball, double s, double phi) {
  ball.cosPhi = std::cos(phi);
  placeOnBoundary(table, ball, ball.cosPhi, s);
  return poseOf(ball);
}

BounceStatus searchReturn(const BilliardTable& table, Ball& ball, const BallPose& reference, double epsilon,
                          int& bounces) {
  bounces = 0;
  for (;;) {
    if (bounce(table, ball) == BounceStatus::badArcIndex) return BounceStatus::badArcIndex;
    ++bounces;
    // Strict tests: with epsilon <= 0 nothing ever returns, as the sensitivity
    // slider promises at its upper end.
    if (std::fabs(ball.x - reference.x) < epsilon && std::fabs(ball.y - reference.y) < epsilon &&
        std::fabs(ball.dx - reference.dx) < epsilon && std::fabs(ball.dy - reference.dy) < epsilon) {
      return BounceStatus::ok;
    }
    if (bounces == maxReturnSearch) return BounceStatus::ok;
  }
}

int periodFromReturnCounts(const std::array<int, 3>& counts) {
  const int smallest = std::min({counts[0], counts[1], counts[2]});
  int period = 1;
  for (int k = 1; k <= smallest; ++k) {
    if (counts[0] % k == 0 && counts[1] % k == 0 && counts[2] % k == 0) period = k;
  }
  return period;
}

BounceStatus monodromyOverPeriod(const BilliardTable& table, Ball& ball, int period, Monodromy& m,
                                 double* largestFactor) {
  m = Monodromy{};
  if (largestFactor) *largestFactor = 0;
  for (int k = 1; k <= period; ++k) {
    if (bounce(table, ball) == BounceStatus::badArcIndex) return BounceStatus::badArcIndex;
    applyBounceMatrix(m, ball.hitDistance, ball.hitRadius, ball.phi);
    if (largestFactor) {
      *largestFactor =
          std::max(*largestFactor, bounceMatrixEntrySum(ball.hitDistance, ball.hitRadius, ball.phi));
    }
  }
  return BounceStatus::ok;
}

PeriodicOrbitAnalysis analysePeriodicOrbit(const BilliardTable& table, Ball& ball, double s, double phi,
                                           double epsilon, std::optional<int> typedPeriod) {
  PeriodicOrbitAnalysis a;
  const BallPose reference = placeAnalysisStart(table, ball, s, phi);
  if (typedPeriod) {
    a.period = *typedPeriod;
  } else {
    a.searched = true;
    // Each search goes on from where the previous one stopped, but all three
    // compare with the placed start.
    for (int& count : a.returnCounts) {
      a.status = searchReturn(table, ball, reference, epsilon, count);
      if (a.status == BounceStatus::badArcIndex) return a;
    }
    a.period = periodFromReturnCounts(a.returnCounts);
    for (const int count : a.returnCounts) {
      if (count >= maxReturnSearch) a.periodFound = false;
    }
  }
  a.matrixStart = poseOf(ball);
  if (a.period == notPeriodic) return a;
  double largestFactor = 0;
  a.status = monodromyOverPeriod(table, ball, a.period, a.monodromy, &largestFactor);
  if (a.status == BounceStatus::badArcIndex) {
    a.monodromy = Monodromy{};
    return a;
  }
  a.hasMonodromy = true;
  a.trace = trace(a.monodromy);
  a.traceBound = traceRoundingBound(a.monodromy, a.period, largestFactor);
  a.hasClass = a.periodFound && !std::isnan(a.trace) && !std::isnan(a.traceBound);
  if (a.hasClass) a.orbitClass = classifyTrace(a.trace, a.traceBound);
  return a;
}

}  // namespace trapezola
