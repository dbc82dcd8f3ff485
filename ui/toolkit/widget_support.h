// Small bridges between the toolkit's conventions and Qt's, shared by the controls.
//
// Texts are UTF-8 std::string on the program's side. Colours are TColor
// 0x00BBGGRR. A font height follows the classic rule: a negative height is the
// character height in pixels (-13 is 10-point text at 96 dpi), a positive one the
// cell height including the internal leading.
#pragma once

#include <QColor>
#include <QString>
#include <string>

#include "raster/canvas.h"

class QWidget;

namespace trapezola::toolkit {

inline QString qtText(const std::string& text) {
  return QString::fromStdString(text);
}
inline std::string stdText(const QString& text) {
  return text.toStdString();
}

QColor qtColor(TColor color);
TColor colorFromQt(const QColor& color);

// The one family the windows' captions are set in. The windows are laid out in
// fixed pixels for "MS Sans Serif", so the family is pinned rather than left to
// the desktop's idea of a default sans: Liberation Sans (Debian's
// fonts-liberation2), whose widths are Arial's and close to the design's,
// loaded from its files so that no other installed face can stand in for it.
QString windowFontFamily();

// Sets the widget's font to the window family at the given classic height.
void setFontHeight(QWidget* widget, int height, bool bold = false);

// Gives a control its name in its window's layout ("Edit1", "faziskep"): the
// object name, and the accessible description, where tools that drive the
// windows over the accessibility bus find it whatever the font or style.
void setLayoutName(QWidget* widget, const char* name);
void setBackgroundColor(QWidget* widget, TColor color);
void setTextColor(QWidget* widget, TColor color);

}  // namespace trapezola::toolkit
