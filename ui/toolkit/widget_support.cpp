#include "ui/toolkit/widget_support.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
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

QString windowFontFamily() {
  static const QString family = [] {
    const QString folder = QStringLiteral(TRAPEZOLA_WINDOW_FONT_DIR);
    QString loaded;
    for (const char* file : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"}) {
      const int id = QFontDatabase::addApplicationFont(folder + QLatin1Char('/') + QLatin1String(file));
      const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
      if (loaded.isEmpty() && !families.isEmpty()) loaded = families.front();
    }
    // Without the files the family is still asked for by name, as installed elsewhere.
    return loaded.isEmpty() ? QStringLiteral("Liberation Sans") : loaded;
  }();
  return family;
}

void setFontHeight(QWidget* widget, int height, bool bold) {
  QFont font = widget->font();
  font.setFamilies({windowFontFamily()});
  // Vertical hinting only, whatever the desktop asks for: the advance widths,
  // and so the width of every caption, stay those of the face's design.
  font.setHintingPreference(QFont::PreferVerticalHinting);
  int pixels = height < 0 ? -height : static_cast<int>(height * characterShareOfCell);
  font.setPixelSize(pixels > 0 ? pixels : 1);
  font.setBold(bold);
  widget->setFont(font);
}

void setLayoutName(QWidget* widget, const char* name) {
  const QString text = QString::fromLatin1(name);
  widget->setObjectName(text);
  widget->setAccessibleDescription(text);
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
