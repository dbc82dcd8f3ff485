#include "core/analysis/precision_horizon.h"

#include <cmath>
#include <limits>

#include "core/dynamics/bounce.h"
#include "core/geometry/boundary.h"

namespace trapezola {

double phaseDrift(double s, double phi, ExtendedReal shadowS, ExtendedReal shadowPhi, ExtendedReal s4) {
  const ExtendedReal ds = std::fabs(static_cast<ExtendedReal>(s) - shadowS);
  const ExtendedReal aroundS = std::fmin(ds, s4 - ds);
  const ExtendedReal dphi = std::fabs(static_cast<ExtendedReal>(phi) - shadowPhi);
  const ExtendedReal drift = std::fmax(aroundS, dphi);
  // fmin and fmax pass over a NaN; a NaN anywhere means the orbits cannot be
  // compared at all.
  if (std::isnan(ds) || std::isnan(dphi)) return std::numeric_limits<double>::infinity();
  return static_cast<double>(drift);
}

ShadowedOrbit::ShadowedOrbit(double b, double rr, double startDistance, double startAngleDegrees,
                             std::optional<double> startPhi)
    : table_(buildTable(b, rr)), extendedTable_(buildTable<ExtendedReal>(b, rr)) {
  const double angle = startPhi ? *startPhi : startAngleRadians(startAngleDegrees);
  const double cosPhi = std::cos(angle);
  const double launchedS = launch(table_, ball_, startDistance, cosPhi);
  startS_ = perimeterCoordinateInRange(launchedS, table_.s4);
  startPhi_ = angle;
  const ExtendedReal shadowCos = std::cos(startPhi ? static_cast<ExtendedReal>(*startPhi)
                                                   : startAngleRadians<ExtendedReal>(startAngleDegrees));
  const ExtendedReal shadowS =
      launch(extendedTable_, shadow_, static_cast<ExtendedReal>(startDistance), shadowCos);
  // The drift of the start compares the directions the two orbits set off in.
  drift_ = phaseDrift(launchedS, std::acos(cosPhi), shadowS, std::acos(shadowCos), extendedTable_.s4);
}

BounceStatus ShadowedOrbit::bounce() {
  const BounceStatus status = trapezola::bounce(table_, ball_);
  const BounceStatus shadowStatus = trapezola::bounce(extendedTable_, shadow_);
  // Once either orbit has left the table, nothing after compares.
  if (status != BounceStatus::ok || shadowStatus != BounceStatus::ok) left_ = true;
  drift_ = left_ ? std::numeric_limits<double>::infinity()
                 : phaseDrift(ball_.s, ball_.phi, shadow_.s, shadow_.phi, extendedTable_.s4);
  return status;
}

std::int64_t trustedBounces(double b, double rr, double startDistance, double startAngleDegrees,
                            double tolerance, std::int64_t maxBounces, std::optional<double> startPhi) {
  ShadowedOrbit orbit(b, rr, startDistance, startAngleDegrees, startPhi);
  for (std::int64_t n = 1; n <= maxBounces; ++n) {
    orbit.bounce();
    // Negated so that a NaN tolerance trusts nothing.
    if (!(orbit.drift() <= tolerance)) return n - 1;
  }
  return maxBounces;
}

}  // namespace trapezola
