// "load" (Button2): puts a stored portrait back and restores the parameters that
// its text chunks or its file name carry. Everything the picture carries is
// converted and held to the ranges the engine accepts before anything changes.
//
// The name is read with storedPortraitTexts: b and R8/R go back into their
// fields, the four window values into the phase window, and the table is rebuilt
// and launched as a fresh run would launch it.
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "core/geometry/boundary.h"
#include "core/geometry/parameter_ranges.h"
#include "core/geometry/table_geometry.h"
#include "explorer/geometry_summary.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_window.h"
#include "explorer/portrait_history.h"
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

std::string quoted(const std::string& fileName) {
  return "\"" + fileName + "\"";
}

// A number the picture carries, converted with the field's rule; an error
// names the file, what the number is and its text.
double carriedNumber(const std::string& fileName, const char* what, const std::string& text) {
  try {
    return toolkit::StrToFloat(text);
  } catch (const toolkit::EConvertError& error) {
    throw toolkit::EConvertError(quoted(fileName) + ": " + what + ": " + error.what());
  }
}

double carriedNumber(const std::string& fileName, const char* what, const std::string& text,
                     const ParameterRange& range) {
  const double value = carriedNumber(fileName, what, text);
  if (!range.accepts(value))
    throw toolkit::Exception(quoted(fileName) + ": " + outOfRangeMessage(what, text, range));
  return value;
}

// A phase window a picture may carry: finite, with room between its bounds.
void checkCarriedWindow(const std::string& fileName, double sMin, double sMax, double phiMin, double phiMax) {
  const bool finite =
      std::isfinite(sMin) && std::isfinite(sMax) && std::isfinite(phiMin) && std::isfinite(phiMax);
  if (!finite || !(sMin < sMax) || !(phiMin < phiMax)) {
    throw toolkit::Exception(quoted(fileName) + ": the phase window s " + loadedNumber(sMin) + " .. " +
                             loadedNumber(sMax) + ", phi " + loadedNumber(phiMin) + " .. " +
                             loadedNumber(phiMax) + " is empty or not finite");
  }
}

// The history a saved portrait carries: every step that drew it, to be saved
// again and replayed; a portrait saved before histories were kept carries none,
// and one loaded from it cannot be replayed.
PortraitHistory carriedHistory(const std::string& fileName, const std::map<std::string, std::string>& texts) {
  const auto found = texts.find(historyTextKey);
  if (found == texts.end()) return PortraitHistory{false, {}};
  std::string fault;
  std::optional<PortraitHistory> history = historyFromText(found->second, fault);
  if (!history) throw toolkit::Exception(quoted(fileName) + ": its history does not read: " + fault);
  return std::move(*history);
}

// The markers of a stored portrait's name that the path lacks, in the order
// the name holds them; none for a stored portrait's name.
std::string missingNameMarkers(const std::string& path) {
  std::string missing;
  for (const char* marker : {"B_", "_rr_", "_i", "kx_", "kn_", "px_", "pn_"}) {
    if (Pos(marker, path) == 0) missing += std::string(missing.empty() ? "" : " ") + "\"" + marker + "\"";
  }
  return missing;
}

}  // namespace

void TForm1::Button2Click() {
  // A cancelled dialog keeps the previous choice, so "load" then reloads it.
  OpenPictureDialog1->Execute();
  const std::string fileName = OpenPictureDialog1->FileName;
  // The picture replaces the portrait only once all it carries has been read
  // and found sound: a picture that is no portrait, or one whose parameters
  // the engine refuses, changes nothing.
  toolkit::DecodedPicture picture = toolkit::decodePicture(fileName);

  // A portrait saved with its parameters is restored from them, all of them;
  // one with only a stored name, as before, from its name.
  if (const std::optional<PortraitRecord> record = portraitRecordFromTexts(picture.texts)) {
    const LoadedRecord loaded = checkedRecord(fileName, *record);
    PortraitHistory history = carriedHistory(fileName, picture.texts);
    portraitImage->Picture->Assign(std::move(picture));
    stopped_.reset();
    restorePortraitRecord(*record, loaded);
    explorer_.history = std::move(history);
    return;
  }

  const std::string missing = missingNameMarkers(fileName);
  if (!missing.empty()) {
    throw toolkit::Exception(
        "Cannot load " + quoted(fileName) +
        ": it is not a portrait; it carries no saved parameters (PNG text chunks) and its "
        "name lacks the stored portrait's " +
        missing);
  }
  // The whole name is converted before the program's state changes: a name
  // that stops half way would leave the read-out and the right-button gestures
  // enabled on a table that was never built or launched.
  const StoredPortraitTexts texts = storedPortraitTexts(fileName);
  const double loadedB = carriedNumber(fileName, "b", texts.b, shapeBRange);
  const double loadedRr = carriedNumber(fileName, "R8/R", texts.rr, shapeRrRange);
  const double sMax = carriedNumber(fileName, "sMax", texts.sMax);
  const double sMin = carriedNumber(fileName, "sMin", texts.sMin);
  const double phiMax = carriedNumber(fileName, "phiMax", texts.phiMax);
  const double phiMin = carriedNumber(fileName, "phiMin", texts.phiMin);
  checkCarriedWindow(fileName, sMin, sMax, phiMin, phiMax);
  portraitImage->Picture->Assign(std::move(picture));
  stopped_.reset();
  // Nothing says how its dots were drawn.
  explorer_.history = PortraitHistory{false, {}};

  explorer_.runCount = 2;
  explorer_.enteredB = loadedB;
  bField->SetText(texts.b);
  explorer_.table.rr = loadedRr;
  ratioField->SetText(texts.rr);
  PhaseWindowRecord& w = explorer_.window;
  w.sMax = sMax;
  w.sMin = sMin;
  w.phiMax = phiMax;
  w.phiMin = phiMin;

  // The table comes from the fields, as every rebuild does; they hold the
  // texts just converted.
  const double b = toolkit::StrToFloat(bField->GetText());
  buildGeometry(explorer_, b, toolkit::StrToFloat(ratioField->GetText()));
  w.scaleS = plotAreaWidth / (w.sMax - w.sMin);
  w.scalePhi = plotAreaHeight / (w.phiMax - w.phiMin);
  launch(explorer_);
  portraitTable_ = std::make_pair(explorer_.table.b, explorer_.table.rr);
  gridGeneration_.reset();
  progressBar->SetPosition(0);
  explorer_.geometrySummary = buildGeometrySummary(explorer_.table);
  geometryLabel->SetText(explorer_.geometrySummary);
  analysisLabel->SetText("loaded:\nB= " + loadedNumber(explorer_.enteredB) +
                         "  erperer= " + loadedNumber(explorer_.table.rr));
}

TForm1::LoadedRecord TForm1::checkedRecord(const std::string& fileName, const PortraitRecord& record) {
  LoadedRecord loaded;
  loaded.b = carriedNumber(fileName, "b", record.b, shapeBRange);
  loaded.rr = carriedNumber(fileName, "R8/R", record.rr, shapeRrRange);
  loaded.distance = carriedNumber(fileName, "distance", record.distance);
  loaded.angle = carriedNumber(fileName, "angle", record.angle, startAngleRange);
  try {
    loaded.repeat = toolkit::StrToInt(record.repeat);
  } catch (const toolkit::EConvertError& error) {
    throw toolkit::EConvertError(quoted(fileName) + ": repeat: " + error.what());
  }
  const PhaseWindowRecord& w = record.window;
  checkCarriedWindow(fileName, w.sMin, w.sMax, w.phiMin, w.phiMax);
  if (!(std::isfinite(w.scaleS) && w.scaleS > 0 && std::isfinite(w.scalePhi) && w.scalePhi > 0)) {
    throw toolkit::Exception(quoted(fileName) + ": the phase window's scales " + loadedNumber(w.scaleS) +
                             " and " + loadedNumber(w.scalePhi) + " are not positive and finite");
  }
  return loaded;
}

void TForm1::restorePortraitRecord(const PortraitRecord& record, const LoadedRecord& loaded) {
  bField->SetText(record.b);
  ratioField->SetText(record.rr);
  distanceField->SetText(record.distance);
  angleField->SetText(record.angle);
  repeatField->SetText(record.repeat);
  pointSizeBox->SetItemIndex(record.pointSize == 3 ? 1 : 0);
  colorBox->SetSelected(record.colour);

  explorer_.runCount = 2;
  explorer_.enteredB = loaded.b;
  setupTable(explorer_, loaded.b, loaded.rr, loaded.distance, loaded.angle, loaded.repeat);
  launch(explorer_);
  // The saved window, scales included, to the bit: a continued run lands its
  // dots where the saved run would have.
  explorer_.window = record.window;
  explorer_.resume = record.resume;
  portraitTable_ = std::make_pair(explorer_.table.b, explorer_.table.rr);
  gridGeneration_.reset();
  progressBar->SetPosition(0);
  explorer_.geometrySummary = buildGeometrySummary(explorer_.table);
  geometryLabel->SetText(explorer_.geometrySummary);
  analysisLabel->SetText("loaded:\nB= " + loadedNumber(explorer_.enteredB) +
                         "  erperer= " + loadedNumber(explorer_.table.rr));
  const bool fresh = explorer_.resume.x == 0.0 && explorer_.resume.y == 0.0 && explorer_.resume.dx == 0.0 &&
                     explorer_.resume.dy == 0.0;
  goButton->SetText(fresh ? "go" : "continue");
}

}  // namespace trapezola
