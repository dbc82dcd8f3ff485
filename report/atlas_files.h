// The files of a chaos atlas: the CSV of cells and its JSON sidecar, written
// by trapezola-cli atlas and atlas-merge, read back (and checked) by
// atlas-merge, atlas-plot and the Python module's read_atlas.
//
// FILE.csv holds a header and one row per cell in increasing cell index, every
// real to 17 significant digits (NaN as "nan"). FILE.json, beside it (the .csv
// replaced by .json), records the program and its version, the command line,
// the run (grid, estimator parameters, seed) on one line, the number of cells,
// the shard, the columns, and what identifies its CSV: its size in bytes and
// its SHA-256 (as sha256sum prints it). The two are a pair: a CSV is read only
// with the sidecar that names its bytes. Two files belong to the same run
// exactly when their version and run lines are equal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/analysis/chaos_atlas.h"

namespace trapezola {

// An atlas file that cannot be read or does not hold what it should. The
// message is one line that names the file (without the program's name).
class AtlasFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The CSV header, without its line end (read-only text, no pointer to it).
extern const char atlasHeader[];
// The value columns a heat map can show, in CSV order.
extern const char* const atlasValueColumns[5];
bool isAtlasValueColumn(const std::string& name);
// "lyapunov_max, lyapunov_median, ...", for a refusal.
std::string atlasValueColumnList();

// One row, line end included.
std::string atlasRow(std::int64_t cell, const AtlasCell& values);
// The longest row atlasRow writes, for the memory bound of a CSV held in
// memory: a cell index of at most 8 digits, five reals of at most 24
// characters ("-1.2345678901234567e-308"), two counts of at most 7 digits,
// seven commas and the line end make 151.
inline constexpr std::size_t maxAtlasRowBytes = 160;

// The sidecar's path for FILE.csv: FILE.json.
std::string sidecarPath(const std::string& csvPath);

// The run line's text: {"b": {...}, "rr": {...}, "orbits": N, ...}.
std::string atlasRunText(const AtlasGrid& grid, const AtlasParameters& parameters);

struct AtlasShard {
  std::int64_t index = 0;
  std::int64_t count = 1;
};

// The whole sidecar, line end included, of a CSV of csvBytes bytes whose
// SHA-256 is csvSha256 (64 hex digits). `argv` is the command line as given,
// `run` the run line's text (atlasRunText, or a shard's as read back).
std::string atlasSidecar(std::span<const char* const> argv, const std::string& run, std::int64_t cells,
                         const AtlasShard& shard, std::int64_t csvBytes, const std::string& csvSha256);

// A sidecar read back: what merge compares and plot labels with.
struct AtlasSidecar {
  std::string version;
  std::string run;  // the run line's text, compared verbatim
  AtlasGrid grid;
  AtlasParameters parameters;
  std::int64_t cells = 0;
  AtlasShard shard;
  std::int64_t csvBytes = 0;
  std::string csvSha256;
};
// Throws AtlasFileError ("is not an atlas sidecar: ...", without the file's
// name) for a text that lacks a line or holds one that does not fit.
AtlasSidecar readAtlasSidecar(const std::string& json);

// A checked row of an atlas CSV.
struct AtlasRow {
  AtlasCell values;
  std::string text;  // the row as read, line end included (empty in a pair made from values)
};

// An atlas CSV read with its sidecar.
struct AtlasPair {
  AtlasSidecar sidecar;
  std::map<std::int64_t, AtlasRow> rows;  // by cell index: exactly the shard's cells
};

// Reads the CSV at csvPath and its sidecar, and checks them, or throws
// AtlasFileError whose one line names the file and the fault:
//  - a file that cannot be read (missing, a folder), a sidecar that is not one;
//  - every field of every row: no empty field; numbers that parse, finite and
//    at least 0 for the exponents (which are "nan" exactly when every orbit of
//    the cell stopped); whole counts within 0 to the cell's orbits (the chaotic
//    ones within those that did not stop); a fraction within 0 to 1; b and R8/R
//    equal, to the bit, to the grid's values for that cell;
//  - the cells: each once, and exactly those of the sidecar's shard;
//  - the pair: the CSV's size and SHA-256 those its sidecar records.
AtlasPair readAtlasPair(const std::string& csvPath);

// The value of column `column` (one of atlasValueColumns) of a cell.
double atlasValue(const AtlasCell& cell, const std::string& column);

}  // namespace trapezola
