// A one-line text field.
//
// OnChange runs on every change of the text: each keystroke, and also each time
// the program sets a different text. OnExit runs when the keyboard focus moves
// from the field to another control; pressing Return does not leave the field,
// and neither does switching to another window or opening a menu.
#pragma once

#include <QLineEdit>
#include <string>

#include "raster/canvas.h"
#include "ui/toolkit/events.h"

namespace trapezola::toolkit {

class TEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TEdit(QWidget* parent);

  std::string GetText() const;
  void SetText(const std::string& text);
  std::string GetHint() const;
  void SetHint(const std::string& hint);
  void SetBorder(bool border);
  void SetFontColor(TColor color);

  TNotifyEvent OnChange;
  TNotifyEvent OnExit;

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace trapezola::toolkit
