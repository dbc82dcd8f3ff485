// The table fields: leaving b (Edit1) or R8/R (Edit2), and typing in R8/R. Leaving
// R8/R rebuilds the table, shows its radii and corners and sketches it on vazlat.
#include <cmath>

#include "core/geometry/square.h"
#include "core/geometry/table_geometry.h"
#include "explorer/geometry_summary.h"
#include "explorer/main_window_state.h"
#include "explorer/table_sketch.h"
#include "explorer/window_geometry.h"
#include "raster/conversions.h"
#include "ui/main_window/field_numbers.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

void TForm1::Edit1Exit() {
  // A b the engine refuses changes nothing: no provisional tilt, no prompt.
  refuseOutOfRange("b", *bField, shapeBRange);
  // Provisional until the next build: a pointer move before it derives the side
  // tilt from this theta.
  explorer_.table.height = 4 * explorer_.enteredB / (square(explorer_.enteredB) + 1);
  explorer_.table.theta = 2 * std::atan(explorer_.enteredB);
  explorer_.parameterPrompt = parameterPromptText;
  ratioField->SetHint(explorer_.parameterPrompt);
  geometryLabel->SetText(explorer_.parameterPrompt);
  StartFieldExit("b", *bField);
}

// A new ratio takes effect when the field is left or a run is set up.
void TForm1::Edit2Change() {}

void TForm1::Edit2Exit() {
  // A table the engine refuses changes nothing, not even the run to continue.
  refuseOutOfRange("b", *bField, shapeBRange);
  refuseOutOfRange("R8/R", *ratioField, shapeRrRange);
  explorer_.resume = ResumeStateRecord{};
  goButton->SetText("go");
  // Both fields are converted before the table changes, so a bad text leaves
  // the previous table whole.
  const double b = fieldFloat("b", *bField);
  const double rr = fieldFloat("R8/R", *ratioField);
  buildGeometry(explorer_, b, rr);
  progressBar->SetPosition(0);

  explorer_.geometrySummary = buildDistancePrompt(explorer_.table);
  distanceField->SetHint(explorer_.geometrySummary);
  geometryLabel->SetText(explorer_.geometrySummary);

  sketchImage->Refresh();
  toolkit::TCanvas& sketch = *sketchImage->Canvas;
  drawTableOutline(sketch, explorer_.table);
  sketch.Pen->Color = toolkit::clBlack;
}

}  // namespace trapezola
