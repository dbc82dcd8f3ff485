// The bare bounce loop as a whole process, to time beside trapezola-cli:
//   trapezola_bare_loop B RR BOUNCES spread N SEED   the starts of portrait and
//                                                    atlas --orbits N --seed SEED
//   trapezola_bare_loop B RR BOUNCES start S DEG     the start of orbit
// runs each start for BOUNCES bounces of collision search and reflection on a
// local table and ball, nothing else, and prints the last bounce's s and phi of
// each so that no work can be left out.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/analysis/orbit_starts.h"
#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"

int main(int argc, char** argv) {
  using namespace trapezola;
  if (argc != 7) {
    std::fputs("usage: trapezola_bare_loop B RR BOUNCES (spread N SEED | start S DEG)\n", stderr);
    return 2;
  }
  const BilliardTable table = buildTable(std::atof(argv[1]), std::atof(argv[2]));
  const std::int64_t bounces = std::atoll(argv[3]);
  std::vector<OrbitStart> starts;
  if (std::strcmp(argv[4], "spread") == 0) {
    starts = spreadStarts(table, std::atoll(argv[5]), std::strtoull(argv[6], nullptr, 10));
  } else {
    starts.push_back({std::atof(argv[5]), std::atof(argv[6])});
  }
  for (const OrbitStart& start : starts) {
    Ball ball;
    launch(table, ball, start.distance, std::cos(startAngleRadians(start.angleDegrees)));
    for (std::int64_t n = 0; n < bounces; ++n) {
      // The core's bounce: collision search, reflection, the two copies.
      bounce(table, ball);
    }
    std::printf("%.17g,%.17g\n", ball.s, ball.phi);
  }
  return 0;
}
