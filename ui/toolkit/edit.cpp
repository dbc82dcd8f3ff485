#include "ui/toolkit/edit.h"

#include <QFocusEvent>

#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this] {
    runHandlers([this] {
      if (OnChange) OnChange();
    });
  });
}

std::string TEdit::GetText() const {
  return stdText(text());
}

void TEdit::SetText(const std::string& text) {
  setText(qtText(text));
}

std::string TEdit::GetHint() const {
  return stdText(toolTip());
}

void TEdit::SetHint(const std::string& hint) {
  setToolTip(qtText(hint));
}

void TEdit::SetBorder(bool border) {
  setFrame(border);
}

void TEdit::SetFontColor(TColor color) {
  setTextColor(this, color);
}

void TEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Losing the focus to another window (an error box, the Lyapunov window) or to
  // a context menu is not leaving the field: the focus comes back to it.
  const Qt::FocusReason reason = event->reason();
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
  runHandlers([this] {
    if (OnExit) OnExit();
  });
}

}  // namespace trapezola::toolkit
