// Notation: L free path, R radius of the arc hit, f = R sin(phi). The operation
// order of every formula is kept as written; GoldenBits.AnalysesThroughTheSharedRecords
// pins the traces and series that come out of it.
#include "core/analysis/monodromy.h"

#include <cmath>

#include "core/geometry/table_geometry.h"

namespace trapezola {

Monodromy product(const Monodromy& left, const Monodromy& right) {
  Monodromy p;
  p.m11 = left.m11 * right.m11 + left.m12 * right.m21;
  p.m12 = left.m11 * right.m12 + left.m12 * right.m22;
  p.m21 = left.m21 * right.m11 + left.m22 * right.m21;
  p.m22 = left.m21 * right.m12 + left.m22 * right.m22;
  return p;
}

double entrySum(const Monodromy& m) {
  return std::fabs(m.m11) + std::fabs(m.m12) + std::fabs(m.m21) + std::fabs(m.m22);
}

double bounceMatrixEntrySum(double freePath, double radius, double phi) {
  Monodromy one;
  applyBounceMatrix(one, freePath, radius, phi);
  return entrySum(one);
}

OrbitClass classifyTrace(double t, double roundingBound) {
  const double a = std::fabs(t);
  // Written as differences so that a bound of 0 gives exactly |t| > 2, |t| < 2.
  if (a - 2 > roundingBound) return OrbitClass::hiperbolic;
  if (2 - a > roundingBound) return OrbitClass::elliptic;
  return std::isinf(a) ? OrbitClass::hiperbolic : OrbitClass::parabolic;
}

double traceRoundingBound(const Monodromy& m, int bounces, double largestFactor) {
  if (bounces < 1) return 0;
  constexpr double eps = 0x1p-52;
  return 64 * static_cast<double>(bounces) * eps * entrySum(m) * largestFactor;
}

const char* orbitClassName(OrbitClass c) {
  switch (c) {
    case OrbitClass::hiperbolic:
      return "hiperbolic";
    case OrbitClass::parabolic:
      return "parabolic";
    case OrbitClass::elliptic:
      break;
  }
  return "elliptic";
}

}  // namespace trapezola
