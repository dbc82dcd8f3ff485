// What trapezola-cli periodic and continue read and write alike: the period,
// the start guess --near S,DEG, and the pieces of their JSON.
#pragma once

#include <string_view>

#include "core/analysis/periodic_solver.h"
#include "report/buffered_output.h"

namespace trapezola::cli {

class Arguments;

// --period N, 2 <= N <= maxPeriodicPeriod: no orbit of a billiard closes after
// one bounce.
int periodOption(const Arguments& args);

// --near S,DEG: S taken round the perimeter of `table`, DEG in (0, 180)
// converted to radians as orbit's --angle is.
PhasePoint nearOption(const Arguments& args, const BilliardTable& table);

// `  "name": ` at the given indent.
void jsonKey(BufferedOutput& out, const char* name, int indent = 2);
void jsonString(BufferedOutput& out, std::string_view text);

}  // namespace trapezola::cli
