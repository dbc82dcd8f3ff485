// The orbit runs of the main window without the window: what "go" and a double
// click on the portrait do between reading the fields and writing the labels.
// The window's handlers, the benchmarks and trapezola-cli render all run these,
// so a rendered portrait is pixel for pixel the window's.
#pragma once

#include "explorer/explorer.h"
#include "explorer/phase_portrait.h"
#include "raster/canvas.h"

namespace trapezola {

struct RunLook {
  int sizeIndex = 0;                          // ComboBox1.ItemIndex: 0 small, 1 big, -1 none
  toolkit::TColor colour = toolkit::clBlack;  // ColorBox1.Selected
  bool grid = true;                           // CheckBox3.Checked
};

// The look of a run on the portrait: the point size rule (explorer.pointSize)
// and the pen and brush in the run's colour.
void prepareRun(Explorer& explorer, toolkit::TCanvas& portrait, const RunLook& look);

// Whether no run has left a state to continue from (a fresh go launches).
bool resumeStateIsZero(const ResumeStateRecord& resume);

// The start of a go press's run: a fresh launch when the resume state is all
// zero, otherwise the ball on from it with the scales as they stand; counts the
// run.
void beginGoRun(Explorer& explorer);

// A go press after setupTable: starts fresh with launch when the resume state
// is all zero and continues from it otherwise; counts the run, plots 1000
// passes of repeatCount bounces, draws the grid when asked and saves the end
// state. Returns noArcAccepted when the orbit left the table (a bounce found no
// arc) and the run ended there, badArcIndex when a hit named no arc.
BounceStatus performGoRun(Explorer& explorer, toolkit::TCanvas& portrait, const RunLook& look,
                          PassObserver* observer);

// A double click after its repeat count is read: 1001 passes of repeatCount + 1
// bounces from wherever the ball stands, then the grid and the saved end state.
BounceStatus performDoubleClickRun(Explorer& explorer, toolkit::TCanvas& portrait, const RunLook& look,
                                   PassObserver* observer);

}  // namespace trapezola
