#include <cmath>
#include <cstdio>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"

namespace trapezola::cli {

double shapeB(const Arguments& args);
double shapeRr(const Arguments& args);

namespace {

constexpr const char* orbitUsage =
    "usage: trapezola-cli orbit --b B --rr RR --distance S --angle DEG --bounces N [--every K]\n"
    "\n"
    "Sets up the table (0 < b <= 1, RR >= 1) and the start point S on the perimeter\n"
    "(from the top right corner) at DEG degrees against the counter-clockwise\n"
    "tangent, as a fresh \"go\" run does, then performs N bounces (N >= 0).\n"
    "Prints CSV: bounce,s,phi,arc,x,y,hitDistance for the start (bounce 0), every\n"
    "K-th bounce (K >= 1, default 1) and bounce N; 17 significant digits. phi is in\n"
    "radians.\n";

void writeOrbitRow(BufferedOutput& out, std::int64_t n, double s, double phi, const Ball& ball) {
  out.integer(n);
  out.character(',');
  out.real(s);
  out.character(',');
  out.real(phi);
  out.character(',');
  out.integer(ball.arc);
  out.character(',');
  out.real(ball.x);
  out.character(',');
  out.real(ball.y);
  out.character(',');
  out.real(ball.hitDistance);
  out.character('\n');
}

}  // namespace

void writeOrbit(const OrbitRequest& request, BufferedOutput& out) {
  const BilliardTable table = buildTable(request.b, request.rr);
  const double cosPhi = std::cos(startAngleRadians(request.angleDegrees));
  Ball ball;
  const double startS = launch(table, ball, request.distance, cosPhi);
  out.text("bounce,s,phi,arc,x,y,hitDistance\n");
  // Bounce 0 is the launch: the start point, its (wrapped) perimeter coordinate
  // and the start angle; arc is 1 and hitDistance 0, as a launch leaves them.
  writeOrbitRow(out, 0, startS, std::acos(cosPhi), ball);
  std::int64_t untilRow = request.every;
  for (std::int64_t n = 1; n <= request.bounces; ++n) {
    // A launched ball always names an arc, so the status is never
    // badArcIndex; a search without an arc reuses the last hit, as in the window.
    bounce(table, ball);
    // A countdown instead of n % every keeps the division out of the loop.
    if (--untilRow != 0 && n != request.bounces) continue;
    untilRow = request.every;
    writeOrbitRow(out, n, ball.s, ball.phi, ball);
  }
}

int orbitCommand(int argc, const char* const* argv, std::FILE* output, std::FILE* /*err*/) {
  const Arguments args("trapezola-cli orbit", argc, argv, 2,
                       {{"b"}, {"rr"}, {"distance"}, {"angle"}, {"bounces"}, {"every"}});
  if (args.helpRequested()) {
    std::fputs(orbitUsage, output);
    return 0;
  }
  OrbitRequest request;
  request.b = shapeB(args);
  request.rr = shapeRr(args);
  request.distance = args.real("distance");
  request.angleDegrees = args.real("angle");
  request.bounces = args.integer("bounces", 0);
  if (args.has("every")) request.every = args.integer("every", 1);
  BufferedOutput out(output);
  writeOrbit(request, out);
  return 0;
}

}  // namespace trapezola::cli
