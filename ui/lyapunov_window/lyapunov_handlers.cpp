// The Lyapunov window's own controls: the Ymax field, the fit button, the two
// track bars of the fit window and the double click that clears the graph.
#include "ui/lyapunov_window/lyapunov_graph.h"
#include "ui/lyapunov_window/tform3.h"
#include "ui/toolkit/conversions.h"

namespace trapezola {

// Takes effect with the next series; the graph on screen keeps its scale.
void TForm3::Edit3Change() {
  LyapunovGraph.yMax = static_cast<float>(toolkit::StrToFloat(Edit3->GetText()));
}

void TForm3::Button2Click() {}

void TForm3::Image1DblClick() {}

void TForm3::TrackBar1Change() {}

void TForm3::TrackBar2Change() {}

}  // namespace trapezola
