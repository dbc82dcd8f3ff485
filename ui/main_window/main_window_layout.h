// The main window's controls as laid out: each by its layout name, where it
// sits and what it says at start-up. The window builds its controls from this
// table, in its order, so later ones lie on top where they overlap; the layout
// test reads the same table.
//
// Positions are (left, top) in the client area, sizes width x height, all in
// pixels. A font height follows the classic rule (-13 is 10-point text); 0 is
// the window's own font (-11).
#pragma once

#include <array>

namespace trapezola {

enum class ControlKind {
  label,
  edit,
  button,
  image,
  progressBar,
  checkBox,
  comboBox,
  colorBox,
  verticalTrackBar
};

struct ControlLayout {
  const char* name;  // object name and accessible description
  ControlKind kind;
  int left, top, width, height;
  // The caption of a label, button or check box, the first text of a field or
  // list; none for controls that show no text.
  const char* caption;
  const char* hint;
  int fontHeight;
  bool bold;
  // A label that widens to its caption; every other control keeps its size.
  bool growsWithText;
};

inline constexpr const char* bFieldHint =
    "half length of the shortest side of the circular trapezoid (0 triangle ... 1 square)";
inline constexpr const char* ratioFieldHint =
    "The ratio between the largest and the large radii (1 circle ... infinite - squash)";
inline constexpr const char* distanceFieldHint =
    "The distance from the top right corner of the geometry, measured on the perimeter";
inline constexpr const char* angleFieldHint =
    "the angle between the trajectory and the local tangent (0...180)";

inline constexpr int mainWindowFontHeight = -11;
inline constexpr int mainWindowLargeFontHeight = -13;

// clang-format off
inline constexpr std::array<ControlLayout, 30> mainWindowLayout = {{
  {"Label1", ControlKind::label, 8, 176, 201, 145,
   "    Parameter of the circular               trapezoid            (0-triangle ...1-square)", "",
   mainWindowLargeFontHeight, true, false},
  {"Label2", ControlKind::label, 24, 8, 17, 16, "b : ", bFieldHint, mainWindowLargeFontHeight, false, true},
  {"Label4", ControlKind::label, 8, 35, 39, 16, "R8/R :", ratioFieldHint, mainWindowLargeFontHeight, false, true},
  {"Label5", ControlKind::label, 0, 62, 57, 16, "distance :", distanceFieldHint, mainWindowLargeFontHeight, false,
   true},
  {"Label6", ControlKind::label, 16, 89, 40, 16, "angle :", angleFieldHint, mainWindowLargeFontHeight, false, true},
  {"Label7", ControlKind::label, 8, 116, 39, 16, "repeat", "", mainWindowLargeFontHeight, false, true},
  {"Label8", ControlKind::label, 8, 408, 209, 17, "", "", mainWindowLargeFontHeight, false, false},
  {"faziskep", ControlKind::image, 224, 8, 794, 681, nullptr, "", 0, false, false},
  {"vazlat", ControlKind::image, 8, 424, 209, 241, nullptr, "", 0, false, false},
  {"Label3", ControlKind::label, 104, 118, 65, 17, "x1000 times", "", 0, false, false},
  {"Label10", ControlKind::label, 8, 672, 63, 16, "short sigth:", "", mainWindowLargeFontHeight, false, true},
  {"Label11", ControlKind::label, 8, 320, 201, 41, "", "", mainWindowFontHeight, true, false},
  {"Label9", ControlKind::label, 8, 392, 209, 17, "", "", 0, false, false},
  {"Label12", ControlKind::label, 8, 408, 3, 13, "", "", 0, false, true},
  {"Edit1", ControlKind::edit, 56, 8, 105, 21, "", bFieldHint, 0, false, false},
  {"Edit2", ControlKind::edit, 56, 35, 105, 21, "", ratioFieldHint, 0, false, false},
  {"Button1", ControlKind::button, 168, 116, 49, 22, "go", "", 0, false, false},
  {"Edit3", ControlKind::edit, 56, 62, 105, 21, "", distanceFieldHint, 0, false, false},
  {"Edit4", ControlKind::edit, 56, 89, 105, 21, "", angleFieldHint, 0, false, false},
  {"Edit5", ControlKind::edit, 56, 116, 49, 21, "", "", 0, false, false},
  // As designed, the bar reaches three pixels below the client area, which clips it.
  {"ProgressBar1", ControlKind::progressBar, 0, 696, 1020, 17, nullptr, "", 0, false, false},
  {"CheckBox3", ControlKind::checkBox, 168, 8, 49, 25, "grid", "", 0, false, false},
  {"ComboBox1", ControlKind::comboBox, 62, 365, 49, 21, "small", "Pontméret", 0, false, false},
  {"ColorBox1", ControlKind::colorBox, 115, 365, 38, 22, nullptr, "", -1, false, false},
  {"kovetes", ControlKind::comboBox, 72, 670, 57, 21, "0", "", 0, false, false},
  {"Button2", ControlKind::button, 160, 363, 57, 25, "load", "", 0, false, false},
  {"Button4", ControlKind::button, 6, 363, 49, 25, "clear", "", 0, false, false},
  {"TrackBar1", ControlKind::verticalTrackBar, 184, 26, 33, 79, nullptr, "\"érzékenység\"", 0, false, false},
  {"Edit6", ControlKind::edit, 160, 648, 57, 21, "0", "periódus?", 0, false, false},
  {"CheckBox4", ControlKind::checkBox, 13, 140, 188, 17, "Lg(Tr) graph to Ljapunov exponent", "", 0, false,
   false},
}};
// clang-format on

}  // namespace trapezola
