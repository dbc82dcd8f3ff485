// The main window's controls for tests, found as tools that drive the window
// find them: by their layout names ("Edit1", "faziskep"), the object names the
// window gives them.
#pragma once

#include <QString>
#include <stdexcept>
#include <string>

#include "ui/main_window/tform1.h"

namespace trapezola {

template <typename Control>
Control* mainWindowControl(const char* name) {
  auto* control = Form1->findChild<Control*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
  if (!control)
    throw std::logic_error(std::string("the main window has no control ") + name + " of that kind");
  return control;
}

inline toolkit::TLabel* mainLabel(const char* name) {
  return mainWindowControl<toolkit::TLabel>(name);
}
inline toolkit::TEdit* mainEdit(const char* name) {
  return mainWindowControl<toolkit::TEdit>(name);
}
inline toolkit::TButton* mainButton(const char* name) {
  return mainWindowControl<toolkit::TButton>(name);
}
inline toolkit::TImage* mainImage(const char* name) {
  return mainWindowControl<toolkit::TImage>(name);
}
inline toolkit::TCheckBox* mainCheckBox(const char* name) {
  return mainWindowControl<toolkit::TCheckBox>(name);
}
inline toolkit::TComboBox* mainComboBox(const char* name) {
  return mainWindowControl<toolkit::TComboBox>(name);
}
inline toolkit::TColorBox* mainColorBox(const char* name) {
  return mainWindowControl<toolkit::TColorBox>(name);
}
inline toolkit::TTrackBar* mainTrackBar(const char* name) {
  return mainWindowControl<toolkit::TTrackBar>(name);
}
inline toolkit::TProgressBar* mainProgressBar(const char* name) {
  return mainWindowControl<toolkit::TProgressBar>(name);
}

}  // namespace trapezola
