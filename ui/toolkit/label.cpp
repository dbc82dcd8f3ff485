#include "ui/toolkit/label.h"

#include <QEvent>

#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

TLabel::TLabel(QWidget* parent) : QLabel(parent) {
  // Captions are never markup, whatever characters they hold.
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TLabel::SetWordWrap(bool wrap) {
  setWordWrap(wrap);
  fitText();
}

std::string TLabel::GetText() const {
  return stdText(text());
}

void TLabel::SetText(const std::string& caption) {
  setText(qtText(caption));
  fitText();
}

void TLabel::SetHint(const std::string& hint) {
  setToolTip(qtText(hint));
}

void TLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  fitText();
}

void TLabel::SetCentred(bool centred) {
  setAlignment(centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
}

void TLabel::SetColor(TColor background) {
  setBackgroundColor(this, background);
}

void TLabel::SetBounds(int left, int top, int width, int height) {
  designedSize_ = QSize(width, height);
  setGeometry(left, top, width, height);
  fitText();
}

void TLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) fitText();
}

void TLabel::fitText() {
  if (!designedSize_.isValid()) return;
  const bool grows = autoSize_ && !wordWrap();
  resize(grows ? designedSize_.expandedTo(sizeHint()) : designedSize_);
}

}  // namespace trapezola::toolkit
