#include "ui/lyapunov_window/lyapunov_graph.h"

namespace trapezola {

LyapunovGraphRecord LyapunovGraph;

}  // namespace trapezola
