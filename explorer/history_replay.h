// A portrait drawn again from its history alone (portrait_history.h), pixel for
// pixel what the window showed when it was saved, and the history's dots as
// numbers: what trapezola-cli render --replay, File > Export orbit data and the
// Python module's replay do.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "explorer/figure_layout.h"
#include "explorer/portrait_history.h"
#include "raster/canvas.h"

namespace trapezola {

// Draws every step of `history` onto `canvas`, a portrait-sized canvas that
// starts white, as the window drew them; many-orbit fills on `threads`
// threads (the picture does not depend on it). None when the history is
// replayed whole; otherwise what stopped it (an unreplayable history, a step
// whose orbit leaves the table before its last bounce).
std::optional<std::string> replayHistory(const PortraitHistory& history, toolkit::TCanvas& canvas,
                                         int threads = 1);

// One dot of a history's orbits: orbit number, bounce number within the orbit
// (0 for an orbit's start), and the phase point.
struct HistoryDot {
  std::int64_t orbit = 0;
  std::int64_t bounce = 0;
  double s = 0, phi = 0;
};

// Every bounce the history's runs and many-orbit fills computed, each orbit's
// start (bounce 0) first where the orbit begins in the history, in the order of
// the steps (a many-orbit fill orbit after orbit), whether or not it lies in
// the window: the rows trapezola-cli orbit prints for the same starts. A run
// that leaves the table ends its rows there.
void forEachHistoryDot(const PortraitHistory& history, const std::function<void(const HistoryDot&)>& dot);

// The orbits the portrait shows, for a figure: the dots of the steps since the
// portrait was last cleared (a clear, a zoom or a many-orbit fill clears it),
// one FigureOrbit an orbit in its colour (a fill's in the palette), each named
// by its start. Empty when the history cannot say (a picture loaded without
// one) or the dots would be more than maxDots: the figure then draws the
// portrait's pixels.
std::vector<FigureOrbit> visibleOrbits(const PortraitHistory& history, std::int64_t maxDots);

}  // namespace trapezola
