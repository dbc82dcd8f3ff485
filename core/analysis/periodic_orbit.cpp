#include "core/analysis/periodic_orbit.h"

#include <algorithm>
#include <cmath>

#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"

namespace trapezola {

BallPose currentPose() {
  const BallStateRecord& ball = BallState;
  return BallPose{ball.x, ball.y, ball.dx, ball.dy};
}

void restorePose(const BallPose& pose) {
  BallStateRecord& ball = BallState;
  ball.x = pose.x;
  ball.y = pose.y;
  ball.dx = pose.dx;
  ball.dy = pose.dy;
}

BallPose placeAnalysisStart(double s, double phi) {
  BallState.cosPhi = std::cos(phi);
  BallState.startS = s;
  placeOnBoundary(BallState.cosPhi, BallState.startS);
  return currentPose();
}

int searchReturn(const BallPose& reference, double epsilon) {
  const BallStateRecord& ball = BallState;
  int count = 0;
  for (;;) {
    bounce();
    ++count;
    // Strict tests: with epsilon <= 0 nothing ever returns, as the sensitivity
    // slider promises at its upper end.
    if (std::fabs(ball.x - reference.x) < epsilon && std::fabs(ball.y - reference.y) < epsilon &&
        std::fabs(ball.dx - reference.dx) < epsilon && std::fabs(ball.dy - reference.dy) < epsilon) {
      return count;
    }
    if (count == maxReturnSearch) return count;
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

Monodromy monodromyOverPeriod(int period) {
  const BallStateRecord& ball = BallState;
  Monodromy m;
  for (int k = 1; k <= period; ++k) {
    bounce();
    applyBounceMatrix(m, ball.hitDistance, ball.hitRadius, ball.phi);
  }
  return m;
}

PeriodicOrbitAnalysis analysePeriodicOrbit(double s, double phi, double epsilon,
                                           std::optional<int> typedPeriod) {
  PeriodicOrbitAnalysis a;
  const BallPose reference = placeAnalysisStart(s, phi);
  if (typedPeriod) {
    a.period = *typedPeriod;
  } else {
    a.searched = true;
    // Each search goes on from where the previous one stopped, but all three
    // compare with the placed start.
    for (int& count : a.returnCounts) count = searchReturn(reference, epsilon);
    a.period = periodFromReturnCounts(a.returnCounts);
  }
  a.matrixStart = currentPose();
  if (a.period == notPeriodic) return a;
  a.hasMonodromy = true;
  a.monodromy = monodromyOverPeriod(a.period);
  a.trace = trace(a.monodromy);
  a.orbitClass = classifyTrace(a.trace);
  return a;
}

}  // namespace trapezola
