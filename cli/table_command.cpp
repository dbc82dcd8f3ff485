#include <cstdio>
#include <string>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/analysis/precision_horizon.h"
#include "core/geometry/parameter_ranges.h"
#include "core/geometry/table_geometry.h"

namespace trapezola::cli {

namespace {

constexpr const char* tableUsage =
    "usage: trapezola-cli table --b B --rr RR\n"
    "\n"
    "Builds the table with shape parameters b (0.0001 <= B <= 1) and R8/R = RR\n"
    "(1 <= RR <= 10000) and prints its geometry as one JSON object, every number\n"
    "with 17 significant digits. Coordinates: x to the right, y upwards, bottom\n"
    "corners at x = -1 and x = 1; angles in radians; arcs 1 top, 2 left, 3 bottom,\n"
    "4 right, corners numbered from the top right one, counter-clockwise.\n"
    "  b, rr                the shape parameters as given (rr is R8/R)\n"
    "  height               height of the trapezoid the arcs are built on\n"
    "  theta                angle between a leg and the bottom side\n"
    "  corner1..corner4     [x, y] of the corners: top right, top left, bottom\n"
    "                       left, bottom right\n"
    "  legMidSlope          slope from the origin to the right leg's midpoint\n"
    "  centre1..centre4     [x, y] of the centres of arcs 1 to 4\n"
    "  radiusTop            radius of arc 1 (r)\n"
    "  radiusSide           radius of arcs 2 and 4 (R8)\n"
    "  radiusBottom         radius of arc 3 (R): rr is radiusSide / radiusBottom;\n"
    "                       R >= 1, its chord (the bottom side) being 2 long\n"
    "  delta                half opening angle of arc 1\n"
    "  halfAngleSide        half opening angle of arcs 2 and 4\n"
    "  halfAngleBottom      half opening angle of arc 3\n"
    "  sideTilt             pi/2 - theta, the value every launch sets\n"
    "  s1, s2, s3, s4       perimeter coordinates of corners 2, 3, 4 and of\n"
    "                       corner 1 again: s4 is the perimeter's length\n";

void field(BufferedOutput& out, const char* name, double v, bool last = false) {
  out.text("  \"");
  out.text(name);
  out.text("\": ");
  out.jsonReal(v);
  out.text(last ? "\n" : ",\n");
}

void field(BufferedOutput& out, const char* name, const TablePoint& p) {
  out.text("  \"");
  out.text(name);
  out.text("\": [");
  out.jsonReal(p.x);
  out.text(", ");
  out.jsonReal(p.y);
  out.text("],\n");
}

}  // namespace

// The ranges of b and rr are those in which doubles hold the table (see
// tableParametersValid): beyond them the tool used to print negative radii or
// nulls with status 0.
double shapeB(const Arguments& args) {
  return args.real("b", shapeBRange.accepts, shapeBRange.refusal);
}

double shapeRr(const Arguments& args) {
  return args.real("rr", shapeRrRange.accepts, shapeRrRange.refusal);
}

double startAngle(const Arguments& args) {
  return args.real("angle", startAngleRange.accepts, startAngleRange.refusal);
}

double shadowTolerance(const Arguments& args) {
  if (!args.has("shadow-tolerance")) return defaultShadowTolerance;
  return args.real(
      "shadow-tolerance", [](double v) { return v > 0; }, "is not above 0");
}

void writeTable(BufferedOutput& out, const BilliardTable& g) {
  out.text("{\n");
  field(out, "b", g.b);
  field(out, "rr", g.rr);
  field(out, "height", g.height);
  field(out, "theta", g.theta);
  field(out, "corner1", g.corner1);
  field(out, "corner2", g.corner2);
  field(out, "corner3", g.corner3);
  field(out, "corner4", g.corner4);
  field(out, "legMidSlope", g.legMidSlope);
  field(out, "centre1", g.centre1);
  field(out, "centre2", g.centre2);
  field(out, "centre3", g.centre3);
  field(out, "centre4", g.centre4);
  field(out, "radiusTop", g.radiusTop);
  field(out, "radiusSide", g.radiusSide);
  field(out, "radiusBottom", g.radiusBottom);
  field(out, "delta", g.delta);
  field(out, "halfAngleSide", g.halfAngleSide);
  field(out, "halfAngleBottom", g.halfAngleBottom);
  field(out, "sideTilt", g.sideTilt);
  field(out, "s1", g.s1);
  field(out, "s2", g.s2);
  field(out, "s3", g.s3);
  field(out, "s4", g.s4, true);
  out.text("}\n");
}

int tableCommand(int argc, const char* const* argv, std::FILE* output, std::FILE* /*err*/) {
  const Arguments args("trapezola-cli table", argc, argv, 2, {{"b"}, {"rr"}});
  if (args.helpRequested()) {
    std::fputs(tableUsage, output);
    return 0;
  }
  const double b = shapeB(args);
  const double rr = shapeRr(args);
  // Its sideTilt is the one every launch sets.
  const BilliardTable table = buildTable(b, rr);
  BufferedOutput out(output);
  writeTable(out, table);
  return 0;
}

}  // namespace trapezola::cli
