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
#include "core/geometry/table_geometry.h"

namespace trapezola {

// The label text, or nothing when the label keeps what it showed: a typed period
// of 1000 computes no matrix and has nothing to say.
std::optional<std::string> analysisLabel(const PeriodicOrbitAnalysis& analysis);

// The trapezola-cli analyse command that repeats the window's right-click
// analysis at the phase point (s, phi) of `table`: b, R8/R, s and phi (in
// radians, --phi) with 17 significant digits, so that each reads back to the
// same bits, then the period field's value (0: search), the sensitivity
// slider's position and the Lyapunov window's block size and count.
std::string analyseCommandText(const BilliardTable& table, double s, double phi, int period, int sensitivity,
                               int blockSize, int blockCount);

}  // namespace trapezola
