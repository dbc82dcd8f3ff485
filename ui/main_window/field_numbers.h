// Numbers read from the main window's fields, with errors that name the field:
// "distance: '1e' is not a valid floating point value".
#pragma once

#include <string>

#include "ui/toolkit/edit.h"

namespace trapezola {

double fieldFloat(const char* field, const toolkit::TEdit& edit);
int fieldInt(const char* field, const toolkit::TEdit& edit);

// True for a text that can still grow into a number while it is typed: the
// empty text, a sign, a point, an exponent letter or sign without its digits
// ("", "-", ".", "1e", "1e-"), as well as every complete number.
bool isNumberBeingTyped(const std::string& text);

}  // namespace trapezola
