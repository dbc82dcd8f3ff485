// The ranges in which the tools accept a table's shape and a start's angle,
// with the words that refuse a value outside them. trapezola-cli and the
// Python module both check through these, so a refusal reads the same in a
// terminal and in a ValueError.
//
// b and rr are the table's shape parameters (table_geometry.h); the angle is in
// degrees against the counter-clockwise tangent.
#pragma once

#include "core/geometry/table_geometry.h"

namespace trapezola {

struct ParameterRange {
  bool (*accepts)(double value);
  // Follows the option's name and its text: "--b '0' is outside ...".
  const char* refusal;
};

// The ranges in which doubles hold the table (see tableParametersValid).
inline constexpr ParameterRange shapeBRange{
    [](double v) { return minimumB <= v && v <= 1; },
    "is outside [0.0001, 1], where the table's geometry is finite and convex in double precision"};

inline constexpr ParameterRange shapeRrRange{
    [](double v) { return 1 <= v && v <= maximumRr; },
    "is outside [1, 10000], where the table's geometry is finite and convex in double precision"};

// A start along the tangent (0 or 180 degrees) or outside the table meets no
// arc: every bounce after the start would be NaN.
inline constexpr ParameterRange startAngleRange{[](double v) { return 0 < v && v < 180; },
                                                "is outside (0, 180): the start must point into the table"};

}  // namespace trapezola
