#include "ui/toolkit/color_box.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

namespace {

constexpr int swatchWidth = 16;
constexpr int swatchHeight = 12;
constexpr int listWidth = 180;
constexpr int listFontHeight = -11;

std::optional<TColor> askWithColorDialog(TColor current) {
  const QColor chosen = QColorDialog::getColor(qtColor(current));
  if (!chosen.isValid()) return std::nullopt;
  return colorFromQt(chosen);
}

}  // namespace

std::function<std::optional<TColor>(TColor)> TColorBox::customColorChooser = askWithColorDialog;

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent) {
  setIconSize(QSize(swatchWidth, swatchHeight));
  const auto fixed = [](const char* name, TColor value) {
    return Entry{name, Kind::Fixed, value, QPalette::NoRole};
  };
  const auto system = [](const char* name, QPalette::ColorRole role) {
    return Entry{name, Kind::System, clBlack, role};
  };
  const Entry list[] = {
      {"Custom...", Kind::Custom, clBlack, QPalette::NoRole},
      fixed("Black", 0x000000),
      fixed("Maroon", 0x000080),
      fixed("Green", 0x008000),
      fixed("Olive", 0x008080),
      fixed("Navy", 0x800000),
      fixed("Purple", 0x800080),
      fixed("Teal", 0x808000),
      fixed("Gray", 0x808080),
      fixed("Silver", 0xC0C0C0),
      fixed("Red", 0x0000FF),
      fixed("Lime", 0x00FF00),
      fixed("Yellow", 0x00FFFF),
      fixed("Blue", 0xFF0000),
      fixed("Fuchsia", 0xFF00FF),
      fixed("Aqua", 0xFFFF00),
      fixed("White", 0xFFFFFF),
      fixed("Money Green", 0xC0DCC0),
      fixed("Sky Blue", 0xF0CAA6),
      fixed("Cream", 0xF0FBFF),
      fixed("Medium Gray", 0xA4A0A0),
      system("Window Background", QPalette::Window),
      system("Window Text", QPalette::WindowText),
      system("Field Background", QPalette::Base),
      system("Field Text", QPalette::Text),
      system("Button Face", QPalette::Button),
      system("Button Text", QPalette::ButtonText),
      system("Button Highlight", QPalette::Light),
      system("Button Shadow", QPalette::Dark),
      system("3D Dark Shadow", QPalette::Shadow),
      system("3D Light", QPalette::Midlight),
      system("Highlight", QPalette::Highlight),
      system("Highlight Text", QPalette::HighlightedText),
      system("Info Background", QPalette::ToolTipBase),
      system("Info Text", QPalette::ToolTipText),
      {"None", Kind::None, clBlack, QPalette::NoRole},
      {"Default", Kind::Default, clBlack, QPalette::NoRole},
  };
  for (const Entry& entry : list) addEntry(entry);

  // The closed box shows the swatch; the names are for the open list.
  QFont listFont = font();
  listFont.setFamilies({windowFontFamily()});
  listFont.setPixelSize(-listFontHeight);
  view()->setFont(listFont);
  view()->setMinimumWidth(listWidth);

  SetSelected(clBlack);
  connect(this, &QComboBox::activated, this, &TColorBox::entryActivated);
}

void TColorBox::addEntry(const Entry& entry) {
  if (entry.kind == Kind::Custom) customIndex_ = count();
  entries_.push_back(entry);
  addItem(qtText(entry.name));
  refreshSwatch(count() - 1);
}

TColor TColorBox::colorOf(const Entry& entry) const {
  switch (entry.kind) {
    case Kind::System:
      return colorFromQt(palette().color(QPalette::Active, entry.role));
    case Kind::Fixed:
    case Kind::Custom:
      return entry.value;
    case Kind::None:
    case Kind::Default:
      return clBlack;
  }
  return clBlack;
}

void TColorBox::refreshSwatch(int index) {
  QPixmap swatch(swatchWidth, swatchHeight);
  swatch.fill(qtColor(colorOf(entries_[static_cast<std::size_t>(index)])));
  QPainter painter(&swatch);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, swatchWidth - 1, swatchHeight - 1);
  painter.end();
  setItemIcon(index, QIcon(swatch));
}

TColor TColorBox::Selected() const {
  const int index = currentIndex();
  if (index < 0) return clBlack;
  return colorOf(entries_[static_cast<std::size_t>(index)]);
}

void TColorBox::SetSelected(TColor color) {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].kind == Kind::Fixed && entries_[i].value == color) {
      setCurrentIndex(static_cast<int>(i));
      previousIndex_ = currentIndex();
      return;
    }
  }
  entries_[static_cast<std::size_t>(customIndex_)].value = color;
  refreshSwatch(customIndex_);
  setCurrentIndex(customIndex_);
  previousIndex_ = currentIndex();
}

void TColorBox::entryActivated(int index) {
  if (index == customIndex_ && customColorChooser) {
    Entry& custom = entries_[static_cast<std::size_t>(customIndex_)];
    if (const std::optional<TColor> chosen = customColorChooser(custom.value)) {
      custom.value = *chosen & 0xFFFFFF;
      refreshSwatch(customIndex_);
    } else {
      setCurrentIndex(previousIndex_);
    }
  }
  previousIndex_ = currentIndex();
}

}  // namespace trapezola::toolkit
