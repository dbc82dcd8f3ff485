// A track bar (slider) with tick marks.
//
// OnChange runs whenever the position changes: by the user, by the program
// setting Position, or by a new Min or Max that pushes the position inside the
// range. A vertical bar has its minimum at the top, and the Up key moves the
// thumb up, towards the minimum.
#pragma once

#include <QSlider>

#include "ui/toolkit/events.h"

namespace trapezola::toolkit {

enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };

class TTrackBar : public QSlider {
  Q_OBJECT

 public:
  TTrackBar(QWidget* parent, Qt::Orientation orientation);

  int Position() const { return value(); }
  void SetPosition(int position) { setValue(position); }
  int Min() const { return minimum(); }
  void SetMin(int min) { setMinimum(min); }
  int Max() const { return maximum(); }
  void SetMax(int max) { setMaximum(max); }
  // Distance between tick marks in positions; 0 shows none.
  int Frequency() const { return tickInterval(); }
  void SetFrequency(int frequency);
  void SetTickMarks(TTickMark marks);
  void SetHint(const std::string& hint);

  TNotifyEvent OnChange;

 private:
  TTickMark tickMarks_ = tmBottomRight;
};

}  // namespace trapezola::toolkit
