// The pointer read-out over the portrait and the corner forecast of a left click.
#include <optional>

#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/pointer_readout.h"
#include "raster/conversions.h"
#include "ui/main_window/bad_arc_index.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

namespace {

std::string readoutNumber(double v) {
  return toolkit::FloatToStrF(v, toolkit::ffGeneral, 7, 5);
}

}  // namespace

void TForm1::faziskepMouseMove(toolkit::TShiftState Shift, int X, int Y) {
  // The rubber band of a right-button drag; the read-out below goes on as ever.
  if (bandStart_ && (Shift & toolkit::ssRight))
    portraitImage->ShowRubberBand(bandStart_->first, bandStart_->second, X, Y);
  if (!pointerReadoutActive(explorer_, X, Y)) return;
  hoverAt(explorer_, X, Y);
  readoutLabel->SetText("dist:  " + readoutNumber(explorer_.hover.s) +
                        "  angle:  " + readoutNumber(explorer_.hover.phi * 180 / pi));
  if (drawHoverSketch(explorer_, *sketchImage->Canvas, [this] { return followDepthBox->ItemIndex(); }) ==
      BounceStatus::badArcIndex) {
    endOnBadArcIndex();
  }
  pointLabel->SetText("x: " + readoutNumber(explorer_.hover.x) +
                      "     y: " + readoutNumber(explorer_.hover.y));
}

void TForm1::faziskepClick() {
  // Before the first go or load there is no launched table to bounce on.
  if (explorer_.runCount < 1) return;
  const std::optional<int> forecast =
      forecastCornerApproach(explorer_, -sensitivitySlider->Position() * 0.001);
  if (!forecast) endOnBadArcIndex();
  const int k = *forecast;
  analysisLabel->SetText(k == forecastLimit ? "won't approach any corners in a while"
                                            : "closest corner is in: " + toolkit::IntToStr(k) + "steps");
}

}  // namespace trapezola
