// The start-point fields: b (Edit1), the start distance (Edit3) and the start
// angle (Edit4). Any edit of them makes the next "go" start afresh; none of them
// rebuilds the table. They run on every keystroke, so a half-typed number ("",
// "-") raises the conversion error after the fresh-run state is already set.
#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"
#include "portrait/geometry_summary.h"
#include "portrait/main_window_state.h"
#include "toolkit_core/conversions.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

namespace {

void discardInterruptedRun(TForm1& form) {
  ResumeState = ResumeStateRecord{};
  form.Button1->SetText("go");
}

}  // namespace

void TForm1::Edit1Change() {
  discardInterruptedRun(*this);
  enteredB = toolkit::StrToFloat(Edit1->GetText());
}

void TForm1::Edit3Change() {
  discardInterruptedRun(*this);
  BallState.startS = toolkit::StrToFloat(Edit3->GetText());
  // The table is shown as it stands; the distance edit does not rebuild it.
  geometrySummary = buildGeometrySummary(TableGeometry);
  Label1->SetText(geometrySummary);
}

// The angle is read only when a run is set up.
void TForm1::Edit4Change() {
  discardInterruptedRun(*this);
}

}  // namespace trapezola
