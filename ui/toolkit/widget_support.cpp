#include "ui/toolkit/widget_support.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QWidget>

namespace trapezola::toolkit {

namespace {
// A positive classic height counts the internal leading as well; about a fifth of
// the cell for the sans-serif faces used here.
constexpr double characterShareOfCell = 0.8;
}  // namespace

QColor qtColor(TColor color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor colorFromQt(const QColor& color) {
  return static_cast<TColor>(color.red()) | (static_cast<TColor>(color.green()) << 8) |
         (static_cast<TColor>(color.blue()) << 16);
}

QStringList windowFontFamilies() {
  return {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
          QStringLiteral("Nimbus Sans"), QApplication::font().family()};
}

void setFontHeight(QWidget* widget, int height, bool bold) {
  QFont font = widget->font();
  font.setFamilies(windowFontFamilies());
  int pixels = height < 0 ? -height : static_cast<int>(height * characterShareOfCell);
  font.setPixelSize(pixels > 0 ? pixels : 1);
  font.setBold(bold);
  widget->setFont(font);
}

void setBackgroundColor(QWidget* widget, TColor color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, qtColor(color));
  palette.setColor(QPalette::Base, qtColor(color));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

void setTextColor(QWidget* widget, TColor color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, qtColor(color));
  palette.setColor(QPalette::Text, qtColor(color));
  palette.setColor(QPalette::ButtonText, qtColor(color));
  widget->setPalette(palette);
}

}  // namespace trapezola::toolkit
