// A check box with a caption.
#pragma once

#include <QCheckBox>
#include <string>

namespace trapezola::toolkit {

class TCheckBox : public QCheckBox {
  Q_OBJECT

 public:
  explicit TCheckBox(QWidget* parent);

  std::string GetText() const;  // the caption
  void SetText(const std::string& caption);
  bool Checked() const { return isChecked(); }
  void SetChecked(bool checked) { setChecked(checked); }
};

}  // namespace trapezola::toolkit
