#include "ui/toolkit/track_bar.h"

#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

namespace {
constexpr int pageSize = 2;
}  // namespace

TTrackBar::TTrackBar(QWidget* parent, Qt::Orientation orientation) : QSlider(orientation, parent) {
  if (orientation == Qt::Vertical) {
    setInvertedAppearance(true);
    setInvertedControls(true);
  }
  setPageStep(pageSize);
  SetFrequency(1);
  connect(this, &QSlider::valueChanged, this, [this] {
    runHandlers([this] {
      if (OnChange) OnChange();
    });
  });
}

void TTrackBar::SetFrequency(int frequency) {
  setTickInterval(frequency);
  SetTickMarks(tickMarks_);
}

void TTrackBar::SetTickMarks(TTickMark marks) {
  tickMarks_ = marks;
  if (tickInterval() <= 0) {
    setTickPosition(QSlider::NoTicks);
    return;
  }
  switch (marks) {
    case tmBottomRight:
      setTickPosition(QSlider::TicksBelow);
      break;
    case tmTopLeft:
      setTickPosition(QSlider::TicksAbove);
      break;
    case tmBoth:
      setTickPosition(QSlider::TicksBothSides);
      break;
  }
}

void TTrackBar::SetHint(const std::string& hint) {
  setToolTip(qtText(hint));
}

}  // namespace trapezola::toolkit
