#include "cli/atlas_files.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <stdexcept>

#include "core/analysis/finite_time_lyapunov.h"

namespace trapezola::cli {

const char* const atlasHeader =
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
                         const AtlasShard& shard) {
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
  s += "]\n}\n";
  return s;
}

AtlasSidecar readAtlasSidecar(std::istream& in) {
  AtlasSidecar sidecar;
  std::string line;
  std::string shardLine;
  std::string cellsLine;
  std::string versionLine;
  while (std::getline(in, line)) {
    if (line.rfind("  \"run\": ", 0) == 0) sidecar.run = line.substr(9);
    if (line.rfind("  \"shard\": ", 0) == 0) shardLine = line;
    if (line.rfind("  \"cells\": ", 0) == 0) cellsLine = line;
    if (line.rfind("  \"version\": ", 0) == 0) versionLine = line;
  }
  if (sidecar.run.empty() || shardLine.empty() || cellsLine.empty() || versionLine.empty()) {
    throw std::runtime_error("is not an atlas sidecar (no run, cells, shard or version line)");
  }
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
  if (sidecar.grid.b.count < 1 || sidecar.grid.rr.count < 1 || sidecar.cells != sidecar.grid.cellCount() ||
      sidecar.shard.count < 1 || sidecar.shard.index < 0 || sidecar.shard.index >= sidecar.shard.count) {
    throw std::runtime_error("has a grid, cell count or shard that do not fit together");
  }
  return sidecar;
}

AtlasSidecar readAtlasSidecar(const std::string& json) {
  std::istringstream in(json);
  return readAtlasSidecar(in);
}

std::map<std::int64_t, std::string> readAtlasRows(std::istream& in) {
  std::string line;
  if (!std::getline(in, line) || line != atlasHeader)
    throw std::runtime_error("does not start with the atlas header");
  std::map<std::int64_t, std::string> rows;
  std::int64_t lineNumber = 1;
  while (std::getline(in, line)) {
    ++lineNumber;
    const std::vector<std::string> f = fields(line);
    std::int64_t cell = -1;
    const auto [end, ec] = std::from_chars(f[0].data(), f[0].data() + f[0].size(), cell);
    if (f.size() != rowFields || ec != std::errc() || end != f[0].data() + f[0].size() || cell < 0) {
      throw std::runtime_error("line " + std::to_string(lineNumber) + " is not an atlas row");
    }
    if (!rows.emplace(cell, line + "\n").second) {
      throw std::runtime_error("holds cell " + std::to_string(cell) + " twice");
    }
  }
  return rows;
}

double atlasRowValue(const std::string& row, const std::string& column) {
  std::string trimmed = row;
  if (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
  const std::vector<std::string> f = fields(trimmed);
  for (std::size_t i = 0; i < std::size(atlasValueColumns); ++i) {
    if (column != atlasValueColumns[i]) continue;
    const std::string& text = f.at(3 + i);
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) {
      throw std::runtime_error("has a " + column + " that is not a number: " + text);
    }
    return v;
  }
  throw std::invalid_argument("no atlas column " + column);
}

}  // namespace trapezola::cli
