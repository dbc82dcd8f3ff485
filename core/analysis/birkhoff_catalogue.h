// The Birkhoff catalogue: the periodic orbits of every rotation number m/n up
// to a period, found as critical points of the length function and polished by
// Newton (periodic_solver.h).
//
// The billiard map is a twist map. An orbit of period n going m times round
// the table is a critical point of
//   L(s_1 .. s_n) = sum |g(s_{i+1}) - g(s_i)|,   s_{n+1} = s_1 + m s4,
// with g(s) the boundary point at perimeter coordinate s and the s_i increasing,
// each less than s4 beyond the one before. dL/ds_i = t_i . (u_{i-1} - u_i), the
// difference of the cosines of the incoming and the outgoing chord against the
// tangent t_i: zero exactly where the ball reflects. Birkhoff's theorem gives at
// least two orbits for each coprime m/n: one of maximal length, and one of
// minimax type (for twist maps the maximal one has trace >= 2; the minimax one
// is often elliptic).
//
// Both come from the profile L*(sigma) = max L over s_2 .. s_n with s_1 = sigma:
// its maxima are the maximal-length orbits and its minima the minimax ones,
// and its slope is dL/ds_1 at the constrained maximum. The profile is sampled
// over one perimeter of sigma (each orbit appears there once per point), every
// change of sign of its slope is refined, and the orbit there polished. Where
// the constrained maximum jumps from one chain to another the profile has a
// kink rather than a critical point, so the kind of a polished orbit comes
// from the signature of the Hessian of L: no ascending direction, a maximum;
// one, a minimax orbit; orbits with more are not listed. An orbit is listed
// once, whichever of its points was found. Where a whole family of orbits
// shares one length (a circle, where every start is periodic; the diameters of
// a bottom arc that spans more than half its circle) one orbit stands for it.
//
// Rotation numbers m/n with m > n/2 are the same orbits run backwards and are
// left out. An orbit whose polish does not converge (a chain through a corner,
// where the map is not smooth, or one too unstable to close within
// maxPeriodicResidual in doubles) is left out too.
#pragma once

#include <atomic>
#include <vector>

#include "core/analysis/periodic_solver.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

enum class BirkhoffKind { max, minimax };

// "max" or "minimax".
const char* birkhoffKindName(BirkhoffKind kind);

struct BirkhoffOrbit {
  int m = 0;
  int n = 0;
  BirkhoffKind kind = BirkhoffKind::max;
  // Converged, period n with m turns, its first point the one of smallest s.
  PeriodicOrbitSolution orbit;
};

// Every coprime m/n with 2 <= n <= maxPeriod and 1 <= m <= n/2, in the order
// n, m, kind (max first), then by decreasing length and increasing s. A raised
// `stop` ends the search between two rotation numbers with what it has.
std::vector<BirkhoffOrbit> birkhoffCatalogue(const BilliardTable& table, int maxPeriod,
                                             const std::atomic<bool>* stop = nullptr);

// The orbits of one rotation number m/n (coprime, 1 <= m < n), as above.
std::vector<BirkhoffOrbit> birkhoffOrbits(const BilliardTable& table, int m, int n);

}  // namespace trapezola
