// The files of trapezola-cli atlas: the CSV of cells, its JSON sidecar, and
// reading both back for atlas-merge and atlas-plot.
//
// FILE.csv holds a header and one row per cell in increasing cell index, every
// real to 17 significant digits (NaN as "nan"). FILE.json, beside it (the .csv
// replaced by .json), records the program and its version, the command line,
// the run (grid, estimator parameters, seed) on one line, the number of cells
// and the shard. Two files belong to the same run exactly when their version and
// run lines are equal.
#pragma once

#include <cstdint>
#include <istream>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "core/analysis/chaos_atlas.h"

namespace trapezola::cli {

// The CSV header, without its line end.
extern const char* const atlasHeader;
// The value columns a heat map can show, in CSV order.
extern const char* const atlasValueColumns[5];
bool isAtlasValueColumn(const std::string& name);
// "lyapunov_max, lyapunov_median, ...", for a refusal.
std::string atlasValueColumnList();

// One row, line end included.
std::string atlasRow(std::int64_t cell, const AtlasCell& values);

// The sidecar's path for FILE.csv: FILE.json.
std::string sidecarPath(const std::string& csvPath);

// The run line's text: {"b": {...}, "rr": {...}, "orbits": N, ...}.
std::string atlasRunText(const AtlasGrid& grid, const AtlasParameters& parameters);

struct AtlasShard {
  std::int64_t index = 0;
  std::int64_t count = 1;
};

// The whole sidecar, line end included. `argv` is the command line as given,
// `run` the run line's text (atlasRunText, or a shard's as read back).
std::string atlasSidecar(std::span<const char* const> argv, const std::string& run, std::int64_t cells,
                         const AtlasShard& shard);

// A sidecar read back: what merge compares and plot labels with. Throws
// std::runtime_error naming what is missing.
struct AtlasSidecar {
  std::string version;
  std::string run;  // the run line's text, compared verbatim
  AtlasGrid grid;
  AtlasParameters parameters;
  std::int64_t cells = 0;
  AtlasShard shard;
};
AtlasSidecar readAtlasSidecar(std::istream& in);
AtlasSidecar readAtlasSidecar(const std::string& json);

// The rows of an atlas CSV by cell index, each as its text with the line end.
// Throws std::runtime_error for a wrong header, a malformed row or a cell given
// twice.
std::map<std::int64_t, std::string> readAtlasRows(std::istream& in);

// The value of column `column` (one of atlasValueColumns) in a row's text.
double atlasRowValue(const std::string& row, const std::string& column);

// The heat map of one value column over the (b, R8/R) plane as the bytes of a
// picture ("png" or "pdf"), for atlas --png and atlas-plot; only the build with
// the window program has it (atlas_plot_command.cpp). `rows` are by cell index;
// cells without a row are drawn as missing.
std::string atlasHeatMap(const std::map<std::int64_t, std::string>& rows, const AtlasSidecar& sidecar,
                         const std::string& column, const std::string& format);

}  // namespace trapezola::cli
