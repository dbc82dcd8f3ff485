#include "ui/main_window/field_numbers.h"

#include <cctype>
#include <string_view>

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

bool isDigit(char c) {
  return c >= '0' && c <= '9';
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

// The grammar of StrToFloat read as far as the text goes: blanks, a sign,
// digits with at most one point, then "E" or "e", a sign and digits, then
// blanks. The text is a beginning of a number when it breaks none of it.
bool isNumberBeingTyped(const std::string& text) {
  std::string_view t = text;
  std::size_t i = 0;
  const auto blanks = [&] {
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
  };
  blanks();
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  bool point = false, mantissaDigit = false;
  while (i < t.size() && (isDigit(t[i]) || (t[i] == '.' && !point))) {
    if (t[i] == '.')
      point = true;
    else
      mantissaDigit = true;
    ++i;
  }
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    // An exponent needs a mantissa digit before it.
    if (!mantissaDigit) return false;
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    while (i < t.size() && isDigit(t[i])) ++i;
  }
  const std::size_t beforeBlanks = i;
  blanks();
  // Trailing blanks only after a number that is complete so far.
  if (i > beforeBlanks && !mantissaDigit) return false;
  return i == t.size();
}

}  // namespace trapezola
