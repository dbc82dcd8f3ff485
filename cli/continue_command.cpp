// trapezola-cli continue: one periodic orbit followed across the family of
// tables as b or R8/R steps along a range, with its bifurcations, and its
// stability diagram as a picture.
#include <charconv>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/periodic_options.h"
#include "files/whole_file.h"
#include "core/analysis/orbit_continuation.h"
#include "core/geometry/parameter_ranges.h"
#include "core/geometry/table_geometry.h"
#include "core/jobs/request_limits.h"
#ifdef TRAPEZOLA_CLI_RENDER
#include "export/offscreen_qt.h"
#include "export/stability_diagram.h"
#endif

namespace trapezola::cli {

namespace {

constexpr const char* continueUsage =
    "usage: trapezola-cli continue --b FROM:TO:COUNT --rr RR --period N --near S,DEG [--png FILE]\n"
    "       trapezola-cli continue --b B --rr FROM:TO:COUNT --period N --near S,DEG [--png FILE]\n"
    "\n"
    "Follows one periodic orbit of period N (2 <= N <= 10000) as b or R8/R steps\n"
    "along FROM:TO:COUNT: COUNT values (2 to 100000), both ends included, evenly\n"
    "spaced as atlas spaces an axis; FROM may lie above TO. Every value lies in\n"
    "0.0001 <= b <= 1, 1 <= R8/R <= 10000. At FROM the orbit is found by Newton\n"
    "from the guess s = S (taken round the perimeter), DEG degrees (0 < DEG < 180),\n"
    "as periodic --near does; each later value predicts it from the two before and\n"
    "corrects it by Newton, in up to 64 sub-steps where a whole step fails.\n"
    "\n"
    "Prints one JSON object:\n"
    "  steps          one object per value reached:\n"
    "    parameter    the value of b or R8/R\n"
    "    s, phi       the orbit's first point: the one nearest the prediction\n"
    "                 (s the perimeter coordinate from the top right corner,\n"
    "                 counter-clockwise; phi radians from the counter-clockwise\n"
    "                 tangent)\n"
    "    length       the orbit's length\n"
    "    trace        trace of the Jacobian of the N-fold map in (s, phi), as\n"
    "                 periodic prints it\n"
    "    class        \"hiperbolic\", \"parabolic\" or \"elliptic\", as periodic's\n"
    "  bifurcations   one object per crossing of |trace| = 2 between two values,\n"
    "                 in the order passed:\n"
    "    parameter    where the trace crosses, by bisection to 1e-10\n"
    "    trace        the value crossed: -2 or 2\n"
    "    kind         \"period doubling\" (-2: an eigenvalue passes -1) or\n"
    "                 \"tangent\" (2: an eigenvalue passes +1)\n"
    "                 A trace that touches +-2 within its rounding bound without\n"
    "                 crossing is no bifurcation.\n"
    "  stopped        null when every value was reached, or why the orbit was lost\n"
    "                 and where (to 1e-10): a point of it reaches a corner, where\n"
    "                 the map is not smooth; Newton does not converge (the orbit\n"
    "                 ends, as at a tangent bifurcation); Newton goes to another\n"
    "                 orbit\n"
    "The exit status is 1 when Newton does not converge at FROM (no steps).\n"
    "\n"
    "  --png FILE     also draws the stability diagram: the trace against the\n"
    "                 parameter, the lines trace = 2 and -2 around the shaded\n"
    "                 elliptic band, the bifurcations marked (PNG, 960 x 640,\n"
    "                 written whole or not at all; traces beyond +-25 at the edge)\n";

struct Range {
  double from = 0;
  double to = 0;
  int count = 0;
};

bool isRange(const Arguments& args, const char* name) {
  return args.has(name) && args.text(name).find(':') != std::string::npos;
}

Range parseRange(const Arguments& args, const char* name, const ParameterRange& accepted) {
  const std::string& text = args.text(name);
  const auto first = text.find(':');
  const auto second = text.find(':', first + 1);
  if (second == std::string::npos || text.find(':', second + 1) != std::string::npos) {
    args.refuse(name, "is not FROM:TO:COUNT");
  }
  Range range;
  if (!parseReal(text.substr(0, first), range.from) ||
      !parseReal(text.substr(first + 1, second - first - 1), range.to)) {
    args.refuse(name, "is not FROM:TO:COUNT (FROM and TO numbers)");
  }
  const std::string count = text.substr(second + 1);
  const auto [end, ec] = std::from_chars(count.data(), count.data() + count.size(), range.count);
  if (count.empty() || ec != std::errc() || end != count.data() + count.size()) {
    args.refuse(name, "has a COUNT that is not a whole number");
  }
  if (range.count < 2 || range.count > maxContinuationSteps) {
    args.refuse(name, "has a COUNT outside 2 to " + std::to_string(maxContinuationSteps));
  }
  if (range.from == range.to) args.refuse(name, "has FROM equal to TO");
  for (const double v : {range.from, range.to}) {
    if (!accepted.accepts(v)) {
      char value[40];
      std::snprintf(value, sizeof value, "%.17g", v);
      args.refuse(name, std::string("reaches ") + value + ", which " + accepted.refusal);
    }
  }
  return range;
}

void printContinuation(const Continuation& c, std::FILE* output) {
  BufferedOutput out(output);
  out.text("{\n");
  jsonKey(out, "steps");
  out.character('[');
  for (std::size_t i = 0; i < c.steps.size(); ++i) {
    const ContinuationStep& s = c.steps[i];
    out.text(i == 0 ? "\n" : ",\n");
    out.text("    {\"parameter\": ");
    out.real(s.parameter);
    out.text(", \"s\": ");
    out.real(s.point.s);
    out.text(", \"phi\": ");
    out.real(s.point.phi);
    out.text(", \"length\": ");
    out.real(s.length);
    out.text(", \"trace\": ");
    out.jsonReal(s.trace);
    out.text(", \"class\": ");
    if (s.hasClass) {
      jsonString(out, orbitClassName(s.orbitClass));
    } else {
      out.text("null");
    }
    out.character('}');
  }
  out.text(c.steps.empty() ? "],\n" : "\n  ],\n");
  jsonKey(out, "bifurcations");
  out.character('[');
  for (std::size_t i = 0; i < c.bifurcations.size(); ++i) {
    const Bifurcation& b = c.bifurcations[i];
    out.text(i == 0 ? "\n" : ",\n");
    out.text("    {\"parameter\": ");
    out.real(b.parameter);
    out.text(", \"trace\": ");
    out.real(b.trace);
    out.text(", \"kind\": ");
    jsonString(out, bifurcationKindName(b));
    out.character('}');
  }
  out.text(c.bifurcations.empty() ? "],\n" : "\n  ],\n");
  jsonKey(out, "stopped");
  if (c.stopped.empty()) {
    out.text("null");
  } else {
    jsonString(out, c.stopped);
  }
  out.text("\n}\n");
}

#ifdef TRAPEZOLA_CLI_RENDER
std::string stabilityPicture(const ContinuationRequest& request, const Continuation& c) {
  StabilityDiagram d;
  const bool alongB = request.parameter == FamilyParameter::b;
  d.parameterName = alongB ? "b (half the short side)" : "R8/R (side radius / bottom radius)";
  char line[200];
  std::snprintf(line, sizeof line, "Stability of a period-%d orbit along %s", request.period,
                alongB ? "b" : "R8/R");
  d.title = line;
  const PhasePoint& first = c.steps.front().point;
  std::snprintf(line, sizeof line, "%s = %g; at %s = %g the orbit starts at s = %.6g, phi = %.6g%s",
                alongB ? "R8/R" : "b", request.fixed, alongB ? "b" : "R8/R", c.steps.front().parameter,
                first.s, first.phi, c.stopped.empty() ? "" : "; lost before the end");
  d.subtitle = line;
  for (const ContinuationStep& s : c.steps) {
    d.parameters.push_back(s.parameter);
    d.traces.push_back(s.trace);
  }
  for (const Bifurcation& b : c.bifurcations) {
    char label[80];
    std::snprintf(label, sizeof label, "%s %.6g", b.periodDoubling ? "doubling" : "tangent", b.parameter);
    d.bifurcations.push_back(StabilityDiagram::Mark{b.parameter, b.trace, label});
  }
  try {
    const OffscreenQt qt;
    return renderStabilityDiagram(d);
  } catch (const std::runtime_error& e) {
    throw FileWriteError(e.what());
  }
}
#endif

int runContinue(int argc, const char* const* argv, std::FILE* output, std::FILE* err) {
  const Arguments args("trapezola-cli continue", argc, argv, 2,
                       {{"b"}, {"rr"}, {"period"}, {"near"}, {"png"}});
  if (args.helpRequested()) {
    std::fputs(continueUsage, output);
    return 0;
  }
  const bool alongB = isRange(args, "b");
  const bool alongRr = isRange(args, "rr");
  if (alongB == alongRr) {
    throw UsageError(
        "trapezola-cli continue: give one of --b and --rr as FROM:TO:COUNT and the other as a value");
  }
  ContinuationRequest request;
  request.parameter = alongB ? FamilyParameter::b : FamilyParameter::rr;
  const Range range = alongB ? parseRange(args, "b", shapeBRange) : parseRange(args, "rr", shapeRrRange);
  request.from = range.from;
  request.to = range.to;
  request.count = range.count;
  request.fixed = alongB ? shapeRr(args) : shapeB(args);
  request.period = periodOption(args);
  const BilliardTable first =
      alongB ? buildTable(range.from, request.fixed) : buildTable(request.fixed, range.from);
  request.near = nearOption(args, first);
  std::optional<WholeFileWriter> picture;
  if (args.has("png")) {
#ifdef TRAPEZOLA_CLI_RENDER
    const std::string& path = args.text("png");
    if (path.size() <= 4 || path.compare(path.size() - 4, 4, ".png") != 0)
      args.refuse("png", "does not end in .png");
    picture.emplace(path);
#else
    args.refuse("png", "needs the build with pictures (Qt)");
#endif
  }

  const Continuation c = continueOrbit(request);
#ifdef TRAPEZOLA_CLI_RENDER
  if (picture && !c.steps.empty()) {
    const std::string bytes = stabilityPicture(request, c);
    picture->commit(std::span<const char>(bytes.data(), bytes.size()));
  }
#endif
  printContinuation(c, output);
  if (!c.steps.empty()) return 0;
  std::fprintf(err, "trapezola-cli continue: %s\n", c.stopped.c_str());
  return 1;
}

}  // namespace

int continueCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  try {
    return runContinue(argc, argv, out, err);
  } catch (const FileWriteError& e) {
    std::fprintf(err, "trapezola-cli continue: %s\n", e.what());
    return 1;
  }
}

}  // namespace trapezola::cli
