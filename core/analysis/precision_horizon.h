// The precision horizon: how many bounces of a double-precision orbit can be
// trusted.
//
// In a chaotic table two orbits that start 1e-16 apart separate like e^(lambda n),
// so after a few dozen bounces the double orbit has left the true orbit of its
// start. To see where, the same start is followed a second time in extended
// precision (long double: 64-bit significand, about 5e-20 against double's
// 1.1e-16) on the same code, the bounce being a template over the number type,
// and the two are compared bounce by bounce. The extended orbit stands in for
// the true one: it leaves it too, but only about ln(2048) / lambda bounces
// later.
//
// Drift: the larger of the differences in s and in phi at the same bounce; s is
// taken round the perimeter (0 and s4 are the same point), phi in radians. A
// bounce at which either orbit left the table (no arc accepted) or gave a NaN
// has an infinite drift.
#pragma once

#include <cstdint>
#include <optional>

#include "core/dynamics/reflection.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

using ExtendedReal = long double;

// The default tolerance of the drift, in s and in phi.
inline constexpr double defaultShadowTolerance = 1e-9;

// The drift between a double bounce (s, phi) and an extended one on a perimeter
// of length s4.
double phaseDrift(double s, double phi, ExtendedReal shadowS, ExtendedReal shadowPhi, ExtendedReal s4);

// One start followed in double precision, exactly as every orbit run follows it
// (the double ball's bits are those of an unshadowed run), and beside it in
// extended precision.
class ShadowedOrbit {
 public:
  // Launches both at the perimeter coordinate startDistance (wrapped onto the
  // perimeter) and the angle in degrees, as a fresh go run launches; or, given
  // startPhi, at that angle in radians, the same value for both.
  ShadowedOrbit(double b, double rr, double startDistance, double startAngleDegrees,
                std::optional<double> startPhi = std::nullopt);

  const BilliardTable& table() const { return table_; }
  const Ball& ball() const { return ball_; }
  // The launch's start coordinate, in [0, s4), and the start angle as typed,
  // in radians (bounce 0 of the orbit).
  double startS() const { return startS_; }
  double startPhi() const { return startPhi_; }

  // One bounce of both orbits; returns the double orbit's status.
  BounceStatus bounce();
  // The drift after the last bounce, or at the launch before the first.
  double drift() const { return drift_; }

 private:
  BilliardTable table_;
  BasicTable<ExtendedReal> extendedTable_;
  Ball ball_;
  BasicBall<ExtendedReal> shadow_;
  double startS_ = 0;
  double startPhi_ = 0;
  double drift_ = 0;
  bool left_ = false;
};

// The number of bounces of the orbit from (startDistance, startAngleDegrees)
// before the first whose drift exceeds `tolerance`, looking at most
// `maxBounces` bounces ahead: maxBounces when the orbits stay together that
// long.
std::int64_t trustedBounces(double b, double rr, double startDistance, double startAngleDegrees,
                            double tolerance, std::int64_t maxBounces,
                            std::optional<double> startPhi = std::nullopt);

}  // namespace trapezola
