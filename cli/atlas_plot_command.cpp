// trapezola-cli atlas-plot, and atlas --png: the heat map of one column of an
// atlas over the (b, R8/R) plane.
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/atlas_heat_map.h"
#include "cli/commands.h"
#include "files/whole_file.h"
#include "export/heat_map.h"
#include "export/offscreen_qt.h"

namespace trapezola::cli {

namespace {

constexpr const char* plotUsage =
    "usage: trapezola-cli atlas-plot FILE.csv --column NAME --out PICTURE\n"
    "\n"
    "Draws the heat map of column NAME (lyapunov_max, lyapunov_median,\n"
    "chaotic_orbits, chaotic_fraction or stopped_orbits) of an atlas over the\n"
    "(b, R8/R) plane, b across and R8/R up, with tick values, a viridis colour bar\n"
    "from the smallest to the largest value, and a title naming the column and the\n"
    "run's parameters (read from FILE.json). Cells the file lacks (a shard) are\n"
    "grey. PICTURE is a .png, .svg or .pdf file, written whole or not at all.\n"
    "FILE.csv is checked as atlas-merge checks a shard: every field of every\n"
    "row, and the pair (FILE.json must name FILE.csv's bytes by their SHA-256).\n";

std::string formatOf(const std::string& path) {
  for (const char* ext : {"png", "svg", "pdf"}) {
    const std::string end = std::string(".") + ext;
    if (path.size() > end.size() && path.compare(path.size() - end.size(), end.size(), end) == 0) return ext;
  }
  return "";
}

int runPlot(int argc, const char* const* argv, std::FILE* out) {
  std::vector<const char*> options{argv[0], argv[1]};
  std::vector<std::string> files;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--out" || arg == "--column") && i + 1 < argc) {
      options.push_back(argv[i]);
      options.push_back(argv[++i]);
    } else if (arg.rfind("-", 0) == 0) {
      options.push_back(argv[i]);
    } else {
      files.push_back(arg);
    }
  }
  const Arguments args("trapezola-cli atlas-plot", static_cast<int>(options.size()), options.data(), 2,
                       {{"out"}, {"column"}});
  if (args.helpRequested()) {
    std::fputs(plotUsage, out);
    return 0;
  }
  if (files.size() != 1) throw UsageError("trapezola-cli atlas-plot: give exactly one atlas FILE.csv");
  const std::string& csvPath = files.front();
  if (csvPath.size() <= 4 || csvPath.compare(csvPath.size() - 4, 4, ".csv") != 0) {
    throw UsageError("trapezola-cli atlas-plot: " + quoted(csvPath) + " does not end in .csv");
  }
  const std::string& column = args.text("column");
  if (!isAtlasValueColumn(column))
    args.refuse("column", "is not a value column (" + atlasValueColumnList() + ")");
  const std::string& path = args.text("out");
  const std::string format = formatOf(path);
  if (format.empty()) args.refuse("out", "has no .png, .svg or .pdf extension");

  AtlasPair pair;
  try {
    pair = readAtlasPair(csvPath);
  } catch (const AtlasFileError& e) {
    throw UsageError(std::string("trapezola-cli atlas-plot: ") + e.what());
  }
  WholeFileWriter file(path);
  file.commit(atlasHeatMap(pair, column, format));
  return 0;
}

}  // namespace

std::string atlasHeatMap(const AtlasPair& pair, const std::string& column, const std::string& format) {
  HeatMap map;
  const AtlasGrid& grid = pair.sidecar.grid;
  for (std::int64_t i = 0; i < grid.b.count; ++i) map.bValues.push_back(grid.b.value(i));
  for (std::int64_t j = 0; j < grid.rr.count; ++j) map.rrValues.push_back(grid.rr.value(j));
  map.values.assign(static_cast<std::size_t>(grid.cellCount()), std::numeric_limits<double>::quiet_NaN());
  // readAtlasPair has checked that every cell lies in the grid.
  for (const auto& [cell, row] : pair.rows) map.values[static_cast<std::size_t>(cell)] = atlasValue(row.values, column);
  const AtlasParameters& p = pair.sidecar.parameters;
  map.title = column + " over the (b, R8/R) plane";
  char subtitle[256];
  std::snprintf(
      subtitle, sizeof subtitle,
      "%lld orbits x %lld bounces a table, seed %llu, %d x %d boxes, chaotic above %g ln M / M = %.3g",
      static_cast<long long>(p.orbits), static_cast<long long>(p.bounces),
      static_cast<unsigned long long>(p.seed), p.boxesPerSide, p.boxesPerSide, p.thresholdFactor,
      chaosThreshold(p));
  map.subtitle = subtitle;
  map.valueName = column;

  // The painter needs fonts.
  const OffscreenQt qt;
  try {
    return renderHeatMap(map, format);
  } catch (const std::runtime_error& e) {
    throw FileWriteError(e.what());
  }
}

int atlasPlotCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  try {
    return runPlot(argc, argv, out);
  } catch (const FileWriteError& e) {
    std::fprintf(err, "trapezola-cli atlas-plot: %s\n", e.what());
    return 1;
  }
}

}  // namespace trapezola::cli
