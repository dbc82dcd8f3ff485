// The subcommands of trapezola-cli. Each parses its options, calls the same
// core operations as the window, and prints; a refusal throws UsageError before
// anything reaches standard output.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/geometry/table_geometry.h"
#include "report/buffered_output.h"

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
int periodicCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
int continueCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

// The table as one JSON object keyed by the BilliardTable field names.
void writeTable(BufferedOutput& out, const BilliardTable& table);

}  // namespace trapezola::cli
