// A repeating timer on the user-interface thread: OnTimer runs every Interval
// milliseconds while it is enabled.
#pragma once

#include <QTimer>

#include "ui/toolkit/events.h"

namespace trapezola::toolkit {

class TTimer : public QObject {
  Q_OBJECT

 public:
  explicit TTimer(QObject* parent);

  void SetInterval(int milliseconds) { timer_.setInterval(milliseconds); }
  void SetEnabled(bool enabled);
  bool Enabled() const { return timer_.isActive(); }

  TNotifyEvent OnTimer;

 private:
  QTimer timer_;
};

}  // namespace trapezola::toolkit
