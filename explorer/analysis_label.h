// The result line of a periodic-orbit analysis, as Label11 shows it.
//
// With a period: the period line ("period?: 3 ; 3 , 6 , 9" after the search, the
// bare period when typed), then the monodromy's trace to 7 significant digits
// and the orbit class, then m11 and m22 to 6 digits, all in the toolkit's
// general number format. Three searches that all ran out read "not periodic";
// when only some ran out, the lines stay and "not periodic" takes the class's
// place. A trace that is not a number is shown without a class.
#pragma once

#include <optional>
#include <string>

#include "core/analysis/periodic_orbit.h"

namespace trapezola {

// The label text, or nothing when the label keeps what it showed: a typed period
// of 1000 computes no matrix and has nothing to say.
std::optional<std::string> analysisLabel(const PeriodicOrbitAnalysis& analysis);

}  // namespace trapezola
