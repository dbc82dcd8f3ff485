// A static text. Captions are plain text; "\n" breaks the line. A label that is
// not of fixed size (AutoSize, the default) grows from its top left corner when
// its text needs more room than its designed box, and never shrinks below it.
#pragma once

#include <QLabel>
#include <string>

#include "raster/canvas.h"

namespace trapezola::toolkit {

class TLabel : public QLabel {
  Q_OBJECT

 public:
  explicit TLabel(QWidget* parent);

  std::string GetText() const;  // the caption
  void SetText(const std::string& caption);
  void SetHint(const std::string& hint);

  void SetAutoSize(bool autoSize);
  bool AutoSize() const { return autoSize_; }
  void SetWordWrap(bool wrap);
  void SetCentred(bool centred);  // horizontally and vertically
  void SetColor(TColor background);

  // Places the label and makes the given size its designed box.
  void SetBounds(int left, int top, int width, int height);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void fitText();

  bool autoSize_ = true;
  QSize designedSize_;
};

}  // namespace trapezola::toolkit
