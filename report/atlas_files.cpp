#include "report/atlas_files.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "core/jobs/request_limits.h"
#include "files/quoted.h"
#include "files/read_file.h"
#include "files/sha256.h"

namespace trapezola {

const char atlasHeader[] =
    "cell,b,rr,lyapunov_max,lyapunov_median,chaotic_orbits,chaotic_fraction,stopped_orbits";

const char* const atlasValueColumns[5] = {"lyapunov_max", "lyapunov_median", "chaotic_orbits",
                                          "chaotic_fraction", "stopped_orbits"};

bool isAtlasValueColumn(const std::string& name) {
  for (const char* column : atlasValueColumns) {
    if (name == column) return true;
  }
  return false;
}

std::string atlasValueColumnList() {
  std::string list;
  for (const char* column : atlasValueColumns) list += (list.empty() ? "" : ", ") + std::string(column);
  return list;
}

namespace {

constexpr int rowFields = 8;

void appendReal(std::string& s, double v) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 17);
  s.append(text, result.ptr);
}

void appendInteger(std::string& s, std::int64_t v) {
  char text[24];
  const auto result = std::to_chars(text, text + sizeof text, v);
  s.append(text, result.ptr);
}

void appendJsonString(std::string& s, const char* text) {
  s += '"';
  for (const char* c = text; *c != '\0'; ++c) {
    const auto byte = static_cast<unsigned char>(*c);
    if (*c == '"' || *c == '\\') {
      s += '\\';
      s += *c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      s += escape;
    } else {
      s += *c;
    }
  }
  s += '"';
}

std::string axisText(const AtlasAxis& axis) {
  std::string s = "{\"from\": ";
  appendReal(s, axis.from);
  s += ", \"to\": ";
  appendReal(s, axis.to);
  s += ", \"count\": ";
  appendInteger(s, axis.count);
  return s + "}";
}

// The number after `"key": ` in `text`; the first match counts, so a key is
// looked up in the part of the text that holds it.
template <typename Number>
Number numberAfter(const std::string& text, const std::string& key) {
  const std::string marker = "\"" + key + "\": ";
  const auto at = text.find(marker);
  if (at == std::string::npos) throw std::runtime_error("has no \"" + key + "\"");
  const char* begin = text.data() + at + marker.size();
  Number v{};
  const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), v);
  if (ec != std::errc() || end == begin) throw std::runtime_error("has no number for \"" + key + "\"");
  return v;
}

AtlasAxis axisAfter(const std::string& text, const std::string& key) {
  const auto at = text.find("\"" + key + "\": {");
  if (at == std::string::npos) throw std::runtime_error("has no \"" + key + "\" range");
  const std::string object = text.substr(at, text.find('}', at) - at);
  return {numberAfter<double>(object, "from"), numberAfter<double>(object, "to"),
          numberAfter<std::int64_t>(object, "count")};
}

std::vector<std::string> fields(const std::string& row) {
  std::vector<std::string> out;
  std::size_t begin = 0;
  for (;;) {
    const auto comma = row.find(',', begin);
    out.push_back(row.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin));
    if (comma == std::string::npos) return out;
    begin = comma + 1;
  }
}

}  // namespace

std::string atlasRow(std::int64_t cell, const AtlasCell& v) {
  std::string s;
  appendInteger(s, cell);
  s += ',';
  appendReal(s, v.b);
  s += ',';
  appendReal(s, v.rr);
  s += ',';
  appendReal(s, v.lyapunovMax);
  s += ',';
  appendReal(s, v.lyapunovMedian);
  s += ',';
  appendInteger(s, v.chaoticOrbits);
  s += ',';
  appendReal(s, v.chaoticFraction);
  s += ',';
  appendInteger(s, v.stoppedOrbits);
  s += '\n';
  return s;
}

std::string sidecarPath(const std::string& csvPath) {
  return csvPath.substr(0, csvPath.size() - 4) + ".json";
}

std::string atlasRunText(const AtlasGrid& grid, const AtlasParameters& p) {
  std::string s = "{\"b\": " + axisText(grid.b) + ", \"rr\": " + axisText(grid.rr) + ", \"orbits\": ";
  appendInteger(s, p.orbits);
  s += ", \"bounces\": ";
  appendInteger(s, p.bounces);
  s += ", \"seed\": " + std::to_string(p.seed) + ", \"boxes\": ";
  appendInteger(s, p.boxesPerSide);
  s += ", \"threshold_factor\": ";
  appendReal(s, p.thresholdFactor);
  s += ", \"threshold\": ";
  appendReal(s, chaosThreshold(p));
  // The estimator's fixed choices, so that a later change of them shows.
  s += ", \"starts\": \"R2\", \"norm\": \"frobenius\", \"renormalise_above\": \"2^64\"}";
  return s;
}

std::string atlasSidecar(std::span<const char* const> argv, const std::string& run, std::int64_t cells,
                         const AtlasShard& shard, std::int64_t csvBytes, const std::string& csvSha256) {
  std::string s = "{\n  \"program\": \"trapezola-cli atlas\",\n  \"version\": ";
  appendJsonString(s, TRAPEZOLA_VERSION);
  s += ",\n  \"command\": [";
  for (std::size_t i = 0; i < argv.size(); ++i) {
    if (i > 0) s += ", ";
    appendJsonString(s, argv[i]);
  }
  s += "],\n  \"run\": " + run + ",\n  \"cells\": ";
  appendInteger(s, cells);
  s += ",\n  \"shard\": {\"index\": ";
  appendInteger(s, shard.index);
  s += ", \"count\": ";
  appendInteger(s, shard.count);
  s += "},\n  \"columns\": [";
  s += "\"cell\", \"b\", \"rr\"";
  for (const char* column : atlasValueColumns) {
    s += ", ";
    appendJsonString(s, column);
  }
  s += "],\n  \"csv\": {\"bytes\": ";
  appendInteger(s, csvBytes);
  s += ", \"sha256\": \"" + csvSha256 + "\"}\n}\n";
  return s;
}

AtlasSidecar readAtlasSidecar(const std::string& json) {
  AtlasSidecar sidecar;
  std::istringstream in(json);
  std::string line;
  std::string shardLine;
  std::string cellsLine;
  std::string versionLine;
  std::string csvLine;
  while (std::getline(in, line)) {
    if (line.rfind("  \"run\": ", 0) == 0) sidecar.run = line.substr(9);
    if (line.rfind("  \"shard\": ", 0) == 0) shardLine = line;
    if (line.rfind("  \"cells\": ", 0) == 0) cellsLine = line;
    if (line.rfind("  \"version\": ", 0) == 0) versionLine = line;
    if (line.rfind("  \"csv\": ", 0) == 0) csvLine = line;
  }
  if (sidecar.run.empty() || shardLine.empty() || cellsLine.empty() || versionLine.empty()) {
    throw AtlasFileError("is not an atlas sidecar (no run, cells, shard or version line)");
  }
  // Sidecars written before the pair's digest cannot vouch for their CSV.
  if (csvLine.empty()) throw AtlasFileError("records no size and SHA-256 of its CSV: run the atlas again");
  try {
    if (sidecar.run.back() == ',') sidecar.run.pop_back();
    sidecar.version = versionLine.substr(13);
    sidecar.grid.b = axisAfter(sidecar.run, "b");
    sidecar.grid.rr = axisAfter(sidecar.run, "rr");
    sidecar.parameters.orbits = numberAfter<std::int64_t>(sidecar.run, "orbits");
    sidecar.parameters.bounces = numberAfter<std::int64_t>(sidecar.run, "bounces");
    sidecar.parameters.seed = numberAfter<std::uint64_t>(sidecar.run, "seed");
    sidecar.parameters.boxesPerSide = numberAfter<int>(sidecar.run, "boxes");
    sidecar.parameters.thresholdFactor = numberAfter<double>(sidecar.run, "threshold_factor");
    sidecar.cells = numberAfter<std::int64_t>(cellsLine, "cells");
    sidecar.shard.index = numberAfter<std::int64_t>(shardLine, "index");
    sidecar.shard.count = numberAfter<std::int64_t>(shardLine, "count");
    sidecar.csvBytes = numberAfter<std::int64_t>(csvLine, "bytes");
  } catch (const std::runtime_error& e) {
    throw AtlasFileError(std::string("is not an atlas sidecar: it ") + e.what());
  }
  const auto digest = csvLine.find("\"sha256\": \"");
  if (digest != std::string::npos) sidecar.csvSha256 = csvLine.substr(digest + 11, 64);
  const bool hex = sidecar.csvSha256.size() == 64 &&
                   sidecar.csvSha256.find_first_not_of("0123456789abcdef") == std::string::npos;
  if (!hex) throw AtlasFileError("is not an atlas sidecar: its CSV's SHA-256 is not 64 hex digits");
  const auto within = [](std::int64_t v, std::int64_t low, std::int64_t high) {
    return low <= v && v <= high;
  };
  if (!within(sidecar.grid.b.count, 1, maxAxisValues) || !within(sidecar.grid.rr.count, 1, maxAxisValues) ||
      sidecar.cells != sidecar.grid.cellCount() || sidecar.shard.count < 1 || sidecar.shard.index < 0 ||
      sidecar.shard.index >= sidecar.shard.count || !within(sidecar.parameters.orbits, 1, maxAtlasOrbits) ||
      sidecar.parameters.bounces < 1 || !within(sidecar.parameters.boxesPerSide, 1, maxBoxesPerSide) ||
      sidecar.csvBytes < 0) {
    throw AtlasFileError("is not an atlas sidecar: its grid, cells, shard or parameters do not fit together");
  }
  return sidecar;
}

namespace {

// The exact double of 17 significant digits a row holds, or none for a text
// that is not one whole number ("abc", "1.5x", an empty field).
std::optional<double> realField(const std::string& text) {
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

std::optional<std::int64_t> wholeField(const std::string& text) {
  std::int64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

std::string realText(double v) {
  std::string s;
  appendReal(s, v);
  return s;
}

// Reads and checks one row (without its line end) against the sidecar;
// `fault` receives what is wrong, without the line's number.
bool checkRow(const std::string& line, const AtlasSidecar& sidecar, std::int64_t& cell, AtlasCell& v,
              std::string& fault) {
  static const char* const names[] = {
      "cell",          "b", "rr", "lyapunov_max", "lyapunov_median", "chaotic_orbits", "chaotic_fraction",
      "stopped_orbits"};
  const std::vector<std::string> f = fields(line);
  if (f.size() != rowFields) {
    fault = "has " + std::to_string(f.size()) + " fields, not " + std::to_string(rowFields);
    return false;
  }
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i].empty()) {
      fault = "has an empty " + std::string(names[i]);
      return false;
    }
  }
  const auto bad = [&](int column, const std::string& why) {
    fault =
        "has " + std::string(names[column]) + " " + quoted(f[static_cast<std::size_t>(column)]) + ", " + why;
    return false;
  };
  const std::optional<std::int64_t> c = wholeField(f[0]);
  if (!c) return bad(0, "not a whole number");
  if (*c < 0 || *c >= sidecar.cells) {
    return bad(0, "outside 0 to " + std::to_string(sidecar.cells - 1) + ", the grid's cells");
  }
  cell = *c;
  std::optional<double> reals[8];
  for (const int column : {1, 2, 3, 4, 6}) {
    reals[column] = realField(f[static_cast<std::size_t>(column)]);
    if (!reals[column]) return bad(column, "not a number");
  }
  const double b = sidecar.grid.bOf(cell);
  const double rr = sidecar.grid.rrOf(cell);
  if (!(*reals[1] == b)) return bad(1, "not cell " + std::to_string(cell) + "'s b, " + realText(b));
  if (!(*reals[2] == rr)) return bad(2, "not cell " + std::to_string(cell) + "'s R8/R, " + realText(rr));
  const std::int64_t orbits = sidecar.parameters.orbits;
  const std::optional<std::int64_t> stopped = wholeField(f[7]);
  if (!stopped) return bad(7, "not a whole number");
  if (*stopped < 0 || *stopped > orbits)
    return bad(7, "outside 0 to " + std::to_string(orbits) + ", the orbits");
  const std::optional<std::int64_t> chaotic = wholeField(f[5]);
  if (!chaotic) return bad(5, "not a whole number");
  if (*chaotic < 0 || *chaotic > orbits - *stopped) {
    return bad(5, "outside 0 to " + std::to_string(orbits - *stopped) + ", the orbits that did not stop");
  }
  const bool allStopped = *stopped == orbits;
  for (const int column : {3, 4}) {
    const std::string& text = f[static_cast<std::size_t>(column)];
    if (allStopped) {
      if (text != "nan") return bad(column, "not nan, though every orbit of the cell stopped");
    } else if (!std::isfinite(*reals[column]) || *reals[column] < 0) {
      return bad(column, "not a finite number of at least 0");
    }
  }
  if (!(0 <= *reals[6] && *reals[6] <= 1)) return bad(6, "outside 0 to 1");
  v.b = b;
  v.rr = rr;
  v.lyapunovMax = *reals[3];
  v.lyapunovMedian = *reals[4];
  v.chaoticOrbits = *chaotic;
  v.chaoticFraction = *reals[6];
  v.stoppedOrbits = *stopped;
  return true;
}

}  // namespace

AtlasPair readAtlasPair(const std::string& csvPath) {
  const std::string jsonPath = sidecarPath(csvPath);
  AtlasPair pair;
  std::string json;
  try {
    json = readWholeFile(jsonPath);
  } catch (const FileReadError& e) {
    throw AtlasFileError("cannot read the sidecar " + quoted(jsonPath) + " of " + quoted(csvPath) + ": " +
                         e.reason());
  }
  try {
    pair.sidecar = readAtlasSidecar(json);
  } catch (const AtlasFileError& e) {
    throw AtlasFileError(quoted(jsonPath) + " " + e.what());
  }
  const AtlasSidecar& sidecar = pair.sidecar;
  std::string csv;
  try {
    csv = readWholeFile(csvPath);
  } catch (const FileReadError& e) {
    throw AtlasFileError(e.what());
  }

  const auto fail = [&](const std::string& why) { throw AtlasFileError(quoted(csvPath) + " " + why); };
  std::istringstream in(csv);
  std::string line;
  if (!std::getline(in, line) || line != atlasHeader) fail("does not start with the atlas header");
  std::int64_t lineNumber = 1;
  while (std::getline(in, line)) {
    ++lineNumber;
    std::int64_t cell = 0;
    AtlasCell values;
    std::string fault;
    if (!checkRow(line, sidecar, cell, values, fault))
      fail("line " + std::to_string(lineNumber) + " " + fault);
    if (cell % sidecar.shard.count != sidecar.shard.index) {
      fail("holds cell " + std::to_string(cell) + ", which is not one of shard " +
           std::to_string(sidecar.shard.index) + "/" + std::to_string(sidecar.shard.count) + "'s");
    }
    if (!pair.rows.emplace(cell, AtlasRow{values, line + "\n"}).second) {
      fail("holds cell " + std::to_string(cell) + " twice");
    }
  }
  const std::size_t expected = shardCells(sidecar.grid, sidecar.shard.index, sidecar.shard.count).size();
  if (pair.rows.size() != expected) {
    fail("has " + std::to_string(pair.rows.size()) + " of its " + std::to_string(expected) + " cells");
  }
  const std::string digest = sha256Hex(csv);
  if (static_cast<std::int64_t>(csv.size()) != sidecar.csvBytes || digest != sidecar.csvSha256) {
    fail("does not match its sidecar " + quoted(jsonPath) + ": the sidecar names a CSV of " +
         std::to_string(sidecar.csvBytes) + " bytes with SHA-256 " + sidecar.csvSha256.substr(0, 12) +
         "..., the file has " + std::to_string(csv.size()) + " bytes with SHA-256 " + digest.substr(0, 12) +
         "... (the two come from different runs, or one was changed)");
  }
  return pair;
}

double atlasValue(const AtlasCell& cell, const std::string& column) {
  if (column == "lyapunov_max") return cell.lyapunovMax;
  if (column == "lyapunov_median") return cell.lyapunovMedian;
  if (column == "chaotic_orbits") return static_cast<double>(cell.chaoticOrbits);
  if (column == "chaotic_fraction") return cell.chaoticFraction;
  if (column == "stopped_orbits") return static_cast<double>(cell.stoppedOrbits);
  throw std::invalid_argument("no atlas column " + column);
}

}  // namespace trapezola
