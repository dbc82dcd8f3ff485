// The table summary shown in Label1 by "go" and by the distance field: radii with
// five significant digits, corner coordinates with seven, in the general format.
//
//   [delta= D degree\n\n]r=r  R8=R8  R=R\n\ncorners: s1 .. s2 .. s3 .. s4)
//
// The delta part (the half opening angle of the top arc, in degrees) appears only
// for b exactly 1. The text ends with ")" and has no opening parenthesis.
#pragma once

#include <string>

#include "core/geometry/table_geometry.h"

namespace trapezola {

std::string buildGeometrySummary(const BilliardTable& table);

// The variant shown when the R8/R field is left, which asks for the start
// distance and gives the corners' perimeter coordinates as its range:
//
//   [delta=D degree\n]r=r  R8=R8  R=R\n\nDistance from the first corner?\n(0 . . s1 . . s2 . . s3 . . s4)
std::string buildDistancePrompt(const BilliardTable& table);

}  // namespace trapezola
