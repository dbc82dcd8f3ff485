// Periodic-orbit analysis: from a phase point (s, phi) to the orbit's period,
// the monodromy over one period, its trace and its class.
//
// Conventions: s is the perimeter coordinate (arc length from corner 1,
// counter-clockwise), phi the angle from the counter-clockwise tangent in
// radians. Each operation moves a ball value on a table value, one bounce at a
// time, exactly as the orbit runs move it, and reports a bad arc index as a
// status; the caller decides what it means.
//
// A return is a bounce after which the ball is back at the start point and
// leaves it in the start direction: all four of x, y, dx, dy within epsilon of
// the start, strictly. Each search gives up after maxReturnSearch bounces.
#pragma once

#include <array>
#include <optional>

#include "core/analysis/monodromy.h"
#include "core/dynamics/reflection.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

// Position and direction of the ball: the state a bounce sequence starts from.
struct BallPose {
  double x = 0, y = 0;
  double dx = 0, dy = 0;
};

BallPose poseOf(const Ball& ball);
void setPose(Ball& ball, const BallPose& pose);

inline constexpr int maxReturnSearch = 1000;
// The period that stands for "not periodic": three searches that all ran out.
// A typed period of this value means the same.
inline constexpr int notPeriodic = 1000;

// Sets ball.cosPhi = cos(phi), places the ball at s, and returns the placed
// pose.
BallPose placeAnalysisStart(const BilliardTable& table, Ball& ball, double s, double phi);

// One search from where the ball stands: bounces until a return to the
// reference (strict |difference| < epsilon in x, y, dx and dy) or until
// maxReturnSearch bounces, and sets `bounces` to their number,
// 1..maxReturnSearch. An epsilon of 0 or below never matches. A bad arc index
// stops the search at once.
BounceStatus searchReturn(const BilliardTable& table, Ball& ball, const BallPose& reference, double epsilon,
                          int& bounces);

// The largest k from 1 to the smallest count that divides all three counts.
// Counts are between 1 and maxReturnSearch; with a count below 1 the result is 1.
int periodFromReturnCounts(const std::array<int, 3>& counts);

// Bounces the ball `period` times from where it is and multiplies the bounce
// matrices into m, starting from the identity. A period below 1 gives the
// identity and bounces nothing. largestFactor, when given, receives the largest
// entry sum of the bounce matrices (0 for none), for traceRoundingBound.
BounceStatus monodromyOverPeriod(const BilliardTable& table, Ball& ball, int period, Monodromy& m,
                                 double* largestFactor = nullptr);

struct PeriodicOrbitAnalysis {
  bool searched = false;              // the period came from the three searches
  std::array<int, 3> returnCounts{};  // zero for a typed period
  int period = 0;
  // Where the monodromy product began: after the searches, or the placed start
  // for a typed period. The lg(Tr) series starts again from here.
  BallPose matrixStart;
  // False when a search ran out of bounces (a count of maxReturnSearch): the
  // period is then only what the counts have in common, not a return.
  bool periodFound = true;
  // False for period notPeriodic; the monodromy, trace and class are then not
  // computed and keep their defaults (identity, 2, parabolic).
  bool hasMonodromy = false;
  Monodromy monodromy;
  double trace = 2;
  // The rounding bound of the trace (traceRoundingBound) that the class allows.
  double traceBound = 0;
  // Whether orbitClass means anything: a monodromy over a period that was found
  // (or typed), with a trace and a bound that are numbers. A grazing bounce
  // makes the trace NaN.
  bool hasClass = false;
  OrbitClass orbitClass = OrbitClass::parabolic;
  // badArcIndex: a bounce found no arc to reflect on and the analysis stopped
  // there; the fields after the step that stopped keep their defaults.
  BounceStatus status = BounceStatus::ok;
};

// The whole analysis of the orbit starting at (s, phi): placement, then either
// the three return searches (typedPeriod empty) or the typed period, then the
// monodromy over one period. Leaves the ball at the last bounce computed; the
// caller keeps the start s where it needs it.
//
// The period field's text "0" asks for the search; any other text is an integer
// the caller converts. A caller whose conversion can fail after the ball should
// already stand at the start calls placeAnalysisStart first: placing twice
// gives the same state.
PeriodicOrbitAnalysis analysePeriodicOrbit(const BilliardTable& table, Ball& ball, double s, double phi,
                                           double epsilon, std::optional<int> typedPeriod);

}  // namespace trapezola
