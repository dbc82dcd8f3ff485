// The heat map of one quantity over a grid of tables: cells coloured by value
// with the viridis colour map, the b axis across and the R8/R axis up, each with
// tick values, a colour bar with its scale, and a title. It draws with QtGui's
// painter (text needs a QGuiApplication in the process; the offscreen platform
// does) and hands back the encoded file, so its callers need no Qt.
//
// Layout, in pixels of the 960 x 720 picture (origin top left): the cells fill
// the plot area [plotLeft, plotRight) x [plotTop, plotBottom); column i of nb
// spans plotLeft + i (plotRight - plotLeft) / nb up to the next one (integer
// division), and row j of nr, counted from the bottom, likewise upwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trapezola {

struct HeatMap {
  std::string title;             // the first title line
  std::string subtitle;          // the second, smaller
  std::string valueName;         // beside the colour bar
  std::vector<double> bValues;   // across, increasing
  std::vector<double> rrValues;  // up, increasing
  // values[i * rrValues.size() + j] for (bValues[i], rrValues[j]); a NaN is a
  // missing cell, drawn grey and left out of the scale.
  std::vector<double> values;
};

inline constexpr int heatMapWidth = 960;
inline constexpr int heatMapHeight = 720;
inline constexpr int plotLeft = 100;
inline constexpr int plotRight = 760;
inline constexpr int plotTop = 90;
inline constexpr int plotBottom = 640;

// The colour of t in [0, 1] (clamped; NaN gives 0) as 0xRRGGBB: viridis
// (van der Walt and Smith, matplotlib 2015), perceptually uniform and readable
// in grey and by colour-blind readers, interpolated linearly between its
// colours at t = 0, 1/9, ..., 1.
std::uint32_t viridis(double t);

// The scale's ends: the smallest and largest finite value; a single value v
// gets [v - 0.5, v + 0.5] (and all-missing [0, 1]) so that the bar has a length.
void heatMapScale(const HeatMap& map, double& low, double& high);

// The pixel at the centre of cell (i, j).
void heatMapCellCentre(const HeatMap& map, std::size_t i, std::size_t j, int& x, int& y);

// The encoded picture: format "png", "svg" or "pdf". Throws std::runtime_error when the
// picture cannot be encoded.
std::string renderHeatMap(const HeatMap& map, const std::string& format);

}  // namespace trapezola
