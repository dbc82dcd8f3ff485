// A push button; OnClick runs when it is pressed with the mouse or the keyboard.
#pragma once

#include <QPushButton>
#include <string>

#include "ui/toolkit/events.h"

namespace trapezola::toolkit {

class TButton : public QPushButton {
  Q_OBJECT

 public:
  explicit TButton(QWidget* parent);

  std::string GetText() const;  // the caption
  void SetText(const std::string& caption);

  TNotifyEvent OnClick;
};

}  // namespace trapezola::toolkit
