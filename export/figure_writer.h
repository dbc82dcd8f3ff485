// A publishable figure of the phase portrait: the portrait's dots inside a
// frame with axes (s across, phi up, tick values of the phase window shown,
// the corners marked on the s axis) and a title, as PNG at a chosen width, SVG
// or PDF. In SVG and PDF every dot is a vector rectangle, not a picture.
//
// The window's File > Export figure and trapezola-cli render --figure write
// figures through this one function.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "explorer/phase_window.h"
#include "raster/canvas.h"

namespace trapezola {

struct FigureContent {
  const toolkit::TCanvas* portrait = nullptr;  // the 794 x 681 portrait
  PhaseWindowRecord window;                    // the window it was drawn in
  std::array<double, 4> corners{};             // s1..s4: corners 2, 3, 4 and 1
  std::string title;
};

enum class FigureFormat { png, svg, pdf };

// By the file's extension (.png, .svg, .pdf, any case); none for another.
std::optional<FigureFormat> figureFormatFor(const std::string& path);

// The file's bytes. A PNG is pngWidth pixels wide (at least 200), with the
// height in proportion. Throws std::runtime_error when the format cannot be
// encoded.
std::string renderFigure(const FigureContent& content, FigureFormat format, int pngWidth);

// "b = 0.5, R8/R = 2": the figure's title, from the fields' texts.
std::string figureTitle(const std::string& b, const std::string& rr);

}  // namespace trapezola
