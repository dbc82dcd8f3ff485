// The finite-time largest Lyapunov exponent of one orbit, and the part of the
// phase space the orbit visits.
//
// The exponent is ln ||P_M|| / M, natural log, per bounce, where P_M is the
// product of the orbit's first M bounce matrices, exactly those the monodromy
// multiplies (applyBounceMatrix with the free path, the radius of the arc hit
// and the new bounce's phi). ||.|| is the Frobenius norm; it lies within a
// factor sqrt 2 of the largest singular value, so the estimate is off by at
// most ln(sqrt 2) / M. The product is renormalised as it goes: whenever an
// entry's magnitude passes 2^64 every entry is multiplied by 2^-64, which is
// exact in binary floating point and so changes no rounding, and 64 ln 2 is
// added back at the end. As every bounce matrix has determinant 1, the largest
// entry of the product never falls below 1/sqrt 2: only growth needs guarding.
//
// For a regular orbit (every orbit of a circle, an orbit on an island) P_M grows
// linearly in M, so the finite-time exponent decays like ln M / M; for a chaotic
// orbit it tends to a positive constant.
//
// Visited phase space is counted in a G x G grid of boxes over the
// area-preserving coordinates (u, w) = (s / s4, (1 - cos phi) / 2), both in
// [0, 1], where the billiard's invariant measure is uniform: box (column
// floor(u G), row floor(w G)), clamped into the grid, at index row * G + column.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "core/analysis/orbit_starts.h"
#include "core/dynamics/reflection.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

struct OrbitExponent {
  double exponent = 0;       // ln ||P_n|| / n over the bounces done, n >= 1; 0 when none was
  std::int64_t bounces = 0;  // bounces done, each with a finite bounce matrix
  // ok: all bounces done. Otherwise the orbit stopped at bounce `bounces` + 1:
  // a bounce that found no boundary, a bad arc index, or (reported as
  // noArcAccepted too) a bounce matrix that is not finite, as at a grazing bounce.
  BounceStatus stop = BounceStatus::ok;
};

// Runs `bounces` bounces of the orbit that starts as a fresh "go" run does at
// `start` on `table`, and returns its finite-time exponent. Every box the orbit
// hits (bounces 1..n, not its start) is set to 1 in `boxes`, which holds
// boxesPerSide^2 entries; boxesPerSide >= 1. Allocates nothing. When `stop` is
// given and turns true, the orbit ends within 65,536 bounces with a result that
// means nothing (the atlas's workers, told to give up, throw it away).
OrbitExponent finiteTimeLyapunov(const BilliardTable& table, const OrbitStart& start, std::int64_t bounces,
                                 std::span<std::uint8_t> boxes, int boxesPerSide,
                                 const std::atomic<bool>* stop = nullptr);

// The box of the phase point (s, cos phi) on `table`, as described above.
int phaseBox(const BilliardTable& table, double s, double cosPhi, int boxesPerSide);

}  // namespace trapezola
