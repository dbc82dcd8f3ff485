#include <cstdio>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "report/orbit_rows.h"

namespace trapezola::cli {

namespace {

constexpr const char* orbitUsage =
    "usage: trapezola-cli orbit --b B --rr RR --distance S --angle DEG --bounces N [--every K]\n"
    "                           [--shadow] [--shadow-tolerance TOL]\n"
    "\n"
    "Sets up the table (0.0001 <= B <= 1, 1 <= RR <= 10000) and the start point S on\n"
    "the perimeter at DEG degrees (0 < DEG < 180) against the counter-clockwise\n"
    "tangent, as a fresh \"go\" run does, then performs N bounces (N >= 0). S is\n"
    "taken round the perimeter: a value beyond its length s4, or below 0, is the\n"
    "same point as S modulo s4 (so -0.5 lies 0.5 before corner 1).\n"
    "\n"
    "Prints CSV, one row for the start (bounce 0), every K-th bounce (K >= 1,\n"
    "default 1) and bounce N, numbers with 17 significant digits:\n"
    "  bounce       the bounce's number, 0 for the start\n"
    "  s            perimeter coordinate of the bounce point: arc length from the\n"
    "               top right corner (corner 1), counter-clockwise, 0 <= s < s4\n"
    "               (corner 1 is 0)\n"
    "  phi          angle from the counter-clockwise tangent to the outgoing\n"
    "               direction, radians, 0 < phi < pi; for the start, DEG in\n"
    "               radians\n"
    "  arc          the arc the point lies on: 1 top, 2 left, 3 bottom, 4 right\n"
    "               (1 for the start, whichever arc it lies on)\n"
    "  x, y         the bounce point in table coordinates (bottom corners at\n"
    "               x = -1 and x = 1)\n"
    "  hitDistance  length of the free path that ended at this bounce (0 for\n"
    "               the start)\n"
    "  drift        with --shadow only: how far the double-precision orbit is from\n"
    "               the same start followed in extended precision (long double),\n"
    "               the larger of the differences in s (round the perimeter) and\n"
    "               phi; inf once either has left the table\n"
    "--shadow also prints the row of the first bounce whose drift exceeds TOL\n"
    "(default 1e-9): the precision horizon, after which the row's digits no longer\n"
    "describe the true orbit of the start.\n"
    "\n"
    "A path that meets a corner reflects off the lower-numbered of the two arcs\n"
    "that meet there, also where rounding puts the hit a hair beyond both. A\n"
    "bounce whose collision search finds no arc (the orbit left the table)\n"
    "ends the output; the tool then names the bounce on standard error and exits\n"
    "with status 1.\n";

}  // namespace

int orbitCommand(int argc, const char* const* argv, std::FILE* output, std::FILE* err) {
  const Arguments args("trapezola-cli orbit", argc, argv, 2,
                       {{"b"},
                        {"rr"},
                        {"distance"},
                        {"angle"},
                        {"bounces"},
                        {"every"},
                        {"shadow", false},
                        {"shadow-tolerance"}});
  if (args.helpRequested()) {
    std::fputs(orbitUsage, output);
    return 0;
  }
  OrbitRequest request;
  request.b = shapeB(args);
  request.rr = shapeRr(args);
  request.distance = args.real("distance");
  request.angleDegrees = startAngle(args);
  request.bounces = args.integer("bounces", 0);
  if (args.has("every")) request.every = args.integer("every", 1);
  const bool shadow = args.has("shadow");
  if (args.has("shadow-tolerance") && !shadow) {
    throw UsageError("trapezola-cli orbit: --shadow-tolerance needs --shadow");
  }
  const double tolerance = shadowTolerance(args);
  BufferedOutput out(output);
  const std::int64_t left = shadow ? writeShadowedOrbit(request, tolerance, out) : writeOrbit(request, out);
  if (left != 0) {
    out.flush();
    std::fprintf(err,
                 "trapezola-cli orbit: the orbit left the table at bounce %lld: its collision search found "
                 "no arc\n",
                 static_cast<long long>(left));
    return 1;
  }
  return 0;
}

}  // namespace trapezola::cli
