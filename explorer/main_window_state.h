// Records of the main window's state that outlive any one handler; the
// explorer value (explorer.h) holds one of each.
#pragma once

namespace trapezola {

// Position and direction (table coordinates, unit direction) at the end of the
// last orbit run. All zero means the next "go" starts afresh from the fields.
struct ResumeStateRecord {
  double x = 0, y = 0;
  double dx = 0, dy = 0;
};

// The phase point under the pointer at the last accepted pointer move, and its
// point on the boundary (table coordinates).
struct HoverPointRecord {
  double s = 0, phi = 0;
  double x = 0, y = 0;
};

inline constexpr const char* parameterPromptText =
    "What is the parameter of the transformation!\n(1-circle ... infinite-squash)";

}  // namespace trapezola
