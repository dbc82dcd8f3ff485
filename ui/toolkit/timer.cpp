#include "ui/toolkit/timer.h"

namespace trapezola::toolkit {

TTimer::TTimer(QObject* parent) : QObject(parent) {
  connect(&timer_, &QTimer::timeout, this, [this] {
    runHandlers([this] {
      if (OnTimer) OnTimer();
    });
  });
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled) {
    timer_.start();
  } else {
    timer_.stop();
  }
}

}  // namespace trapezola::toolkit
