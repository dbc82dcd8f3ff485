#include <cstdio>
#include <string>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/geometry/table_geometry.h"

namespace trapezola::cli {

namespace {

constexpr const char* tableUsage =
    "usage: trapezola-cli table --b B --rr RR\n"
    "\n"
    "Builds the table with shape parameters b (0 < b <= 1) and R8/R = RR (RR >= 1)\n"
    "and prints its geometry as one JSON object, every number with 17 significant\n"
    "digits. sideTilt is the value a launch sets.\n";

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

double shapeB(const Arguments& args) {
  return args.real(
      "b", [](double v) { return v > 0 && v <= 1; }, "is outside (0, 1]");
}

double shapeRr(const Arguments& args) {
  return args.real(
      "rr", [](double v) { return v >= 1; }, "is below 1");
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
