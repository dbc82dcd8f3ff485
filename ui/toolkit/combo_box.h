// An editable drop-down list (csDropDown).
//
// ItemIndex is the selected item, or -1 when there is none: before an item is
// chosen, and as soon as the user types into the edit part or the program sets a
// text other than the selected item's. Text never selects an item by itself and
// is never added to the list.
#pragma once

#include <QComboBox>
#include <string>
#include <vector>

namespace trapezola::toolkit {

class TComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit TComboBox(QWidget* parent);

  void SetItems(const std::vector<std::string>& items);
  int ItemIndex() const;
  void SetItemIndex(int index);  // -1, or an index beyond the items, selects nothing and empties the text
  std::string GetText() const;
  void SetText(const std::string& text);
  void SetHint(const std::string& hint);

 private:
  void showTextStart();

  bool typedOver_ = false;
};

}  // namespace trapezola::toolkit
