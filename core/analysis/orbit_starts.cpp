// Notation: g is the plastic number, the real root of x^3 = x + 1; i numbers the
// starts of one call, n = seed + i is the index into the R2 sequence.
#include "core/analysis/orbit_starts.h"

#include <cmath>
#include <cstddef>

namespace trapezola {

namespace {

constexpr double r2First = 0.75487766624669276005;   // 1 / g
constexpr double r2Second = 0.56984029099805326591;  // 1 / g^2

double fraction(double x) {
  return x - std::floor(x);
}

}  // namespace

std::vector<OrbitStart> spreadStarts(const BilliardTable& table, std::int64_t count, std::uint64_t seed) {
  std::vector<OrbitStart> starts;
  if (count <= 0) return starts;
  starts.reserve(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) {
    const auto n = static_cast<double>(seed + static_cast<std::uint64_t>(i));
    const double u = fraction(0.5 + n * r2First);
    const double v = fraction(0.5 + n * r2Second);
    starts.push_back({u * table.s4, std::acos(1 - 2 * v) * 180 / pi});
  }
  return starts;
}

}  // namespace trapezola
