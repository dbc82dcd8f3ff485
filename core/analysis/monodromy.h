// The linearised bounce map and its products along an orbit.
//
// A 2 x 2 matrix (m11, m12; m21, m22) maps a small perturbation of a trajectory
// from one bounce to a later one. One bounce contributes the bounce matrix
//   (1 - 2L/f   -2/f)
//   (   L          1)     with f = R sin(phi),
// where L is the free path to the new bounce point, R the radius of the arc hit
// and phi the new bounce's phase-portrait angle (radians, from the
// counter-clockwise tangent). Its determinant is 1, so every product has
// determinant 1 and its trace alone classifies a periodic orbit.
#pragma once

#include <cmath>

#include "core/geometry/table_geometry.h"

namespace trapezola {

struct Monodromy {
  double m11 = 1, m12 = 0;
  double m21 = 0, m22 = 1;
};

// M <- bounceMatrix(L, R, phi) * M. A grazing bounce (sin phi = 0) makes f zero
// and the entries non-finite; nothing is checked. Inline: the chaos atlas
// applies one a bounce, and its product then stays in registers.
inline void applyBounceMatrix(Monodromy& m, double freePath, double radius, double phi) {
  // sin(phi) is taken as cos(pi/2 - phi): std::sin differs in the last bit for
  // some angles, and the golden analyses are pinned with this form.
  const double f = radius * std::cos(pi / 2 - phi);
  const double l = freePath;
  const Monodromy old = m;
  m.m11 = (1 - 2 * l / f) * old.m11 - (2 / f) * old.m21;
  m.m12 = (1 - 2 * l / f) * old.m12 - (2 / f) * old.m22;
  m.m21 = l * old.m11 + old.m21;
  m.m22 = l * old.m12 + old.m22;
}

// left * right, rows of the left into columns of the right.
Monodromy product(const Monodromy& left, const Monodromy& right);

inline double trace(const Monodromy& m) {
  return m.m11 + m.m22;
}

// The sum of the absolute values of the entries.
double entrySum(const Monodromy& m);

// The sum of the absolute entries of one bounce matrix, as applyBounceMatrix
// builds it.
double bounceMatrixEntrySum(double freePath, double radius, double phi);

// The stability of a periodic orbit from the trace t of its monodromy:
// hiperbolic for |t| > 2, elliptic for |t| < 2, parabolic for |t| = 2, each
// comparison allowing `roundingBound` (0: exact). An infinite trace is
// hiperbolic; a NaN trace has no class and the caller must not ask.
enum class OrbitClass { hiperbolic, parabolic, elliptic };

OrbitClass classifyTrace(double t, double roundingBound = 0);

// A bound on the rounding error of the trace of a product M of `bounces`
// bounce matrices, the largest of whose factors has entry sum `largestFactor`:
//   64 n eps entrySum(M) largestFactor,   eps = 2^-52.
// Why this form: a bounce matrix's entries L and 2/f carry relative errors of
// order eps / sin(phi), that is eps times the factor's size, from the collision
// search (L is the difference of two boundary points); each such error reaches
// the trace through the products before and after it, whose sizes multiply to
// about entrySum(M) times that of the factor. Measured on circles, where every
// orbit is parabolic and the exact trace is +-2, from 0.0001 to 179.99 degrees
// and 1 to 10,000 bounces, the trace strayed from +-2 by at most 8.3 n eps
// entrySum(M) largestFactor; the factor 64 leaves room for that. A table only
// 1e-7 away from a circle already gives departures a hundred thousand times
// larger than the bound.
double traceRoundingBound(const Monodromy& m, int bounces, double largestFactor);

// The word the program shows for a class, in its own spelling ("hiperbolic").
const char* orbitClassName(OrbitClass c);

}  // namespace trapezola
