// The picture-open dialog. Execute asks for a file among the picture formats
// that can be loaded; FileName keeps the last chosen path, and a cancelled
// dialog leaves it as it was.
#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace trapezola::toolkit {

class TOpenPictureDialog {
 public:
  explicit TOpenPictureDialog(QWidget* owner) : owner_(owner) {}

  // True when a file was chosen.
  bool Execute();

  std::string FileName;

  // Asks for a file, starting from the given path, with the given name filter;
  // no value means cancelled. The default opens a file dialog; tests replace it.
  static std::function<std::optional<std::string>(QWidget* owner, const std::string& start,
                                                  const std::string& filter)>
      fileChooser;

  // "All pictures (*.jpg *.jpeg ...)" and one entry per format Qt can read.
  static std::string pictureFilter();

 private:
  QWidget* owner_;
};

// The dialog that asks where to save a PNG picture. Execute starts from
// FileName (a folder and a suggested name) and keeps the chosen path there.
// The entry of `filter` (Qt's name filters, "PNG (*.png);;SVG (*.svg)") whose
// pattern has the extension of `name`, any case; the first entry when none has.
std::string nameFilterFor(const std::string& filter, const std::string& name);
// `name` with the extension of the filter entry's pattern in place of its own
// (or added); unchanged when it has that extension already or the entry has none.
std::string nameWithFilterSuffix(const std::string& name, const std::string& entry);

class TSavePictureDialog {
 public:
  explicit TSavePictureDialog(QWidget* owner) : owner_(owner) {}

  bool Execute();

  std::string FileName;
  // "PNG (*.png)" unless set: the file types offered, as Qt's name filters.
  std::string Filter = "PNG (*.png)";

  // Asks for a file to write, starting from the given path, with the given
  // filter; no value means cancelled. The default opens a file dialog; tests
  // replace it.
  static std::function<std::optional<std::string>(QWidget* owner, const std::string& start,
                                                  const std::string& filter)>
      fileChooser;

  // Asks for a whole number between minimum and maximum, starting from value;
  // no value means cancelled. The default opens an input dialog; tests replace it.
  static std::function<std::optional<int>(QWidget* owner, const std::string& label, int value, int minimum,
                                          int maximum)>
      numberAsker;

 private:
  QWidget* owner_;
};

}  // namespace trapezola::toolkit
