#include "explorer/geometry_summary.h"

#include "raster/conversions.h"

namespace trapezola {

namespace {

using toolkit::FloatToStrF;

std::string radiusText(double value) {
  return FloatToStrF(value, toolkit::ffGeneral, 5, 3);
}
std::string cornerText(double value) {
  return FloatToStrF(value, toolkit::ffGeneral, 7, 3);
}

}  // namespace

std::string buildGeometrySummary(const BilliardTable& table) {
  std::string text;
  // Compared exactly: b typed as 1 is exactly 1.0, and any other value, however
  // close, gets the short form.
  if (table.b == 1.0) text = "delta= " + radiusText(table.delta * 180 / pi) + " degree\n\n";
  text += "r=" + radiusText(table.radiusTop) + "  R8=" + radiusText(table.radiusSide) +
          "  R=" + radiusText(table.radiusBottom);
  text += "\n\ncorners: " + cornerText(table.s1) + " .. " + cornerText(table.s2) + " .. " +
          cornerText(table.s3) + " .. " + cornerText(table.s4) + ")";
  return text;
}

std::string buildDistancePrompt(const BilliardTable& table) {
  const auto perimeterText = [](double value) { return FloatToStrF(value, toolkit::ffGeneral, 7, 5); };
  std::string text;
  if (table.b == 1.0) text = "delta=" + radiusText(table.delta * 180 / pi) + " degree\n";
  text += "r=" + radiusText(table.radiusTop) + "  R8=" + radiusText(table.radiusSide) +
          "  R=" + radiusText(table.radiusBottom);
  text += "\n\nDistance from the first corner?\n(0 . . " + perimeterText(table.s1) + " . . " +
          perimeterText(table.s2) + " . . " + perimeterText(table.s3) + " . . " + perimeterText(table.s4) +
          ")";
  return text;
}

}  // namespace trapezola
