// A progress bar without text. Positions outside Min..Max are held at the nearest
// end, also when StepBy goes past it.
#pragma once

#include <QProgressBar>

namespace trapezola::toolkit {

class TProgressBar : public QProgressBar {
  Q_OBJECT

 public:
  explicit TProgressBar(QWidget* parent);

  int Position() const { return value(); }
  void SetPosition(int position);
  int Min() const { return minimum(); }
  void SetMin(int min);
  int Max() const { return maximum(); }
  void SetMax(int max);
  void StepBy(int delta);
};

}  // namespace trapezola::toolkit
