#include "cli/periodic_options.h"

#include <string>

#include "cli/arguments.h"
#include "core/geometry/boundary.h"
#include "core/geometry/parameter_ranges.h"
#include "core/geometry/table_geometry.h"
#include "core/jobs/request_limits.h"

namespace trapezola::cli {

int periodOption(const Arguments& args) {
  const std::int64_t n = args.integer("period", 2);
  if (n > maxPeriodicPeriod) args.refuse("period", "is above " + std::to_string(maxPeriodicPeriod));
  return static_cast<int>(n);
}

PhasePoint nearOption(const Arguments& args, const BilliardTable& table) {
  const std::string& text = args.text("near");
  const auto comma = text.find(',');
  double s = 0;
  double degrees = 0;
  if (comma == std::string::npos || !parseReal(text.substr(0, comma), s) ||
      !parseReal(text.substr(comma + 1), degrees)) {
    args.refuse("near", "is not S,DEG (two numbers)");
  }
  if (!startAngleRange.accepts(degrees)) args.refuse("near", "has DEG outside (0, 180)");
  return PhasePoint{wrappedPerimeterCoordinate(s, table.s4), startAngleRadians(degrees)};
}

void jsonKey(BufferedOutput& out, const char* name, int indent) {
  for (int i = 0; i < indent; ++i) out.character(' ');
  out.character('"');
  out.text(name);
  out.text("\": ");
}

void jsonString(BufferedOutput& out, std::string_view text) {
  out.character('"');
  for (const char c : text) {
    if (c == '"' || c == '\\') out.character('\\');
    out.character(c);
  }
  out.character('"');
}

}  // namespace trapezola::cli
