// Everything a saved portrait needs to be reproduced and continued, as the
// key/value texts of its PNG file (tEXt chunks), and the stored-portrait file
// name that "load" has always read.
//
// Keys: "Trapezola" (the program version; its presence marks a record), "b",
// "R8/R", "distance", "angle", "repeat" (the fields' texts as typed), "sMin",
// "sMax", "phiMin", "phiMax", "scaleS", "scalePhi" (the phase window),
// "point size" (pixels), "colour" (TColor 0x00BBGGRR, decimal) and "resume"
// (x y dx dy of the orbit's end, "0 0 0 0" for a fresh start). Numbers are
// written with 17 significant digits, so that they read back to the same bits.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "explorer/main_window_state.h"
#include "explorer/phase_window.h"
#include "raster/canvas.h"

namespace trapezola {

struct PortraitRecord {
  std::string b, rr, distance, angle, repeat;
  PhaseWindowRecord window;
  int pointSize = 2;
  toolkit::TColor colour = toolkit::clBlack;
  ResumeStateRecord resume;
  std::string version;
};

std::vector<std::pair<std::string, std::string>> portraitTexts(const PortraitRecord& record);

// A number with 17 significant digits ("%.17g"), which reads back to the same
// bits: the texts of a saved portrait and its history, and the commands the
// window writes.
std::string exactNumber(double v);

// The record of a picture's texts; none when the picture carries no record or
// one that does not read (a missing key, a number that is not one).
std::optional<PortraitRecord> portraitRecordFromTexts(const std::map<std::string, std::string>& texts);

// B_<b>_rr_<rr>_i<repeat>_kx_<sMax>_kn_<sMin>_px_<phiMax>_pn_<phiMin>.png, each
// window value in exactly the 7 characters the loader reads (8.017375 becomes
// 8.01738); none when a value does not fit in 7 characters.
std::optional<std::string> storedPortraitFileName(const std::string& bText, const std::string& rrText,
                                                  long long repeat, const PhaseWindowRecord& window);

}  // namespace trapezola
