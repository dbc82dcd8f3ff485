// The explorer value: everything the main window's handlers share between one
// event and the next, in one copyable value that the window owns and passes to
// the functions below it. Nothing here is shared between windows, threads or
// front ends: trapezola-cli render and the Python module build values of their
// own, and a worker thread runs on copies taken from it.
#pragma once

#include <string>
#include <vector>

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_window.h"
#include "explorer/portrait_history.h"

namespace trapezola {

// The window's ball, with the start of a run: startS is the perimeter
// coordinate of the start, and cosPhi holds the start angle's cosine until the
// first reflection.
struct WindowBall : Ball {
  double startS = 0;
};

// Pixel position of the last right-button press on the portrait.
struct PressPointRecord {
  double x = 0, y = 0;
};

// Where the last zoom's replayed orbit starts: the hovered phase point then.
struct ReplayStartRecord {
  double s = 0, phi = 0;
};

struct Explorer {
  // The table that the table fields, the picture loader and "go" rebuild, and
  // that launch and the pointer read-out tilt (sideTilt). Before the first
  // build every field is zero.
  BilliardTable table;
  // The ball of the window's runs, read-out paths, forecasts and analyses.
  WindowBall ball;
  // Where the last orbit run ended; all zero makes the next "go" start afresh.
  ResumeStateRecord resume;
  // The visible rectangle of the portrait and its pixel scales.
  PhaseWindowRecord window;
  // The phase windows before each zoom, the latest last, for View > Back.
  std::vector<PhaseWindowRecord> zoomHistory;
  // Where the right button last went down on the portrait.
  PressPointRecord pressPoint;
  // The start of the orbit that a zoom, View > Back and View > Full view replay.
  ReplayStartRecord replayStart;
  // The phase point under the pointer at the last accepted pointer move.
  HoverPointRecord hover;
  // Presses of "go" (the picture loader sets 2); the read-out and the right
  // button need one.
  int runCount = 0;
  // Size of plotted points in pixels: the point-size box's item index + 2.
  int pointSize = 0;
  // Bounces per pass of an orbit run (a run makes 1000 passes), as last read
  // from the repeat field.
  int repeatCount = 0;
  // The b field as last typed (or restored by the picture loader).
  double enteredB = 1.0;
  // The table's radii and corner coordinates as shown in Label1.
  std::string geometrySummary;
  // The prompt shown when the b field is left; empty until then.
  std::string parameterPrompt;
  // Every step that drew the portrait since it was last blank: what Save
  // portrait writes and render --replay redraws.
  PortraitHistory history;
};

}  // namespace trapezola
