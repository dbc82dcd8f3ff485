// The toolkit's number conversions against any input. The first byte picks the
// check, the rest is its data:
//   0  the bytes as a field's text: StrToFloat and StrToInt return or throw
//      EConvertError, and what they accept agrees with the C library's strtod
//      and strtoll on the same text;
//   1  eight bytes as a double, formatted in every format the windows print:
//      the text has its format's shape, and StrToFloat reads it back within
//      half a unit of its last printed digit (non-finite values print as
//      "NAN", "INF", "-INF", which the parser refuses);
//   2  a double with any precision and digits: the same as the clamped values;
//   3  eight bytes as an integer: IntToStr, then StrToInt gives it back when it
//      fits in an int and throws otherwise.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "raster/conversions.h"

namespace trapezola::fuzz {
namespace {

using toolkit::EConvertError;
using toolkit::TFloatFormat;

struct Format {
  TFloatFormat format;
  int precision;
  int digits;
};

// Every FloatToStrF( call of the windows, and FloatToStr's (15, 0).
constexpr Format usedFormats[] = {
    {toolkit::ffGeneral, 7, 5},   // pointer read-out, loaded values, perimeter, trace
    {toolkit::ffGeneral, 6, 4},   // m11, m22 of the analysis label
    {toolkit::ffGeneral, 5, 3},   // geometry summary radii
    {toolkit::ffGeneral, 7, 3},   // geometry summary corners
    {toolkit::ffGeneral, 7, 7},   // block-independent gradient
    {toolkit::ffExponent, 7, 7},  // fit coefficients a and b
    {toolkit::ffGeneral, 15, 0},  // FloatToStr
};

std::string_view trimmedBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool onlyOf(std::string_view s, std::string_view allowed) {
  return !s.empty() && s.find_first_not_of(allowed) == std::string_view::npos;
}

bool sameDouble(double a, double b) {
  return (a == b && std::signbit(a) == std::signbit(b)) || (std::isnan(a) && std::isnan(b));
}

// strtod on the whole text; false when it stops early. `overflow` when the
// value is beyond the double range.
bool referenceReal(const std::string& text, double& value, bool& overflow) {
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  overflow = errno == ERANGE && std::isinf(value);
  return !text.empty() && end == text.c_str() + text.size();
}

void checkFieldText(std::string_view text) {
  const std::string_view number = trimmedBlanks(text);
  // The characters a decimal number is written with; strtod also takes blanks,
  // "inf", "nan" and hexadecimal, which a field may not hold.
  const bool decimalCharacters = onlyOf(number, "0123456789+-.eE");

  bool accepted = true;
  double v = 0;
  try {
    v = toolkit::StrToFloat(text);
  } catch (const EConvertError&) {
    accepted = false;
  }
  double reference = 0;
  bool overflow = false;
  const bool referenceReads = decimalCharacters && referenceReal(std::string(number), reference, overflow);
  if (accepted) {
    check(std::isfinite(v), "StrToFloat returns a finite value", text);
    check(referenceReads && !overflow, "StrToFloat accepts only what strtod reads whole", text);
    check(sameDouble(v, reference), "StrToFloat reads the value strtod reads", text);
  } else {
    check(!referenceReads || overflow, "StrToFloat refuses only what strtod does not read, or beyond range",
          text);
  }

  accepted = true;
  int n = 0;
  try {
    n = toolkit::StrToInt(text);
  } catch (const EConvertError&) {
    accepted = false;
  }
  // The reference: sign, then "$" or "0x" with hexadecimal digits, or decimal
  // digits; strtoll gives the value.
  std::string_view body = number;
  std::string sign;
  if (!body.empty() && (body.front() == '-' || body.front() == '+')) {
    sign = body.front();
    body.remove_prefix(1);
  }
  int base = 10;
  if (!body.empty() && body.front() == '$') {
    base = 16;
    body.remove_prefix(1);
  } else if (body.size() >= 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X')) {
    base = 16;
    body.remove_prefix(2);
  }
  const bool wellFormed = onlyOf(body, base == 16 ? "0123456789abcdefABCDEF" : "0123456789");
  bool fits = false;
  long long referenceInt = 0;
  if (wellFormed) {
    const std::string digits = sign + std::string(body);
    errno = 0;
    referenceInt = std::strtoll(digits.c_str(), nullptr, base);
    fits = errno != ERANGE && referenceInt >= std::numeric_limits<int>::min() &&
           referenceInt <= std::numeric_limits<int>::max();
  }
  check(accepted == fits, "StrToInt accepts exactly the int texts", text);
  if (accepted) check(n == referenceInt, "StrToInt reads the value strtoll reads", text);
}

// The text's parts; false when it is not sign, digits, point, digits and an
// optional exponent.
struct NumberShape {
  std::string integerDigits, fractionDigits, exponentDigits;
  bool point = false, exponent = false;
  char exponentSign = 0;
};

bool splitNumber(std::string_view s, NumberShape& shape) {
  if (!s.empty() && s.front() == '-') s.remove_prefix(1);
  std::size_t i = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) shape.integerDigits += s[i];
  if (i < s.size() && s[i] == '.') {
    shape.point = true;
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) shape.fractionDigits += s[i];
  }
  if (i < s.size() && s[i] == 'E') {
    shape.exponent = true;
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) shape.exponentSign = s[i++];
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) shape.exponentDigits += s[i];
    if (shape.exponentDigits.empty()) return false;
  }
  return i == s.size() && !shape.integerDigits.empty() && (!shape.point || !shape.fractionDigits.empty());
}

void checkShape(double v, const Format& f, const std::string& text) {
  NumberShape shape;
  check(splitNumber(text, shape), "a finite value prints as a decimal number", text);
  check((text.front() == '-') == (v < 0), "the minus sign is there exactly for a negative value", text);
  // The exponent width is at most 4 whatever `digits` asks: (7, 7) prints E+0002.
  const std::size_t minExponentDigits = static_cast<std::size_t>(std::clamp(f.digits, 0, 4));
  if (f.format == toolkit::ffExponent) {
    check(shape.exponent && shape.exponentSign != 0, "the exponent format has a signed exponent", text);
    check(shape.integerDigits.size() == 1, "the exponent format has one digit before the point", text);
    check(shape.fractionDigits.size() == static_cast<std::size_t>(f.precision - 1),
          "the exponent format has precision digits", text);
    check(shape.exponentDigits.size() >= minExponentDigits, "the exponent has at least `digits` digits",
          text);
    return;
  }
  check(!shape.point || shape.fractionDigits.back() != '0', "the general format drops trailing zeros", text);
  if (shape.exponent) {
    check(shape.exponentSign != '+', "the general format's exponent has no plus sign", text);
    check(shape.integerDigits.size() == 1 && shape.integerDigits != "0",
          "the general format's scientific form starts with one non-zero digit", text);
    check(shape.exponentDigits.size() >= minExponentDigits, "the exponent has at least `digits` digits",
          text);
  }
  const std::string all = shape.integerDigits + shape.fractionDigits;
  const std::size_t firstSignificant = all.find_first_not_of('0');
  const std::size_t significant = firstSignificant == std::string::npos ? 0 : all.size() - firstSignificant;
  check(significant <= static_cast<std::size_t>(f.precision),
        "the general format has at most precision digits", text);
}

void checkFormatted(double v, const Format& f) {
  const std::string text = toolkit::FloatToStrF(v, f.format, f.precision, f.digits);
  if (!std::isfinite(v)) {
    check(text == (std::isnan(v) ? "NAN"
                   : v < 0       ? "-INF"
                                 : "INF"),
          "non-finite values print as NAN, INF, -INF", text);
    bool refused = false;
    try {
      toolkit::StrToFloat(text);
    } catch (const EConvertError&) {
      refused = true;
    }
    check(refused, "StrToFloat refuses the non-finite texts", text);
    return;
  }
  checkShape(v, f, text);

  double back = 0;
  try {
    back = toolkit::StrToFloat(text);
  } catch (const EConvertError&) {
    // Only a value rounded up past the largest double reads back as out of range.
    double reference = 0;
    bool overflow = false;
    referenceReal(text, reference, overflow);
    check(overflow, "a printed finite value reads back", text);
    return;
  }
  // Rounding to p significant digits moves the value by at most half a unit of
  // the last digit, 0.5 * 10^(1-p) of its magnitude; reading the text back adds
  // one rounding to double, and subnormals have an absolute step.
  const double relative = 0.5 * std::pow(10.0, 1 - f.precision) + std::numeric_limits<double>::epsilon();
  const double bound =
      relative * std::max(std::fabs(v), std::fabs(back)) + std::numeric_limits<double>::denorm_min();
  check(std::fabs(back - v) <= bound, "formatting then parsing stays within the precision", text);
}

void checkInteger(long long value) {
  const std::string text = toolkit::IntToStr(value);
  const bool fits = value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
  bool accepted = true;
  int back = 0;
  try {
    back = toolkit::StrToInt(text);
  } catch (const EConvertError&) {
    accepted = false;
  }
  check(accepted == fits, "StrToInt reads back exactly the ints IntToStr writes", text);
  if (accepted) check(back == value, "IntToStr then StrToInt gives the value back", text);
  check(toolkit::StrToFloat(text) == static_cast<double>(value), "StrToFloat reads an integer text", text);
}

}  // namespace
}  // namespace trapezola::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trapezola::fuzz;
  if (size == 0) return 0;
  InputReader input(data + 1, size - 1);
  switch (data[0] % 4) {
    case 0:
      checkFieldText(input.rest());
      break;
    case 1: {
      const double v = input.take<double>();
      for (const Format& f : usedFormats) checkFormatted(v, f);
      check(trapezola::toolkit::FloatToStr(v) ==
                trapezola::toolkit::FloatToStrF(v, trapezola::toolkit::ffGeneral, 15, 0),
            "FloatToStr is the general format with 15 digits");
      break;
    }
    case 2: {
      const double v = input.take<double>();
      const auto format = input.take<std::uint8_t>() % 2 == 0 ? trapezola::toolkit::ffGeneral
                                                              : trapezola::toolkit::ffExponent;
      const int precision = input.take<int>();
      const int digits = input.take<int>();
      const Format clamped{format, std::clamp(precision, 1, 18), std::clamp(digits, 0, 4)};
      check(trapezola::toolkit::FloatToStrF(v, format, precision, digits) ==
                trapezola::toolkit::FloatToStrF(v, format, clamped.precision, clamped.digits),
            "precision and digits outside their ranges act as the nearest in range");
      checkFormatted(v, clamped);
      break;
    }
    default:
      checkInteger(input.take<long long>());
      break;
  }
  return 0;
}
