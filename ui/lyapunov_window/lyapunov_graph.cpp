#include "ui/lyapunov_window/lyapunov_graph.h"

#include "raster/canvas.h"

namespace trapezola {

LyapunovGraphRecord LyapunovGraph;

// The products are taken in double: the single-precision scales widen exactly,
// and a value of any size still maps to a defined pixel.
int graphColumn(double block) {
  return toolkit::pixelFromReal(block * static_cast<double>(LyapunovGraph.xStep) + 5);
}

int graphRow(double value) {
  return toolkit::pixelFromReal(330 - value * static_cast<double>(LyapunovGraph.yScale));
}

}  // namespace trapezola
