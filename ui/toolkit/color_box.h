// A colour picker: a drop-down list of named colours, each with a swatch.
//
// It lists the sixteen standard colours, four extended ones, the system colours
// of the current palette, "None", "Default" and "Custom...", which asks for any
// colour. Selected is always a plain colour 0x00BBGGRR that the canvas can draw
// with: system colours are resolved through the palette, and "None" and "Default"
// stand for black, the colour this box starts on.
#pragma once

#include <QComboBox>
#include <QPalette>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "raster/canvas.h"

namespace trapezola::toolkit {

class TColorBox : public QComboBox {
  Q_OBJECT

 public:
  explicit TColorBox(QWidget* parent);

  TColor Selected() const;
  // Selects the entry of that colour, or makes it the custom colour.
  void SetSelected(TColor color);

  // Asks the user for a custom colour, starting from the given one; no value
  // means cancelled. The default opens a colour dialog; tests replace it.
  static std::function<std::optional<TColor>(TColor current)> customColorChooser;

 private:
  enum class Kind { Fixed, System, None, Default, Custom };
  struct Entry {
    std::string name;
    Kind kind;
    TColor value;
    QPalette::ColorRole role;
  };

  TColor colorOf(const Entry& entry) const;
  void addEntry(const Entry& entry);
  void refreshSwatch(int index);
  void entryActivated(int index);

  std::vector<Entry> entries_;
  int customIndex_ = -1;
  int previousIndex_ = -1;
};

}  // namespace trapezola::toolkit
