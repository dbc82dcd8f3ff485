#include "ui/toolkit/check_box.h"

#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

TCheckBox::TCheckBox(QWidget* parent) : QCheckBox(parent) {
  connect(this, &QCheckBox::clicked, this, [this] {
    runHandlers([this] {
      if (OnClick) OnClick();
    });
  });
}

std::string TCheckBox::GetText() const {
  return stdText(text());
}

void TCheckBox::SetText(const std::string& caption) {
  setText(qtText(caption));
}

}  // namespace trapezola::toolkit
