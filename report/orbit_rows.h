// The rows of one orbit as CSV text, as trapezola-cli orbit prints them: bounce
// 0 (the start as a fresh "go" run places it), then every K-th bounce and always
// the last; the columns are OrbitRow's (core/dynamics/orbit_walk.h), numbers
// with 17 significant digits.
#pragma once

#include <cstdint>

#include "report/buffered_output.h"

namespace trapezola {

struct OrbitRequest {
  double b = 0;
  double rr = 0;
  double distance = 0;
  double angleDegrees = 0;
  std::int64_t bounces = 0;
  std::int64_t every = 1;
};

// Sets up the table and the start as a fresh "go" run does, performs the
// bounces and writes the CSV rows (header included). Returns the bounce at
// which the orbit left the table (its collision search found no arc), with the
// rows before it written, or 0. Stops early, returning 0, when a write failed.
std::int64_t writeOrbit(const OrbitRequest& request, BufferedOutput& out);

// The same with the drift column of the precision horizon against `tolerance`
// (see ShadowedOrbit); the first bounce whose drift exceeds it always has a row.
std::int64_t writeShadowedOrbit(const OrbitRequest& request, double tolerance, BufferedOutput& out);

}  // namespace trapezola
