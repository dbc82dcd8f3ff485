// A check box with a caption.
#pragma once

#include <QCheckBox>
#include <string>

#include "ui/toolkit/events.h"

namespace trapezola::toolkit {

class TCheckBox : public QCheckBox {
  Q_OBJECT

 public:
  explicit TCheckBox(QWidget* parent);

  std::string GetText() const;  // the caption
  void SetText(const std::string& caption);
  bool Checked() const { return isChecked(); }
  void SetChecked(bool checked) { setChecked(checked); }

  // Runs when the user ticks or unticks the box, not when the program does.
  TNotifyEvent OnClick;
};

}  // namespace trapezola::toolkit
