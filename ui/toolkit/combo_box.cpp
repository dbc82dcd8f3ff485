#include "ui/toolkit/combo_box.h"

#include <QLineEdit>

#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  // Inline completion would turn a typed "1" into an item; the edit part keeps
  // exactly what the user typed.
  setCompleter(nullptr);
  connect(lineEdit(), &QLineEdit::textEdited, this, [this] { typedOver_ = true; });
  connect(this, &QComboBox::currentIndexChanged, this, [this] { typedOver_ = false; });
  connect(this, &QComboBox::activated, this, [this] { typedOver_ = false; });
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
  clear();
  for (const std::string& item : items) addItem(qtText(item));
  setCurrentIndex(-1);
}

int TComboBox::ItemIndex() const {
  return typedOver_ ? -1 : currentIndex();
}

void TComboBox::SetItemIndex(int index) {
  setCurrentIndex(index < count() ? index : -1);
  typedOver_ = false;
  showTextStart();
}

// The narrow boxes of the layout show less than a word; text set by the program
// is shown from its start rather than scrolled to the cursor at its end.
void TComboBox::showTextStart() {
  if (lineEdit()) lineEdit()->setCursorPosition(0);
}

std::string TComboBox::GetText() const {
  return stdText(currentText());
}

void TComboBox::SetText(const std::string& text) {
  const QString shown = qtText(text);
  // Text set by the program selects nothing, even when it equals an item: it is
  // the selected item's own text or else it leaves no item selected.
  const bool isSelectedItem = currentIndex() >= 0 && itemText(currentIndex()) == shown;
  setEditText(shown);
  if (!isSelectedItem) typedOver_ = true;
  showTextStart();
}

void TComboBox::SetHint(const std::string& hint) {
  setToolTip(qtText(hint));
}

}  // namespace trapezola::toolkit
