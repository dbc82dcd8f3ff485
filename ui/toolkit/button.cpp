#include "ui/toolkit/button.h"

#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

TButton::TButton(QWidget* parent) : QPushButton(parent) {
  setAutoDefault(false);
  connect(this, &QPushButton::clicked, this, [this] {
    runHandlers([this] {
      if (OnClick) OnClick();
    });
  });
}

std::string TButton::GetText() const {
  return stdText(text());
}

void TButton::SetText(const std::string& caption) {
  setText(qtText(caption));
}

}  // namespace trapezola::toolkit
