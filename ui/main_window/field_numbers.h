// Numbers read from the main window's fields, with errors that name the field:
// "distance: '1e' is not a valid floating point value".
#pragma once

#include <string>

#include "core/geometry/parameter_ranges.h"
#include "raster/conversions.h"
#include "ui/toolkit/edit.h"

namespace trapezola {

double fieldFloat(const char* field, const toolkit::TEdit& edit);
// The field's number, held to the range every front end holds it to: a value
// outside throws the toolkit's Exception naming the field, the text and the
// range ("b: '2' is outside [0.0001, 1], ...").
double rangedFieldFloat(const char* field, const toolkit::TEdit& edit, const ParameterRange& range);
// Throws the range's error when the field holds a number outside it; a text
// that is no number is left to its conversion.
void refuseOutOfRange(const char* field, const toolkit::TEdit& edit, const ParameterRange& range);
// The refusal of a value outside a range, as the fields word it.
std::string outOfRangeMessage(const std::string& what, const std::string& text, const ParameterRange& range);
int fieldInt(const char* field, const toolkit::TEdit& edit);

using toolkit::isNumberBeingTyped;

}  // namespace trapezola
