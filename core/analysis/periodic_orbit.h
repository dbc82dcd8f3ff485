// Periodic-orbit analysis: from a phase point (s, phi) to the orbit's period,
// the monodromy over one period, its trace and its class.
//
// Conventions: s is the perimeter coordinate (arc length from corner 1,
// counter-clockwise), phi the angle from the counter-clockwise tangent in
// radians. The ball is moved through the shared BallState, one bounce at a time,
// exactly as the orbit runs move it; TableGeometry must be built and its
// sideTilt set (any launch or pointer read-out sets it).
//
// A return is a bounce after which the ball is back at the start point and
// leaves it in the start direction: all four of x, y, dx, dy within epsilon of
// the start, strictly. Each search gives up after maxReturnSearch bounces.
#pragma once

#include <array>
#include <optional>

#include "core/analysis/monodromy.h"

namespace trapezola {

// Position and direction of the ball: the state a bounce sequence starts from.
struct BallPose {
  double x = 0, y = 0;
  double dx = 0, dy = 0;
};

BallPose currentPose();
void restorePose(const BallPose& pose);

inline constexpr int maxReturnSearch = 1000;
// The period that stands for "not periodic": three searches that all ran out.
// A typed period of this value means the same.
inline constexpr int notPeriodic = 1000;

// Sets BallState.cosPhi = cos(phi) and BallState.startS = s, places the ball
// there, and returns the placed pose.
BallPose placeAnalysisStart(double s, double phi);

// One search from the current ball: bounces until a return to the reference
// (strict |difference| < epsilon in x, y, dx and dy) or until maxReturnSearch
// bounces. Returns the number of bounces, 1..maxReturnSearch. An epsilon of 0
// or below never matches.
int searchReturn(const BallPose& reference, double epsilon);

// The largest k from 1 to the smallest count that divides all three counts.
// Counts are between 1 and maxReturnSearch; with a count below 1 the result is 1.
int periodFromReturnCounts(const std::array<int, 3>& counts);

// Bounces the ball `period` times from where it is and multiplies the bounce
// matrices, starting from the identity. A period below 1 gives the identity and
// bounces nothing.
Monodromy monodromyOverPeriod(int period);

struct PeriodicOrbitAnalysis {
  bool searched = false;              // the period came from the three searches
  std::array<int, 3> returnCounts{};  // zero for a typed period
  int period = 0;
  // Where the monodromy product began: after the searches, or the placed start
  // for a typed period. The lg(Tr) series starts again from here.
  BallPose matrixStart;
  // False for period notPeriodic; the monodromy, trace and class are then not
  // computed and keep their defaults (identity, 2, parabolic).
  bool hasMonodromy = false;
  Monodromy monodromy;
  double trace = 2;
  OrbitClass orbitClass = OrbitClass::parabolic;
};

// The whole analysis of the orbit starting at (s, phi): placement, then either
// the three return searches (typedPeriod empty) or the typed period, then the
// monodromy over one period. Leaves the ball at the last bounce computed.
//
// The period field's text "0" asks for the search; any other text is an integer
// the caller converts. A caller whose conversion can fail after the ball should
// already stand at the start calls placeAnalysisStart first: placing twice
// gives the same state.
PeriodicOrbitAnalysis analysePeriodicOrbit(double s, double phi, double epsilon,
                                           std::optional<int> typedPeriod);

}  // namespace trapezola
