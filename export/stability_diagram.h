// The stability diagram of a continued periodic orbit: the trace of its n-fold
// map against the family parameter, with the lines trace = +2 and -2 between
// which the orbit is elliptic (the band is shaded), and the bifurcations
// marked. It paints with QtGui's painter, as the heat map does (text needs a
// QGuiApplication in the process), and hands back the encoded PNG.
//
// Layout, in pixels of the 960 x 640 picture (origin top left): the curve
// fills the plot area [left, right) x [top, bottom) below a two-line title; the
// parameter runs across from its first to its last value (right to left when
// it falls), the trace up. Traces beyond +-traceClip are drawn at the clip.
#pragma once

#include <string>
#include <vector>

namespace trapezola {

struct StabilityDiagram {
  std::string title;
  std::string subtitle;
  std::string parameterName;  // the axis label across
  std::vector<double> parameters;
  std::vector<double> traces;  // one per parameter; NaN leaves a gap
  struct Mark {
    double parameter = 0;
    double trace = 0;  // 2 or -2
    std::string label;
  };
  std::vector<Mark> bifurcations;
};

inline constexpr int stabilityWidth = 960;
inline constexpr int stabilityHeight = 640;
inline constexpr double traceClip = 25;

// The trace range drawn: the traces' range widened to include [-2.5, 2.5],
// then 5% more on each side, and clipped to [-traceClip, traceClip].
void stabilityTraceRange(const StabilityDiagram& diagram, double& low, double& high);

// The encoded PNG. Throws std::runtime_error for a diagram without points or
// one that cannot be encoded.
std::string renderStabilityDiagram(const StabilityDiagram& diagram);

}  // namespace trapezola
