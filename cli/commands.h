// The subcommands of trapezola-cli. Each parses its options, calls the same
// core operations as the window, and prints; a refusal throws UsageError before
// anything reaches standard output.
#pragma once

#include <cstdint>
#include <cstdio>

#include "cli/output.h"
#include "core/geometry/table_geometry.h"

namespace trapezola::cli {

class Arguments;

// The options every command reads alike, each refused outside its range: --b,
// --rr, --angle (degrees) and --shadow-tolerance (default 1e-9).
double shapeB(const Arguments& args);
double shapeRr(const Arguments& args);
double startAngle(const Arguments& args);
double shadowTolerance(const Arguments& args);

// Each writes its result to `out`. A refusal is thrown, never written; `err`
// takes the messages of failures that come after the arguments were accepted.
int tableCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int orbitCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int renderCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int portraitCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int analyseCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int atlasCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int atlasMergeCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int atlasPlotCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

struct OrbitRequest {
  double b = 0;
  double rr = 0;
  double distance = 0;
  double angleDegrees = 0;
  std::int64_t bounces = 0;
  std::int64_t every = 1;
};

// Sets up the table and the start as a fresh "go" run does, performs the
// bounces and writes the CSV rows (header included). Returns the bounce at
// which the orbit left the table (its collision search found no arc), with the
// rows before it written, or 0. Stops early, returning 0, when a write failed.
std::int64_t writeOrbit(const OrbitRequest& request, BufferedOutput& out);

// The same with the drift column of the precision horizon against `tolerance`
// (see ShadowedOrbit); the first bounce whose drift exceeds it always has a row.
std::int64_t writeShadowedOrbit(const OrbitRequest& request, double tolerance, BufferedOutput& out);

// The table as one JSON object keyed by the TableGeometry field names.
void writeTable(BufferedOutput& out, const BilliardTable& table);

}  // namespace trapezola::cli
