// While a gate is shut, the user's input to every window of the program is
// refused: mouse buttons, the wheel, pointer moves and keys are dropped as they
// arrive, not kept for later. A few controls stay open (a stop button, the menu
// bar and its menus, whose items the program enables as it sees fit, and any
// dialog), and the Escape key runs OnEscape wherever else the focus is. Closing a window is not input
// and always goes through.
#pragma once

#include <QObject>
#include <vector>

#include "ui/toolkit/events.h"

class QWidget;

namespace trapezola::toolkit {

class TInputGate : public QObject {
  Q_OBJECT

 public:
  explicit TInputGate(QObject* parent) : QObject(parent) {}
  ~TInputGate() override;

  void Shut(std::vector<QWidget*> open);
  void Open();
  bool IsShut() const { return shut_; }

  TNotifyEvent OnEscape;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool passes(QObject* watched) const;

  bool shut_ = false;
  std::vector<QWidget*> open_;
};

}  // namespace trapezola::toolkit
