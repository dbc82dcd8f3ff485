// Orbit runs: "go" (Button1) starts or continues a run from the fields, and a
// double click on the portrait runs on from the current ball state.
#include "core/geometry/phase_window.h"
#include "core/geometry/table_geometry.h"
#include "portrait/geometry_summary.h"
#include "portrait/main_window_state.h"
#include "portrait/orbit_run.h"
#include "toolkit_core/conversions.h"
#include "ui/main_window/run_progress.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

namespace {

using toolkit::FloatToStrF;

RunLook lookOf(const TForm1& form) {
  return RunLook{form.ComboBox1->ItemIndex(), form.ColorBox1->Selected(), form.CheckBox3->Checked()};
}

// The eight corner coordinates, x then y of corners 1 to 4, each followed by a
// blank (the last one too).
std::string cornerCoordinatesText() {
  const TableGeometryRecord& g = TableGeometry;
  std::string text;
  for (const TablePoint& c : {g.corner1, g.corner2, g.corner3, g.corner4}) {
    text += FloatToStrF(c.x, toolkit::ffGeneral, 7, 5) + " ";
    text += FloatToStrF(c.y, toolkit::ffGeneral, 7, 5) + " ";
  }
  return text;
}

}  // namespace

void TForm1::Button1Click() {
  // All five fields are converted before anything changes: a text that does
  // not convert raises its error and leaves the previous table whole.
  const double b = toolkit::StrToFloat(Edit1->GetText());
  const double rr = toolkit::StrToFloat(Edit2->GetText());
  const double distance = toolkit::StrToFloat(Edit3->GetText());
  const double angle = toolkit::StrToFloat(Edit4->GetText());
  const int repeat = toolkit::StrToInt(Edit5->GetText());
  setupTable(b, rr, distance, angle, repeat);
  ProgressBar1->SetPosition(0);

  geometrySummary = buildGeometrySummary(TableGeometry);
  Label1->SetText(geometrySummary);

  {
    RunProgress progress(*ProgressBar1, *faziskep);
    performGoRun(*faziskep->Canvas, lookOf(*this), &progress);
  }
  Label8->SetText("ready!");
  Label11->SetText(cornerCoordinatesText());
  Button1->SetText("continue");
}

void TForm1::faziskepDblClick() {
  // Before the first go or load the ball stands on no table: bouncing it would
  // end the program at the reflection's guard.
  if (runCount < 1) return;
  repeatCount = toolkit::StrToInt(Edit5->GetText());
  ProgressBar1->SetPosition(0);
  {
    RunProgress progress(*ProgressBar1, *faziskep);
    performDoubleClickRun(*faziskep->Canvas, lookOf(*this), &progress);
  }
  Label8->SetText("ready!");
  Button1->SetText("continue");
}

}  // namespace trapezola
