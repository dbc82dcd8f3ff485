// Where the orbits of a many-orbit run start: an explicit list, or points spread
// evenly over the whole phase space. trapezola-cli portrait draws from these
// starts and trapezola-cli atlas estimates its exponents from them.
//
// A start is a perimeter coordinate s (arc length from corner 1,
// counter-clockwise) and an angle in degrees against the counter-clockwise
// tangent, as the window's start fields take them.
#pragma once

#include <cstdint>
#include <vector>

#include "core/geometry/table_geometry.h"

namespace trapezola {

struct OrbitStart {
  double distance = 0;      // perimeter coordinate, >= 0; above s4 wraps, as in a launch
  double angleDegrees = 0;  // against the counter-clockwise tangent
};

// `count` start points spread evenly over the whole phase space: the R2
// low-discrepancy sequence (Roberts, 2018) in (s / s4, (1 - cos phi) / 2), which
// is uniform in the billiard's invariant measure ds d(cos phi). With
// g = 1.32471795724474602596 (the plastic number), a1 = 1/g, a2 = 1/g^2 and
// n = seed + i, start i is
//   u = frac(0.5 + n a1),  v = frac(0.5 + n a2),
//   distance = u s4,  angleDegrees = acos(1 - 2 v) * 180 / pi.
// The seed moves the window of the sequence; seed 0 starts at n = 0.
std::vector<OrbitStart> spreadStarts(const BilliardTable& table, std::int64_t count, std::uint64_t seed);

}  // namespace trapezola
