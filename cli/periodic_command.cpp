// trapezola-cli periodic: one periodic orbit by Newton from a guess, or the
// Birkhoff catalogue of a table.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/periodic_options.h"
#include "core/analysis/birkhoff_catalogue.h"
#include "core/analysis/periodic_solver.h"
#include "core/geometry/table_geometry.h"
#include "core/jobs/request_limits.h"

namespace trapezola::cli {

namespace {

constexpr const char* periodicUsage =
    "usage: trapezola-cli periodic --b B --rr RR --period N --near S,DEG\n"
    "       trapezola-cli periodic --b B --rr RR --catalogue --max-period N\n"
    "\n"
    "Finds periodic orbits of the table (0.0001 <= B <= 1, 1 <= RR <= 10000).\n"
    "Phase points are (s, phi): s the perimeter coordinate (arc length from the\n"
    "top right corner, counter-clockwise), phi the angle in radians from the\n"
    "counter-clockwise tangent to the outgoing direction.\n"
    "\n"
    "With --period N (2 <= N <= 10000) and --near S,DEG: damped Newton on the\n"
    "N-fold bounce map from the guess s = S (taken round the perimeter), DEG\n"
    "degrees (0 < DEG < 180). The orbit counts as found when the residual is at\n"
    "most 1e-11 + 64 N eps |J| and never above 1e-9 (|J| the sum of the absolute\n"
    "entries of the Jacobian J of the N-fold map, eps = 2^-52: the rounding floor\n"
    "of an unstable orbit); it usually ends within a few ulps of the perimeter\n"
    "length.\n"
    "Prints one JSON object:\n"
    "  converged  true when Newton found the orbit; false (exit status 1, and null\n"
    "             for every key below but period and residual) when it did not\n"
    "  period     N\n"
    "  rotation   \"m/n\": the orbit goes m times round the table in its n = N\n"
    "             bounces (not reduced: an orbit of period 2 found with N = 4 is\n"
    "             \"2/4\")\n"
    "  points     the N bounce points [[s, phi], ...], each the bounce of the one\n"
    "             before; the first is the orbit's point nearest the guess\n"
    "  length     the orbit's length, the sum of its N free paths\n"
    "  trace      trace of the Jacobian of the N-fold map in (s, phi): the\n"
    "             analysis's monodromy trace (analyse --period N at the first\n"
    "             point) times (-1)^N, whose bounce matrices each keep the\n"
    "             mirror's reversal of orientation\n"
    "  class      \"hiperbolic\" (|trace| > 2), \"parabolic\" (|trace| = 2 within the\n"
    "             analysis's rounding bound) or \"elliptic\" (|trace| < 2); null for\n"
    "             a trace that is not a number\n"
    "  m11, m22   the diagonal of the analysis's monodromy from the first point,\n"
    "             times (-1)^N (they add up to trace)\n"
    "  residual   the larger of |s error| (round the perimeter) and |phi error| of\n"
    "             the first point after N bounces; for no convergence, that of the\n"
    "             best iterate (null if no iterate made N bounces)\n"
    "\n"
    "With --catalogue and --max-period N (2 <= N <= 40): the Birkhoff orbits of\n"
    "every rotation number m/n with m, n coprime, 2 <= n <= N and 1 <= m <= n/2\n"
    "(the others are the same orbits run backwards), found as critical points of\n"
    "the length function and polished by Newton, each orbit once. Prints CSV,\n"
    "one row per orbit, ordered by n, m, kind, decreasing length, s:\n"
    "  m, n       the rotation number m/n: n bounces, m turns round the table\n"
    "  kind       max (a local maximum of the length; the first max row of an m/n\n"
    "             is the longest orbit) or minimax (a mountain pass of the length,\n"
    "             one direction in which it grows); where every start is periodic\n"
    "             (a circle), one max orbit stands for the family\n"
    "  s, phi     the orbit's point of smallest s\n"
    "  length     the orbit's length\n"
    "  trace      trace of the Jacobian of the n-fold map, as above\n"
    "  class      hiperbolic, parabolic or elliptic, as above (empty for none)\n"
    "  residual   as above\n"
    "An orbit whose Newton polish does not converge (through a corner, where the\n"
    "map is not smooth, or too unstable to close within 1e-9 in doubles) is left\n"
    "out.\n";

int printOrbit(const PeriodicOrbitSolution& orbit, std::FILE* output, std::FILE* err) {
  BufferedOutput out(output);
  const bool ok = orbit.converged;
  const auto number = [&](const char* name, double v) {
    jsonKey(out, name);
    if (ok) {
      out.jsonReal(v);
    } else {
      out.text("null");
    }
    out.text(",\n");
  };
  out.text("{\n");
  jsonKey(out, "converged");
  out.text(ok ? "true" : "false");
  out.text(",\n");
  jsonKey(out, "period");
  out.integer(orbit.period);
  out.text(",\n");
  jsonKey(out, "rotation");
  if (ok) {
    jsonString(out, std::to_string(orbit.turns) + "/" + std::to_string(orbit.period));
  } else {
    out.text("null");
  }
  out.text(",\n");
  jsonKey(out, "points");
  if (ok) {
    out.character('[');
    for (std::size_t i = 0; i < orbit.points.size(); ++i) {
      if (i > 0) out.text(", ");
      out.character('[');
      out.real(orbit.points[i].s);
      out.text(", ");
      out.real(orbit.points[i].phi);
      out.character(']');
    }
    out.character(']');
  } else {
    out.text("null");
  }
  out.text(",\n");
  number("length", orbit.length);
  number("trace", orbit.trace);
  jsonKey(out, "class");
  if (ok && orbit.hasClass) {
    jsonString(out, orbitClassName(orbit.orbitClass));
  } else {
    out.text("null");
  }
  out.text(",\n");
  number("m11", orbit.monodromy.m11);
  number("m22", orbit.monodromy.m22);
  jsonKey(out, "residual");
  out.jsonReal(orbit.residual);
  out.text("\n}\n");
  out.flush();
  if (ok) return 0;
  if (std::isfinite(orbit.residual)) {
    std::fprintf(err, "trapezola-cli periodic: Newton did not converge from the guess (best residual %.3g)\n",
                 orbit.residual);
  } else {
    std::fprintf(err, "trapezola-cli periodic: the guess makes no %d bounces (a bounce finds no arc)\n",
                 orbit.period);
  }
  return 1;
}

void printCatalogue(const std::vector<BirkhoffOrbit>& catalogue, std::FILE* output) {
  BufferedOutput out(output);
  out.text("m,n,kind,s,phi,length,trace,class,residual\n");
  for (const BirkhoffOrbit& row : catalogue) {
    const PeriodicOrbitSolution& o = row.orbit;
    out.integer(row.m);
    out.character(',');
    out.integer(row.n);
    out.character(',');
    out.text(birkhoffKindName(row.kind));
    out.character(',');
    out.real(o.points[0].s);
    out.character(',');
    out.real(o.points[0].phi);
    out.character(',');
    out.real(o.length);
    out.character(',');
    out.real(o.trace);
    out.character(',');
    if (o.hasClass) out.text(orbitClassName(o.orbitClass));
    out.character(',');
    out.real(o.residual);
    out.character('\n');
  }
}

}  // namespace

int periodicCommand(int argc, const char* const* argv, std::FILE* output, std::FILE* err) {
  const Arguments args("trapezola-cli periodic", argc, argv, 2,
                       {{"b"}, {"rr"}, {"period"}, {"near"}, {"catalogue", false}, {"max-period"}});
  if (args.helpRequested()) {
    std::fputs(periodicUsage, output);
    return 0;
  }
  const double b = shapeB(args);
  const double rr = shapeRr(args);
  const BilliardTable table = buildTable(b, rr);
  if (args.has("catalogue")) {
    if (args.has("period") || args.has("near")) {
      throw UsageError("trapezola-cli periodic: --catalogue takes --max-period, not --period or --near");
    }
    const std::int64_t maxPeriod = args.integer("max-period", 2);
    if (maxPeriod > maxCataloguePeriod) {
      args.refuse("max-period", "is above " + std::to_string(maxCataloguePeriod));
    }
    printCatalogue(birkhoffCatalogue(table, static_cast<int>(maxPeriod)), output);
    return 0;
  }
  if (args.has("max-period")) throw UsageError("trapezola-cli periodic: --max-period goes with --catalogue");
  const int period = periodOption(args);
  const PhasePoint near = nearOption(args, table);
  return printOrbit(solvePeriodicOrbit(table, period, near), output, err);
}

}  // namespace trapezola::cli
