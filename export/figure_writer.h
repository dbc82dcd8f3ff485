// A publishable figure of the phase portrait: the orbits' dots inside a frame
// with axes (s across with round tick values and the corners marked, phi up in
// fractions of pi), a title and an optional legend that names each orbit by its
// start, as PNG, SVG or PDF.
//
// The page is laid out in points (1/72 inch) for a physical width, 85 mm for
// one journal column or 180 mm for two; its texts are set at print size (7 to
// 9 pt). SVG and PDF pages have that width, a PNG is that width at a chosen
// resolution. Given the orbits' phase points, every dot sits at its exact
// (s, phi), one vector path an orbit in the orbit's colour; given only a
// portrait picture (the window's), its pixels are drawn as small rectangles.
//
// The window's File > Export figure and trapezola-cli render --figure and
// portrait --figure write figures through this one function.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "explorer/figure_layout.h"
#include "explorer/phase_window.h"
#include "raster/canvas.h"

namespace trapezola {

struct FigureContent {
  const toolkit::TCanvas* portrait = nullptr;  // the 794 x 681 portrait, used when orbits is empty
  std::vector<FigureOrbit> orbits;             // the exact dots, one colour an orbit
  double dotSize = 2;                          // a dot's side in portrait pixels (2 small, 3 big)
  bool grid = false;                           // red lines at the corners and at pi/4, pi/2, 3pi/4
  bool legend = false;                         // name each orbit by its start
  PhaseWindowRecord window;                    // the window it was drawn in
  std::array<double, 4> corners{};             // s1..s4: corners 2, 3, 4 and 1
  std::string title;
};

enum class FigureFormat { png, svg, pdf };

// By the file's extension (.png, .svg, .pdf, any case); none for another.
std::optional<FigureFormat> figureFormatFor(const std::string& path);

// The page: widthMm wide; a PNG is pngWidth pixels wide (the width at the
// resolution asked for), the height in proportion.
struct FigurePage {
  double widthMm = 180;
  int pngWidth = 2126;  // 180 mm at 300 dpi
};

// A figure holds every dot: its file grows with them (about 34 bytes a dot in
// SVG), so the dots of one figure have a bound.
inline constexpr std::int64_t maxFigureDots = 2000000;

inline constexpr int minimumPngWidth = 200;
inline constexpr int maximumPngWidth = 20000;

// The PNG width in pixels of widthMm at dpi dots per inch, rounded.
int pngWidthFor(double widthMm, double dpi);

// The file's bytes. Throws std::runtime_error when the format cannot be
// encoded.
std::string renderFigure(const FigureContent& content, FigureFormat format, const FigurePage& page);

// "b = 0.5, R8/R = 2": the figure's title, from the fields' texts.
std::string figureTitle(const std::string& b, const std::string& rr);

}  // namespace trapezola
