// What the phase portrait shows, as the steps that drew it: every orbit run,
// clear, grid and many-orbit fill since the portrait was last blank, each with
// what it needs to be drawn again to the last pixel and bit (the table, the
// ball it started from, how many bounces, the colour, the dot size and the
// phase window). The window appends a step whenever it draws; File > Save
// portrait writes the history into the PNG's texts (key "history"), load reads
// it back, and trapezola-cli render --replay and the Python module redraw a
// saved portrait from it alone (history_replay.h).
//
// The text: a first line "trapezola-history 1" (or "trapezola-history 1
// unreplayable" for a portrait that began as a picture loaded without a
// history), then one line a step: its name and key=value fields separated by
// spaces, numbers with 17 significant digits so that they read back to the
// same bits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry/ball_state.h"
#include "core/geometry/phase_point.h"
#include "core/geometry/table_geometry.h"
#include "explorer/phase_window.h"
#include "raster/canvas.h"

namespace trapezola {

enum class HistoryStepKind : std::uint8_t {
  go,           // a fresh "go": the ball launched from the fields
  resume,       // "go" or continue on from where the last run ended or stopped
  doubleClick,  // a double click: a run from the hovered phase point
  zoomReplay,   // a zoom, View > Back or Full view: all but the last column
                // cleared, then the zoom's orbit replayed in the new window
  orbits,       // Run > Many orbits: the whole portrait cleared, then the orbits
  grid,         // the frame, grid and corner curves drawn over the dots
  ungrid,       // the grid taken off: the dots as they were before it
  clear,        // the clear button: all but the last column white
  wipe,         // the whole portrait white (a run on another table)
  marks,        // Run > Find periodic orbit: a small circle round each point
};

struct HistoryStep {
  HistoryStepKind kind = HistoryStepKind::go;
  // The table (b, R8/R and the side tilt its reflections used, bit for bit)
  // and the phase window the step drew in.
  double b = 0, rr = 0, sideTilt = 0;
  PhaseWindowRecord window;

  // A grid: the angle its corner-curve walk starts from (s and phi below; the
  // walk keeps the last angle where a corner's angle is undefined).
  // Orbit runs (go, resume, doubleClick, zoomReplay): the orbit's number in
  // the history (a resume continues the orbit before it), the start's phase
  // point and the ball there, and the bounces drawn: firstBounce..lastBounce of
  // that orbit (none when lastBounce < firstBounce).
  std::int64_t orbit = 0;
  double s = 0, phi = 0;
  double x = 0, y = 0, dx = 0, dy = 0;
  std::int64_t firstBounce = 1, lastBounce = 0;
  toolkit::TColor colour = toolkit::clBlack;
  int dotSize = 2;

  // Many orbits: `count` orbits spread over the phase space (seed 0), each of
  // `bounces` bounces; for a stopped fill, the bounces each orbit reached (one
  // entry an orbit), empty when every orbit ran to the end.
  std::int64_t count = 0, bounces = 0;
  std::vector<std::int64_t> reached;

  // Marks: the periodic orbit's points, circled in `colour` in `window`.
  std::vector<PhasePoint> points;

  bool operator==(const HistoryStep&) const = default;
};

// Whether a step runs an orbit (go, resume, double click, a zoom's replay),
// and how many bounces it draws: firstBounce..lastBounce, none when the last
// lies before the first.
bool isOrbitRun(HistoryStepKind kind);
std::int64_t runBounces(const HistoryStep& step);

struct PortraitHistory {
  // False once the portrait holds pixels that no step describes (a picture
  // loaded without a history): such a history is kept and saved, but cannot be
  // replayed.
  bool replayable = true;
  std::vector<HistoryStep> steps;

  bool operator==(const PortraitHistory&) const = default;
};

// Appending, as the window draws. A run step takes the ball it starts from and
// the bounces it drew; a resume continues the orbit of the last go, resume or
// double click (its number, its bounces counted on), every other run begins a
// new orbit. A wipe leaves a blank portrait and so an empty history.
void recordRun(PortraitHistory& history, HistoryStepKind kind, const BilliardTable& table,
               const PhaseWindowRecord& window, const Ball& start, double s, double phi, std::int64_t bounces,
               toolkit::TColor colour, int dotSize);
void recordGrid(PortraitHistory& history, const BilliardTable& table, const PhaseWindowRecord& window,
                double walkerPhi);
void recordOrbits(PortraitHistory& history, const BilliardTable& table, const PhaseWindowRecord& window,
                  std::int64_t count, std::int64_t bounces, std::vector<std::int64_t> reached);
void recordMarks(PortraitHistory& history, const PhaseWindowRecord& window, toolkit::TColor colour,
                 std::vector<PhasePoint> points);
void recordPlain(PortraitHistory& history, HistoryStepKind kind);  // clear, ungrid or wipe

// The key of the history among a PNG's texts.
inline constexpr const char* historyTextKey = "history";

std::string historyText(const PortraitHistory& history);

// The history a text describes, every field checked (tables inside the
// engine's ranges, finite numbers, counts and colours within their ranges);
// none, with `fault` saying what is wrong and where, otherwise.
std::optional<PortraitHistory> historyFromText(const std::string& text, std::string& fault);

// The number of orbit-run and many-orbit bounces a history's replay computes.
double historyBounces(const PortraitHistory& history);

}  // namespace trapezola
