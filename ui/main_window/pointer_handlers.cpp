// The pointer read-out over the portrait and the corner forecast of a left click.
#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/pointer_readout.h"
#include "raster/conversions.h"
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
  if (!pointerReadoutActive(X, Y)) return;
  hoverAt(X, Y);
  readoutLabel->SetText("dist:  " + readoutNumber(HoverPoint.s) +
                        "  angle:  " + readoutNumber(HoverPoint.phi * 180 / pi));
  drawHoverSketch(*sketchImage->Canvas, [this] { return followDepthBox->ItemIndex(); });
  pointLabel->SetText("x: " + readoutNumber(HoverPoint.x) + "     y: " + readoutNumber(HoverPoint.y));
}

void TForm1::faziskepClick() {
  // Before the first go or load there is no launched table to bounce on.
  if (runCount < 1) return;
  const int k = forecastCornerApproach(-sensitivitySlider->Position() * 0.001);
  analysisLabel->SetText(k == forecastLimit ? "won't approach any corners in a while"
                                            : "closest corner is in: " + toolkit::IntToStr(k) + "steps");
}

}  // namespace trapezola
