// trapezola-cli analyse: the periodic-orbit analysis of a right click on the
// portrait, from a phase point given as numbers, with its lg(Tr) series and the
// linear fit of an untouched Lyapunov window.
#include <cmath>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/analysis/lgtr_data_file.h"
#include "core/analysis/lgtr_series.h"
#include "core/analysis/lyapunov_fit.h"
#include "core/analysis/periodic_orbit.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "portrait/analysis_label.h"
#include "toolkit_core/conversions.h"

namespace trapezola::cli {

double shapeB(const Arguments& args);
double shapeRr(const Arguments& args);

namespace {

constexpr const char* analyseUsage =
    "usage: trapezola-cli analyse --b B --rr RR --distance S --angle DEG [--period N]\n"
    "                             [--sensitivity POS] [--blocksize K] [--blocks M] [--data FILE]\n"
    "\n"
    "Sets up the table and the start as a fresh \"go\" run does, then analyses the\n"
    "orbit of the phase point (S, DEG degrees) as a right click on the portrait does:\n"
    "the period (searched unless N is given; \"0\", the default, means search), the\n"
    "monodromy's trace and class, the lg(Tr) series of M blocks (default 100) of K\n"
    "bounces (default 500), and the least-squares fit over line positions 1 to M - 1.\n"
    "POS is the sensitivity slider's position, -100 to 10 (default -50: 0.05).\n"
    "Prints one JSON object; --data FILE also writes the series as the window does.\n";

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
                        {"period"},
                        {"sensitivity"},
                        {"blocksize"},
                        {"blocks"},
                        {"data"}});
  if (args.helpRequested()) {
    std::fputs(analyseUsage, output);
    return 0;
  }
  const double b = shapeB(args);
  const double rr = shapeRr(args);
  const double distance = args.real("distance");
  const double angle = args.real("angle");
  std::optional<int> typedPeriod;
  if (args.has("period") && args.text("period") != "0") {
    try {
      typedPeriod = toolkit::StrToInt(args.text("period"));
    } catch (const toolkit::EConvertError&) {
      args.refuse("period", "is not a whole number");
    }
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
    if (v > 1000000) args.refuse(name, "is beyond 1000000");
    return static_cast<int>(v);
  };
  const int blockSize = positive("blocksize", 500);
  const int blockCount = positive("blocks", 100);

  // Launched first, as a go run leaves the ball before a right click: the
  // launch names arc 1 in the hit record.
  const BilliardTable table = buildTable(b, rr);
  Ball ball;
  launch(table, ball, distance, std::cos(startAngleRadians(angle)));
  const double epsilon = -sensitivity * 0.001;
  const PeriodicOrbitAnalysis analysis =
      analysePeriodicOrbit(table, ball, distance, startAngleRadians(angle), epsilon, typedPeriod);
  const std::optional<std::string> label = analysisLabel(analysis);

  // The series goes through the data file's text, as the window's fit reads it.
  std::vector<double> series;
  series.reserve(static_cast<std::size_t>(blockCount));
  std::optional<LgTrFileWriter> file;
  if (args.has("data")) file.emplace(args.text("data"));
  std::string lines;
  runLgTrSeries(table, ball, analysis.matrixStart, blockSize, blockCount, [&](int block, double value) {
    series.push_back(value);
    lines += formatLgTrLine(block, value);
    if (file) file->add(block, value);
  });
  if (file) file->commit();
  std::istringstream written(lines);
  const std::vector<LgTrLine> readBack = readLgTrLines(written, blockCount);
  std::optional<LyapunovFit> fit;
  try {
    fit = fitLgTrLines(readBack, 0, 0, blockSize);
  } catch (const LyapunovFitError&) {
    // Too few lines (a single block) or non-finite values: no fit to report.
  }

  BufferedOutput out(output);
  out.text("{\n");
  key(out, "period");
  out.integer(analysis.period);
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
  key(out, "class");
  if (analysis.hasMonodromy) {
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
    out.text("}\n");
  } else {
    out.text("null\n");
  }
  out.text("}\n");
  return 0;
}

}  // namespace trapezola::cli
