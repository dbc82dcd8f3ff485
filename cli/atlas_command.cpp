// trapezola-cli atlas and atlas-merge: the chaos atlas of a grid of tables, on
// every core of one machine or as shards of a cluster run, and the joining of
// those shards into the file a single run writes.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/terminal_progress.h"
#include "core/analysis/chaos_atlas.h"
#include "core/geometry/table_geometry.h"
#include "core/jobs/memory_bound.h"
#include "core/jobs/request_limits.h"
#include "files/read_file.h"
#include "files/sha256.h"
#include "files/whole_file.h"
#include "report/atlas_files.h"
#ifdef TRAPEZOLA_CLI_RENDER
#include "cli/atlas_heat_map.h"
#endif

namespace trapezola::cli {

namespace {

constexpr const char* atlasUsage =
    "usage: trapezola-cli atlas --b FROM:TO:COUNT --rr FROM:TO:COUNT --out FILE.csv\n"
    "                           [--orbits N] [--bounces M] [--seed K] [--boxes G]\n"
    "                           [--threshold-factor C] [--threads T] [--shard I/S]\n"
#ifdef TRAPEZOLA_CLI_RENDER
    "                           [--png FILE.png --column NAME]\n"
#endif
    "\n"
    "For every table of the grid (COUNT values from FROM to TO, both ends\n"
    "included; 0.0001 <= b <= 1, 1 <= R8/R <= 10000), runs N orbits (default 16)\n"
    "from the start rule of 'portrait --orbits N --seed K' for M bounces each\n"
    "(default 100000) and writes one CSV row per cell, R8/R running fastest, 17\n"
    "significant digits:\n"
    "  cell, b, rr      the cell's index and its table\n"
    "  lyapunov_max, lyapunov_median  finite-time largest Lyapunov exponents of the\n"
    "                   orbits, natural log per bounce, from the product of the\n"
    "                   bounce matrices\n"
    "  chaotic_orbits   orbits whose exponent exceeds C ln M / M (C default 10): a\n"
    "                   regular orbit's exponent decays like ln M / M\n"
    "  chaotic_fraction share of the G x G boxes (default 100) over (s/s4, cos phi)\n"
    "                   that chaotic orbits visit\n"
    "  stopped_orbits   orbits that stopped early (no boundary hit, a grazing\n"
    "                   bounce); they count in nothing else\n"
    "FILE.json records the run: program and version; command (the arguments);\n"
    "run, one line, the same in every shard of a run: b and rr ({from, to,\n"
    "count}), orbits, bounces, seed, boxes, threshold_factor, threshold\n"
    "(C ln M / M) and the estimator's fixed choices (starts, norm,\n"
    "renormalise_above); cells (the grid's count); shard ({index, count});\n"
    "columns (the CSV header); csv ({bytes, sha256}: what identifies FILE.csv,\n"
    "as sha256sum prints it; readers refuse a CSV its sidecar does not name).\n"
    "A cell's values do not depend on --threads (default: every core) nor on\n"
    "--shard I/S, which computes only the cells whose index is I modulo S (join\n"
    "shards with atlas-merge). Files are written whole or not at all, the CSV and\n"
    "its sidecar as a pair. A grid whose cells would need more memory than this\n"
    "process may use is refused before the run, with the amount.\n"
#ifdef TRAPEZOLA_CLI_RENDER
    "--png draws a heat map of column NAME, as atlas-plot does; should that\n"
    "picture fail to be written, the atlas is kept and the status is 1.\n"
#endif
    "When standard error is a terminal it shows the cells done, the bounces per\n"
    "second and the time left.\n";

constexpr const char* mergeUsage =
    "usage: trapezola-cli atlas-merge SHARD.csv ... --out FILE.csv\n"
    "\n"
    "Joins the shards of one atlas run (each with its SHARD.json) into the file a\n"
    "single run writes, byte for byte, and FILE.json. Refuses shards of different\n"
    "runs, shards or cells given twice, missing shards or cells, a shard whose\n"
    "sidecar does not name its bytes, a row with a field that is empty, not a\n"
    "number, not finite where the column needs it, a count outside 0 to the\n"
    "orbits, a fraction outside 0 to 1, or a b or R8/R that is not its cell's,\n"
    "and an --out that is one of the shards (by any path).\n";

[[noreturn]] void refuse(const char* command, const std::string& what) {
  throw UsageError(std::string("trapezola-cli ") + command + ": " + what);
}

// Every cell must be a table that doubles hold (tableParametersValid), the
// rule of every other command; the refusal names the first value outside it.
std::string tableRefusal(double b, double rr) {
  char text[96];
  if (!tableParametersValid(b, 1)) {
    std::snprintf(text, sizeof text, "gives b = %.17g, outside [%g, 1]", b, minimumB);
    return text;
  }
  if (!tableParametersValid(1, rr)) {
    std::snprintf(text, sizeof text, "gives R8/R = %.17g, outside [1, %g]", rr, maximumRr);
    return text;
  }
  return "";
}

AtlasAxis parseRange(const Arguments& args, const std::string& name) {
  const std::string& text = args.text(name);
  const auto first = text.find(':');
  const auto second = first == std::string::npos ? std::string::npos : text.find(':', first + 1);
  if (second == std::string::npos || text.find(':', second + 1) != std::string::npos) {
    args.refuse(name, "is not FROM:TO:COUNT");
  }
  AtlasAxis axis;
  if (!parseReal(text.substr(0, first), axis.from) ||
      !parseReal(text.substr(first + 1, second - first - 1), axis.to)) {
    args.refuse(name, "is not FROM:TO:COUNT (FROM and TO numbers)");
  }
  const std::string count = text.substr(second + 1);
  const auto [end, ec] = std::from_chars(count.data(), count.data() + count.size(), axis.count);
  const bool whole = !count.empty() && end == count.data() + count.size();
  if (!whole || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
    args.refuse(name, "has a COUNT that is not a whole number");
  }
  if (ec == std::errc::result_out_of_range || axis.count < 1 || axis.count > maxAxisValues) {
    args.refuse(name, "has a COUNT outside 1 to " + std::to_string(maxAxisValues));
  }
  if (axis.count == 1 && axis.from != axis.to) args.refuse(name, "has COUNT 1 but FROM differs from TO");
  if (axis.count > 1 && !(axis.from < axis.to)) args.refuse(name, "has FROM not below TO");
  return axis;
}

AtlasShard parseShard(const Arguments& args) {
  AtlasShard shard;
  if (!args.has("shard")) return shard;
  const std::string& text = args.text("shard");
  const auto slash = text.find('/');
  bool tooLarge = false;
  const auto whole = [&tooLarge](const std::string& t, std::int64_t& v) {
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    tooLarge = tooLarge || ec == std::errc::result_out_of_range;
    return !t.empty() && (ec == std::errc() || ec == std::errc::result_out_of_range) &&
           end == t.data() + t.size();
  };
  if (slash == std::string::npos || !whole(text.substr(0, slash), shard.index) ||
      !whole(text.substr(slash + 1), shard.count)) {
    args.refuse("shard", "is not I/S (two whole numbers)");
  }
  if (tooLarge) {
    args.refuse("shard", "is too large (the limit is " +
                             std::to_string(std::numeric_limits<std::int64_t>::max()) + ")");
  }
  if (shard.count < 1 || shard.index < 0 || shard.index >= shard.count) {
    args.refuse("shard", "is not 0 <= I < S");
  }
  return shard;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int runAtlas(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  const Arguments args("trapezola-cli atlas", argc, argv, 2,
                       {{"b"},
                        {"rr"},
                        {"orbits"},
                        {"bounces"},
                        {"seed"},
                        {"boxes"},
                        {"threshold-factor"},
                        {"threads"},
                        {"shard"},
                        {"out"},
                        {"png"},
                        {"column"}});
  if (args.helpRequested()) {
    std::fputs(atlasUsage, out);
    return 0;
  }
  AtlasGrid grid;
  grid.b = parseRange(args, "b");
  grid.rr = parseRange(args, "rr");
  for (std::int64_t i = 0; i < grid.b.count; ++i) {
    const std::string why = tableRefusal(grid.b.value(i), 1);
    if (!why.empty()) args.refuse("b", why);
  }
  for (std::int64_t i = 0; i < grid.rr.count; ++i) {
    const std::string why = tableRefusal(1, grid.rr.value(i));
    if (!why.empty()) args.refuse("rr", why);
  }

  AtlasParameters parameters;
  if (args.has("orbits")) {
    parameters.orbits = args.integer("orbits", 1);
    if (parameters.orbits > maxAtlasOrbits)
      args.refuse("orbits", "is above " + std::to_string(maxAtlasOrbits));
  }
  if (args.has("bounces")) parameters.bounces = args.integer("bounces", 1);
  if (!totalBouncesFit(parameters.bounces, parameters.orbits, grid.cellCount())) {
    args.refuse(args.has("bounces") ? "bounces" : "orbits", "is too many for that grid");
  }
  if (args.has("seed")) {
    const std::int64_t k = args.integer("seed", 0);
    if (static_cast<std::uint64_t>(k) >= seedLimit) args.refuse("seed", "is not below 2^32");
    parameters.seed = static_cast<std::uint64_t>(k);
  }
  if (args.has("boxes")) {
    const std::int64_t g = args.integer("boxes", 1);
    if (g > maxBoxesPerSide) args.refuse("boxes", "is above " + std::to_string(maxBoxesPerSide));
    parameters.boxesPerSide = static_cast<int>(g);
  }
  if (args.has("threshold-factor")) {
    parameters.thresholdFactor = args.real(
        "threshold-factor", [](double c) { return c > 0; }, "is not above 0");
  }
  int threads = static_cast<int>(std::thread::hardware_concurrency());
  if (threads < 1) threads = 1;
  if (args.has("threads")) {
    const std::int64_t t = args.integer("threads", 1);
    if (t > maxThreads) args.refuse("threads", "is above " + std::to_string(maxThreads));
    threads = static_cast<int>(t);
  }
  const AtlasShard shard = parseShard(args);
  const std::string& path = args.text("out");
  if (!endsWith(path, ".csv")) args.refuse("out", "does not end in .csv");

  std::string column;
  if (args.has("png") != args.has("column")) refuse("atlas", "--png and --column go together");
  if (args.has("png")) {
#ifdef TRAPEZOLA_CLI_RENDER
    column = args.text("column");
    if (!isAtlasValueColumn(column))
      args.refuse("column", "is not a value column (" + atlasValueColumnList() + ")");
    if (!endsWith(args.text("png"), ".png")) args.refuse("png", "does not end in .png");
#else
    refuse("atlas", "--png needs the build with the window program");
#endif
  }

  // Before anything is allocated: the shard's cells and their results, and
  // for --png every cell's values in a map (48 bytes a node); the CSV itself
  // is written row by row.
  const std::int64_t cellCount = (grid.cellCount() - shard.index + shard.count - 1) / shard.count;
  const double rowsKept = args.has("png") ? sizeof(AtlasRow) + 48 : 0;
  const double need =
      atlasMemoryNeed(cellCount, parameters, threads) + static_cast<double>(cellCount) * rowsKept;
  if (const std::optional<std::string> why = memoryRefusal(need)) {
    refuse("atlas", "this atlas of " + std::to_string(cellCount) + " cells " + *why);
  }

  // Created before the run: a destination that cannot be written fails now,
  // not after hours of bounces.
  WholeFileWriter csvFile(path);
  WholeFileWriter jsonFile(sidecarPath(path));
  std::unique_ptr<WholeFileWriter> pngFile;
  if (args.has("png")) pngFile = std::make_unique<WholeFileWriter>(args.text("png"));

  const std::vector<std::int64_t> cells = shardCells(grid, shard.index, shard.count);
  std::vector<AtlasCell> results;
  {
    const std::unique_ptr<TerminalProgress> shown = TerminalProgress::onTerminal(err, "atlas", "cells");
    results = computeAtlas(grid, cells, parameters, threads, shown.get());
  }

  // The CSV goes out row by row, its digest taken on the way.
  Sha256 digest;
  std::int64_t csvBytes = 0;
  const auto put = [&](std::string_view text) {
    csvFile.write(text);
    digest.update(text);
    csvBytes += static_cast<std::int64_t>(text.size());
  };
  put(std::string(atlasHeader) + "\n");
  AtlasPair pair;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    put(atlasRow(cells[i], results[i]));
    if (pngFile) pair.rows.emplace(cells[i], AtlasRow{results[i], {}});
  }
  const std::string json = atlasSidecar(std::span<const char* const>(argv, static_cast<std::size_t>(argc)),
                                        atlasRunText(grid, parameters), grid.cellCount(), shard, csvBytes,
                                        digest.hex());
  jsonFile.write(json);
  // Both written out before either is renamed, the CSV renamed last: a full
  // disk leaves the old pair, and no run leaves its sidecar beside another's
  // CSV.
  commitTogether({&jsonFile, &csvFile});
#ifdef TRAPEZOLA_CLI_RENDER
  if (pngFile) {
    // The picture comes from the atlas, not the atlas from the picture: a
    // heat map that cannot be written does not cost the computed cells.
    try {
      pair.sidecar = readAtlasSidecar(json);
      pngFile->commit(atlasHeatMap(pair, column, "png"));
    } catch (const FileWriteError& e) {
      std::fprintf(err, "trapezola-cli atlas: %s; the atlas is written to %s (draw it with atlas-plot)\n",
                   e.what(), quoted(path).c_str());
      return 1;
    }
  }
#endif
  return 0;
}

int runMerge(int argc, const char* const* argv, std::FILE* out) {
  // Shard files are the bare words; the options go to the parser, which knows
  // how they are written.
  std::vector<const char*> options{argv[0], argv[1]};
  std::vector<std::string> shards;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--out" && i + 1 < argc) {
      options.push_back(argv[i]);
      options.push_back(argv[++i]);
    } else if (arg.rfind("-", 0) == 0) {
      options.push_back(argv[i]);
    } else {
      shards.push_back(arg);
    }
  }
  const Arguments args("trapezola-cli atlas-merge", static_cast<int>(options.size()), options.data(), 2,
                       {{"out"}});
  if (args.helpRequested()) {
    std::fputs(mergeUsage, out);
    return 0;
  }
  const std::string& path = args.text("out");
  if (!endsWith(path, ".csv")) args.refuse("out", "does not end in .csv");
  if (shards.empty()) refuse("atlas-merge", "give the shard files to join");

  // The merged pair replaces its destination only at the end; were that a
  // shard (by this name or another, a link), the shard would be lost.
  const std::optional<FileIdentity> outCsv = fileIdentity(path);
  const std::optional<FileIdentity> outJson = fileIdentity(sidecarPath(path));
  for (const std::string& shardPath : shards) {
    for (const std::string& input : {shardPath, sidecarPath(shardPath)}) {
      const std::optional<FileIdentity> id = fileIdentity(input);
      if (id && (id == outCsv || id == outJson)) {
        refuse("atlas-merge", "--out " + quoted(path) + " is the input " + quoted(input) +
                                  ": write the merged atlas to a file of its own");
      }
    }
  }

  std::optional<AtlasSidecar> run;
  std::map<std::int64_t, std::string> byShardIndex;
  std::map<std::int64_t, std::string> rows;
  for (const std::string& shardPath : shards) {
    if (!endsWith(shardPath, ".csv")) refuse("atlas-merge", quoted(shardPath) + " does not end in .csv");
    const auto fail = [&](const std::string& file, const std::string& why) {
      refuse("atlas-merge", quoted(file) + " " + why);
    };
    AtlasPair pair;
    try {
      pair = readAtlasPair(shardPath);
    } catch (const AtlasFileError& e) {
      refuse("atlas-merge", e.what());
    }
    const AtlasSidecar& sidecar = pair.sidecar;
    if (!run) {
      run = sidecar;
    } else if (sidecar.version != run->version || sidecar.run != run->run) {
      fail(shardPath, "belongs to another run than " + quoted(shards.front()));
    } else if (sidecar.shard.count != run->shard.count) {
      fail(shardPath, "is one of " + std::to_string(sidecar.shard.count) + " shards, not of " +
                          std::to_string(run->shard.count));
    }
    const auto [previous, isNew] = byShardIndex.emplace(sidecar.shard.index, shardPath);
    if (!isNew) {
      fail(shardPath, "overlaps " + quoted(previous->second) + " (both shard " +
                          std::to_string(sidecar.shard.index) + ")");
    }
    for (auto& [cell, row] : pair.rows) rows.emplace(cell, std::move(row.text));
  }
  for (std::int64_t s = 0; s < run->shard.count; ++s) {
    if (byShardIndex.count(s) == 0) {
      refuse("atlas-merge", "shard " + std::to_string(s) + "/" + std::to_string(run->shard.count) +
                                " is missing: the shards leave a gap");
    }
  }

  WholeFileWriter csvFile(path);
  WholeFileWriter jsonFile(sidecarPath(path));
  std::string csv = std::string(atlasHeader) + "\n";
  for (const auto& [cell, row] : rows) csv += row;
  // The run line is carried over as the shards wrote it.
  const std::string json = atlasSidecar(std::span<const char* const>(argv, static_cast<std::size_t>(argc)),
                                        run->run, run->cells, AtlasShard{},
                                        static_cast<std::int64_t>(csv.size()), sha256Hex(csv));
  csvFile.write(csv);
  jsonFile.write(json);
  commitTogether({&jsonFile, &csvFile});
  return 0;
}

template <typename Run>
int reportingWriteFailures(const char* command, std::FILE* err, Run run) {
  try {
    return run();
  } catch (const FileWriteError& e) {
    std::fprintf(err, "trapezola-cli %s: %s\n", command, e.what());
    return 1;
  }
}

}  // namespace

int atlasCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  return reportingWriteFailures("atlas", err, [&] { return runAtlas(argc, argv, out, err); });
}

int atlasMergeCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  return reportingWriteFailures("atlas-merge", err, [&] { return runMerge(argc, argv, out); });
}

}  // namespace trapezola::cli
