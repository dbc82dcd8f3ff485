// The parameters a stored portrait carries in its file name, e.g.
//   B_0.5_rr_2.5_i40_kx_6.11234_kn_0.00000_px_3.14159_pn_0.00000.jpg
// b stands between the first "B_" and the first "_rr_", R8/R between the first
// "rr_" and the first "_i"; the phase window's sMax, sMin, phiMax and phiMin are
// the 7 characters after the first "kx_", "kn_", "px_" and "pn_". The whole path
// is searched, directories included, and the markers are case-sensitive.
#pragma once

#include <string>
#include <string_view>

namespace trapezola {

// 1-based position of the first occurrence of `sub` in `s`, 0 when absent.
int Pos(std::string_view sub, std::string_view s);

// Up to `length` characters of `s` from the 1-based position `start`: a start
// below 1 counts as 1, a length past the end is cut there, and a length of 0 or
// less or a start beyond the end gives the empty text.
std::string Copy(std::string_view s, int start, int length);

struct StoredPortraitTexts {
  std::string b, rr, sMax, sMin, phiMax, phiMin;
};

// The six value texts of a path, unconverted; a missing marker gives whatever
// the extraction rules make of position 0.
StoredPortraitTexts storedPortraitTexts(std::string_view path);

struct StoredPortraitValues {
  double b, rr, sMax, sMin, phiMax, phiMin;
};

// The six texts read with StrToFloat, all of them or none: the first that does
// not convert, in the order the name's fields are read, throws the toolkit's
// EConvertError naming it.
StoredPortraitValues storedPortraitValues(const StoredPortraitTexts& texts);

}  // namespace trapezola
