// The subcommands of trapezola-cli. Each parses its options, calls the same
// core operations as the window, and prints; a refusal throws UsageError before
// anything reaches standard output.
#pragma once

#include <cstdint>
#include <cstdio>

#include "cli/output.h"
#include "core/geometry/table_geometry.h"

namespace trapezola::cli {

// Each writes its result to `out`. A refusal is thrown, never written; `err`
// takes the messages of failures that come after the arguments were accepted.
int tableCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int orbitCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int renderCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int portraitCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int analyseCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

struct OrbitRequest {
  double b = 0;
  double rr = 0;
  double distance = 0;
  double angleDegrees = 0;
  std::int64_t bounces = 0;
  std::int64_t every = 1;
};

// Sets up the table and the start as a fresh "go" run does, performs the
// bounces and writes the CSV rows (header included).
void writeOrbit(const OrbitRequest& request, BufferedOutput& out);

// The table as one JSON object keyed by the TableGeometry field names.
void writeTable(BufferedOutput& out, const BilliardTable& table);

}  // namespace trapezola::cli
