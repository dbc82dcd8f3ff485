#include "ui/main_window/field_numbers.h"

#include "raster/conversions.h"

namespace trapezola {

namespace {

template <typename Convert>
auto named(const char* field, const toolkit::TEdit& edit, Convert convert) {
  const std::string text = edit.GetText();
  try {
    return convert(text);
  } catch (const toolkit::EConvertError& error) {
    throw toolkit::EConvertError(std::string(field) + ": " + error.what());
  }
}

}  // namespace

double fieldFloat(const char* field, const toolkit::TEdit& edit) {
  return named(field, edit, [](const std::string& text) { return toolkit::StrToFloat(text); });
}

std::string outOfRangeMessage(const std::string& what, const std::string& text, const ParameterRange& range) {
  return what + ": '" + text + "' " + range.refusal;
}

double rangedFieldFloat(const char* field, const toolkit::TEdit& edit, const ParameterRange& range) {
  const double value = fieldFloat(field, edit);
  if (!range.accepts(value)) throw toolkit::Exception(outOfRangeMessage(field, edit.GetText(), range));
  return value;
}

void refuseOutOfRange(const char* field, const toolkit::TEdit& edit, const ParameterRange& range) {
  double value;
  try {
    value = toolkit::StrToFloat(edit.GetText());
  } catch (const toolkit::EConvertError&) {
    return;
  }
  if (!range.accepts(value)) throw toolkit::Exception(outOfRangeMessage(field, edit.GetText(), range));
}

int fieldInt(const char* field, const toolkit::TEdit& edit) {
  return named(field, edit, [](const std::string& text) { return toolkit::StrToInt(text); });
}

}  // namespace trapezola
