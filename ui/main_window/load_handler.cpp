// "load" (Button2): puts a stored portrait back and restores the parameters that
// its file name carries.
//
// The name is read with storedPortraitTexts: b and R8/R go back into their
// fields, the four window values into the phase window, and the table is rebuilt
// and launched as a fresh run would launch it.
#include <optional>

#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_window.h"
#include "explorer/stored_portrait_name.h"
#include "explorer/window_geometry.h"
#include "raster/conversions.h"
#include "ui/main_window/field_numbers.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

namespace {

std::string loadedNumber(double v) {
  return toolkit::FloatToStrF(v, toolkit::ffGeneral, 7, 5);
}

}  // namespace

void TForm1::Button2Click() {
  // A cancelled dialog keeps the previous choice, so "load" then reloads it.
  OpenPictureDialog1->Execute();
  portraitImage->Picture->LoadFromFile(OpenPictureDialog1->FileName);
  stopped_.reset();
  // A portrait saved with its parameters is restored from them, all of them;
  // one with only a stored name, as before, from its name.
  if (const std::optional<PortraitRecord> record = portraitRecordFromTexts(portraitImage->Picture->Texts())) {
    restorePortraitRecord(*record);
    return;
  }

  // The whole name is converted before the program's state changes: a name
  // that stops half way would leave the read-out and the right-button gestures
  // enabled on a table that was never built or launched.
  const StoredPortraitTexts texts = storedPortraitTexts(OpenPictureDialog1->FileName);
  const StoredPortraitValues values = storedPortraitValues(texts);

  runCount = 2;
  enteredB = values.b;
  bField->SetText(texts.b);
  TableGeometry.rr = values.rr;
  ratioField->SetText(texts.rr);
  PhaseWindowRecord& w = PhaseWindow;
  w.sMax = values.sMax;
  w.sMin = values.sMin;
  w.phiMax = values.phiMax;
  w.phiMin = values.phiMin;

  // The table comes from the fields, as every rebuild does; they hold the
  // texts just converted.
  const double b = toolkit::StrToFloat(bField->GetText());
  buildGeometry(b, toolkit::StrToFloat(ratioField->GetText()));
  w.scaleS = plotAreaWidth / (w.sMax - w.sMin);
  w.scalePhi = plotAreaHeight / (w.phiMax - w.phiMin);
  launch();
  portraitTable_ = std::make_pair(TableGeometry.b, TableGeometry.rr);
  gridGeneration_.reset();
  progressBar->SetPosition(0);
  analysisLabel->SetText("loaded:\nB= " + loadedNumber(enteredB) +
                         "  erperer= " + loadedNumber(TableGeometry.rr));
}

void TForm1::restorePortraitRecord(const PortraitRecord& record) {
  bField->SetText(record.b);
  ratioField->SetText(record.rr);
  distanceField->SetText(record.distance);
  angleField->SetText(record.angle);
  repeatField->SetText(record.repeat);
  // Converted as "go" converts them: a bad text is reported naming its field.
  const double b = fieldFloat("b", *bField);
  const double rr = fieldFloat("R8/R", *ratioField);
  const double distance = fieldFloat("distance", *distanceField);
  const double angle = fieldFloat("angle", *angleField);
  const int repeat = fieldInt("repeat", *repeatField);
  pointSizeBox->SetItemIndex(record.pointSize == 3 ? 1 : 0);
  colorBox->SetSelected(record.colour);

  runCount = 2;
  enteredB = b;
  setupTable(b, rr, distance, angle, repeat);
  launch();
  // The saved window, scales included, to the bit: a continued run lands its
  // dots where the saved run would have.
  PhaseWindow = record.window;
  ResumeState = record.resume;
  portraitTable_ = std::make_pair(TableGeometry.b, TableGeometry.rr);
  gridGeneration_.reset();
  progressBar->SetPosition(0);
  analysisLabel->SetText("loaded:\nB= " + loadedNumber(enteredB) +
                         "  erperer= " + loadedNumber(TableGeometry.rr));
  const bool fresh =
      ResumeState.x == 0.0 && ResumeState.y == 0.0 && ResumeState.dx == 0.0 && ResumeState.dy == 0.0;
  goButton->SetText(fresh ? "go" : "continue");
}

}  // namespace trapezola
