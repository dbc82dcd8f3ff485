// trapezola-cli analyse: the periodic-orbit analysis of a right click on the
// portrait, from a phase point given as numbers, with its lg(Tr) series and the
// linear fit of an untouched Lyapunov window.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/analysis/lgtr_data_file.h"
#include "core/analysis/lgtr_series.h"
#include "core/analysis/lyapunov_fit.h"
#include "core/analysis/orbit_report.h"
#include "core/analysis/periodic_orbit.h"
#include "core/analysis/precision_horizon.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "core/jobs/request_limits.h"
#include "explorer/analysis_label.h"
#include "raster/conversions.h"

namespace trapezola::cli {

namespace {

constexpr const char* analyseUsage =
    "usage: trapezola-cli analyse --b B --rr RR --distance S (--angle DEG | --phi RAD)\n"
    "                             [--period N] [--sensitivity POS] [--blocksize K] [--blocks M]\n"
    "                             [--data FILE] [--shadow-tolerance TOL]\n"
    "\n"
    "Sets up the table (0.0001 <= B <= 1, 1 <= RR <= 10000) and the start (S taken\n"
    "round the perimeter, 0 < DEG < 180) as a fresh \"go\" run does, then analyses\n"
    "the orbit of the phase point (S, DEG degrees) as a right click on the portrait\n"
    "does: the period (searched unless N is given; \"0\", the default, means search;\n"
    "N >= 0), the monodromy's trace and class, the lg(Tr) series of M blocks\n"
    "(default 100) of K bounces (default 500), and the least-squares fit over line\n"
    "positions 1 to M - 1. POS is the sensitivity slider's position, -100 to 10\n"
    "(default -50: 0.05). --data FILE also writes the series as the window does.\n"
    "--phi RAD gives the angle in radians (0 < RAD < pi) instead of degrees, to\n"
    "the last bit: the window's Edit > Copy phase point writes the hovered point\n"
    "this way, so that this command repeats the window's right-click analysis.\n"
    "\n"
    "Prints one JSON object:\n"
    "  period          the period: found by three searches for a return to the\n"
    "                  start (x, y and direction within the sensitivity), or typed;\n"
    "                  1000 means not periodic\n"
    "  periodFound     false when a search ran out (a count of 1000): the period\n"
    "                  is then only what the counts share, and there is no class\n"
    "  returnCounts    the three searches' bounce counts, or null for a typed period\n"
    "  trace           trace of the monodromy (product of the period's bounce\n"
    "                  matrices), or null without one\n"
    "  traceBound      the rounding bound of the trace that the class allows\n"
    "                  (64 n eps |M| |B|max for n bounces), or null\n"
    "  class           \"hiperbolic\" (|trace| > 2), \"parabolic\" (|trace| = 2 within\n"
    "                  traceBound) or \"elliptic\" (|trace| < 2); null without a\n"
    "                  period found, or for a trace that is not a number\n"
    "  m11, m22        the monodromy's diagonal, or null\n"
    "  label           the window's result label for this analysis, or null where\n"
    "                  the label would keep its previous text\n"
    "  series          the lg(Tr) series: for block m, ln |trace| of the product of\n"
    "                  all bounce matrices so far (natural log); null where not a\n"
    "                  number\n"
    "  fit             {a, b: slope and intercept of the least-squares line over the\n"
    "                  series, per block; gradient: a / K, the Lyapunov exponent\n"
    "                  per bounce; stderr: its standard error}, or null\n"
    "  followedBounces how many bounces of the orbit from the start the analysis\n"
    "                  follows (the searches, then the series)\n"
    "  trustedBounces  how many of them the double-precision orbit stays within TOL\n"
    "                  (default 1e-9) in s and phi of the same start followed in\n"
    "                  extended precision: the precision horizon; equal to\n"
    "                  followedBounces when it lies beyond\n";

void key(BufferedOutput& out, const char* name) {
  out.text("  \"");
  out.text(name);
  out.text("\": ");
}

void jsonString(BufferedOutput& out, const std::string& s) {
  out.character('"');
  for (const char c : s) {
    switch (c) {
      case '"':
        out.text("\\\"");
        break;
      case '\\':
        out.text("\\\\");
        break;
      case '\n':
        out.text("\\n");
        break;
      default:
        out.character(c);
    }
  }
  out.character('"');
}

}  // namespace

int analyseCommand(int argc, const char* const* argv, std::FILE* output, std::FILE* /*err*/) {
  const Arguments args("trapezola-cli analyse", argc, argv, 2,
                       {{"b"},
                        {"rr"},
                        {"distance"},
                        {"angle"},
                        {"phi"},
                        {"period"},
                        {"sensitivity"},
                        {"blocksize"},
                        {"blocks"},
                        {"data"},
                        {"shadow-tolerance"}});
  if (args.helpRequested()) {
    std::fputs(analyseUsage, output);
    return 0;
  }
  const double b = shapeB(args);
  const double rr = shapeRr(args);
  const double distance = args.real("distance");
  if (args.has("angle") == args.has("phi")) {
    throw UsageError("trapezola-cli analyse: give exactly one of --angle DEG and --phi RAD");
  }
  std::optional<double> phi;
  double angle = 0;
  if (args.has("phi")) {
    phi = args.real(
        "phi", [](double v) { return 0 < v && v < pi; },
        "is outside (0, pi): the start must point into the table");
  } else {
    angle = startAngle(args);
  }
  std::optional<int> typedPeriod;
  if (args.has("period") && args.text("period") != "0") {
    try {
      typedPeriod = toolkit::StrToInt(args.text("period"));
    } catch (const toolkit::EConvertError&) {
      args.refuse("period", "is not a whole number");
    }
    // The window takes a negative period as the identity's, trace 2 and
    // "parabolic"; no orbit has such a period.
    if (*typedPeriod < 0) args.refuse("period", "is below 0");
  }
  int sensitivity = -50;
  if (args.has("sensitivity")) {
    const std::int64_t pos = args.integer("sensitivity", -100);
    if (pos > 10) args.refuse("sensitivity", "is beyond 10");
    sensitivity = static_cast<int>(pos);
  }
  const auto positive = [&](const char* name, int fallback) {
    if (!args.has(name)) return fallback;
    const std::int64_t v = args.integer(name, 1);
    const std::int64_t most = name == std::string_view("blocks") ? maxSeriesBlocks : maxBlockSize;
    if (v > most) args.refuse(name, "is beyond " + std::to_string(most));
    return static_cast<int>(v);
  };
  const int blockSize = positive("blocksize", 500);
  const int blockCount = positive("blocks", 100);
  const double tolerance = shadowTolerance(args);

  OrbitReportRequest request;
  request.b = b;
  request.rr = rr;
  request.distance = distance;
  request.angleDegrees = angle;
  request.phi = phi;
  request.typedPeriod = typedPeriod;
  request.sensitivity = sensitivity;
  request.blockSize = blockSize;
  request.blockCount = blockCount;
  request.shadowTolerance = tolerance;
  std::optional<LgTrFileWriter> file;
  if (args.has("data")) file.emplace(args.text("data"));
  const OrbitReport report = analyseOrbit(request, file ? &*file : nullptr);
  if (file) file->commit();
  const PeriodicOrbitAnalysis& analysis = report.analysis;
  const std::optional<std::string> label = analysisLabel(analysis);
  const std::vector<double>& series = report.series;
  const std::optional<LyapunovFit>& fit = report.fit;
  const std::int64_t followed = report.followedBounces;
  const std::int64_t trusted = report.trustedBounces;

  BufferedOutput out(output);
  out.text("{\n");
  key(out, "period");
  out.integer(analysis.period);
  out.text(",\n");
  key(out, "periodFound");
  out.text(analysis.periodFound && analysis.period != notPeriodic ? "true" : "false");
  out.text(",\n");
  key(out, "returnCounts");
  if (analysis.searched) {
    out.character('[');
    for (int i = 0; i < 3; ++i) {
      if (i > 0) out.text(", ");
      out.integer(analysis.returnCounts[i]);
    }
    out.character(']');
  } else {
    out.text("null");
  }
  out.text(",\n");
  const auto matrixNumber = [&](const char* name, double v) {
    key(out, name);
    if (analysis.hasMonodromy) {
      out.jsonReal(v);
    } else {
      out.text("null");
    }
    out.text(",\n");
  };
  matrixNumber("trace", analysis.trace);
  matrixNumber("traceBound", analysis.traceBound);
  key(out, "class");
  if (analysis.hasClass) {
    jsonString(out, orbitClassName(analysis.orbitClass));
  } else {
    out.text("null");
  }
  out.text(",\n");
  matrixNumber("m11", analysis.monodromy.m11);
  matrixNumber("m22", analysis.monodromy.m22);
  key(out, "label");
  if (label) {
    jsonString(out, *label);
  } else {
    out.text("null");
  }
  out.text(",\n");
  key(out, "series");
  out.character('[');
  for (std::size_t i = 0; i < series.size(); ++i) {
    if (i > 0) out.text(", ");
    out.jsonReal(series[i]);
  }
  out.text("],\n");
  key(out, "fit");
  if (fit) {
    out.text("{\"a\": ");
    out.jsonReal(fit->slope);
    out.text(", \"b\": ");
    out.jsonReal(fit->intercept);
    out.text(", \"gradient\": ");
    out.jsonReal(fit->gradient);
    out.text(", \"stderr\": ");
    if (fit->gradientStandardError) {
      out.jsonReal(*fit->gradientStandardError);
    } else {
      out.text("null");
    }
    out.text("},\n");
  } else {
    out.text("null,\n");
  }
  key(out, "followedBounces");
  out.integer(followed);
  out.text(",\n");
  key(out, "trustedBounces");
  out.integer(trusted);
  out.text("\n}\n");
  return 0;
}

}  // namespace trapezola::cli
