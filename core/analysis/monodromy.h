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

namespace trapezola {

struct Monodromy {
  double m11 = 1, m12 = 0;
  double m21 = 0, m22 = 1;
};

// M <- bounceMatrix(L, R, phi) * M. A grazing bounce (sin phi = 0) makes f zero
// and the entries non-finite; nothing is checked.
void applyBounceMatrix(Monodromy& m, double freePath, double radius, double phi);

// left * right, rows of the left into columns of the right.
Monodromy product(const Monodromy& left, const Monodromy& right);

inline double trace(const Monodromy& m) {
  return m.m11 + m.m22;
}

// The stability of a periodic orbit from the trace t of its monodromy.
// "parabolic" needs |t| = 2 exactly, so rounding decides it for orbits that are
// parabolic in exact arithmetic (every orbit of a circular table).
enum class OrbitClass { hiperbolic, parabolic, elliptic };

OrbitClass classifyTrace(double t);

// The word the program shows for a class, in its own spelling ("hiperbolic").
const char* orbitClassName(OrbitClass c);

}  // namespace trapezola
