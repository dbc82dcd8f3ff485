// The visible rectangle of the phase portrait and its pixel scales.
//
// A phase point (s, phi) is plotted at x = trunc((s - sMin) * scaleS + 6),
// y = trunc(678 - (phi - phiMin) * scalePhi) on the 794 x 681 portrait; the
// plotting area is 778 x 666 pixels. The scales do not follow the limits by
// themselves: launch, clear, zoom and the picture loader recompute them.
#pragma once

namespace trapezola {

struct PhaseWindowRecord {
  double sMin = 0;
  double sMax = 13.0;
  double phiMin = 0;
  double phiMax = 3.141592653589793;
  double scaleS = 1.0;
  double scalePhi = 211.9938884644767;  // 666 / 3.1416, the start value

  bool operator==(const PhaseWindowRecord&) const = default;
};

// Width and height in pixels of the portrait's plotting area.
inline constexpr double plotAreaWidth = 778;
inline constexpr double plotAreaHeight = 666;

}  // namespace trapezola
