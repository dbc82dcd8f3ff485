// The start-point fields: b (Edit1), the start distance (Edit3) and the start
// angle (Edit4). Any edit of them makes the next "go" start afresh; none of them
// rebuilds the table. They run on every keystroke: a text that is still the
// beginning of a number ("", "-", ".", "1e-") is let be until the field is left
// or used, and any other text raises the conversion error, naming the field,
// after the fresh-run state is already set.
#include <optional>

#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"
#include "explorer/geometry_summary.h"
#include "explorer/main_window_state.h"
#include "raster/conversions.h"
#include "ui/main_window/field_numbers.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

namespace {

void discardInterruptedRun(Explorer& explorer, toolkit::TButton& go) {
  explorer.resume = ResumeStateRecord{};
  go.SetText("go");
}

// A complete number, or nothing while the text is still being typed.
std::optional<double> typedNumber(const char* field, const toolkit::TEdit& edit) {
  if (!isNumberBeingTyped(edit.GetText())) return fieldFloat(field, edit);
  try {
    return toolkit::StrToFloat(edit.GetText());
  } catch (const toolkit::EConvertError&) {
    return std::nullopt;
  }
}

}  // namespace

void TForm1::Edit1Change() {
  discardInterruptedRun(explorer_, *goButton);
  // A b outside its range is refused when the field is left or used; until
  // then the last b inside it stands.
  if (const std::optional<double> b = typedNumber("b", *bField); b && shapeBRange.accepts(*b))
    explorer_.enteredB = *b;
}

void TForm1::Edit3Change() {
  discardInterruptedRun(explorer_, *goButton);
  const std::optional<double> distance = typedNumber("distance", *distanceField);
  if (!distance) return;
  explorer_.ball.startS = *distance;
  // The table is shown as it stands; the distance edit does not rebuild it.
  explorer_.geometrySummary = buildGeometrySummary(explorer_.table);
  geometryLabel->SetText(explorer_.geometrySummary);
}

// The angle is read only when a run is set up.
void TForm1::Edit4Change() {
  discardInterruptedRun(explorer_, *goButton);
}

// Leaving a start field with the beginning of a number in it ("-", "1e") is
// when that text is reported; an empty field is not, nothing was typed there.
void TForm1::StartFieldExit(const char* field, const toolkit::TEdit& edit, const ParameterRange* range) {
  if (edit.GetText().empty()) return;
  if (range)
    rangedFieldFloat(field, edit, *range);
  else
    fieldFloat(field, edit);
}

}  // namespace trapezola
