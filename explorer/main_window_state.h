// State of the main window's handlers that outlives any one of them. Like the
// table and the ball, each record exists once, for the whole run of the program.
#pragma once

#include <string>

namespace trapezola {

// Position and direction (table coordinates, unit direction) at the end of the
// last orbit run. All zero means the next "go" starts afresh from the fields.
struct ResumeStateRecord {
  double x = 0, y = 0;
  double dx = 0, dy = 0;
};
extern ResumeStateRecord ResumeState;

// The phase point under the pointer at the last accepted pointer move, and its
// point on the boundary (table coordinates).
struct HoverPointRecord {
  double s = 0, phi = 0;
  double x = 0, y = 0;
};
extern HoverPointRecord HoverPoint;

// Presses of "go" (the picture loader sets 2); the pointer read-out needs one.
extern int runCount;
// Size of plotted points in pixels: the point-size box's item index + 2.
extern int pointSize;
// The b field as last typed (or restored by the picture loader).
extern double enteredB;
// The table's radii and corner coordinates as shown in Label1.
extern std::string geometrySummary;
// The prompt shown when the b field is left; empty until then.
extern std::string parameterPrompt;

inline constexpr const char* parameterPromptText =
    "What is the parameter of the transformation!\n(1-circle ... infinite-squash)";

}  // namespace trapezola
