// Notation:
//   digits     the significant decimal digits of a rounded value, d1 d2 ... dn
//   exponent   the number of digits before the decimal point, as in the Delphi
//              run-time library's float records: value = 0.d1 d2 ... dn * 10^exponent
//   p, d       precision (significant digits) and minimum exponent digits
#include "raster/conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace trapezola::toolkit {

namespace {

constexpr int kMaxPrecision = 18;
constexpr int kMaxExponentDigits = 4;
// Fixed notation holds down to 0.00001 = 0.1 * 10^-4.
constexpr int kSmallestFixedExponent = -4;

struct Decimal {
  std::string digits;
  int exponent = 0;
};

// |value| (finite, non-zero) correctly rounded to `precision` significant digits.
// std::to_chars works on the exact binary value and ignores the locale.
Decimal roundToDigits(double value, int precision) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::scientific, precision - 1);
  // The text is "d.ddd...e+XX" (no point when precision is 1).
  Decimal decimal;
  const char* p = buffer;
  for (; p != result.ptr && *p != 'e'; ++p) {
    if (*p != '.') decimal.digits += *p;
  }
  ++p;  // 'e'
  const bool negativeExponent = *p == '-';
  ++p;  // sign, always written
  int e = 0;
  std::from_chars(p, result.ptr, e);
  decimal.exponent = (negativeExponent ? -e : e) + 1;
  return decimal;
}

std::string exponentText(int exponent, bool forceSign, int minDigits) {
  std::string text = "E";
  if (exponent < 0) {
    text += '-';
  } else if (forceSign) {
    text += '+';
  }
  std::string number = std::to_string(std::abs(exponent));
  if (static_cast<int>(number.size()) < minDigits) number.insert(0, minDigits - number.size(), '0');
  return text + number;
}

std::string nonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

std::string formatGeneral(double value, int precision, int minExponentDigits) {
  if (value == 0) return "0";  // -0 too
  Decimal decimal = roundToDigits(value, precision);
  const auto lastNonZero = decimal.digits.find_last_not_of('0');
  decimal.digits.erase(lastNonZero + 1);

  std::string text = value < 0 ? "-" : "";
  const std::string& digits = decimal.digits;
  const int e = decimal.exponent;
  if (e > precision || e < kSmallestFixedExponent) {
    text += digits[0];
    if (digits.size() > 1) text += '.' + digits.substr(1);
    return text + exponentText(e - 1, false, minExponentDigits);
  }
  if (e <= 0) return text + "0." + std::string(-e, '0') + digits;
  const std::size_t before = static_cast<std::size_t>(e);
  if (digits.size() <= before) return text + digits + std::string(before - digits.size(), '0');
  return text + digits.substr(0, before) + '.' + digits.substr(before);
}

std::string formatExponent(double value, int precision, int minExponentDigits) {
  // Zero keeps its full width, "0.000000E+0000", like any other value.
  const Decimal decimal =
      value == 0 ? Decimal{std::string(precision, '0'), 1} : roundToDigits(value, precision);
  std::string text = value < 0 ? "-" : "";
  text += decimal.digits[0];
  if (precision > 1) text += '.' + decimal.digits.substr(1);
  return text + exponentText(decimal.exponent - 1, true, minExponentDigits);
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

[[noreturn]] void invalidFloat(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

[[noreturn]] void invalidInteger(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

double StrToFloat(std::string_view text) {
  const std::string_view s = trimmed(text);
  std::size_t i = 0;
  const bool negative = i < s.size() && s[i] == '-';
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  const std::size_t numberStart = i;

  // Checked by hand: std::from_chars would also take "inf", "nan" and hex
  // digits, none of which a field may hold.
  std::size_t mantissaDigits = 0;
  std::int64_t order = 0;  // decimal order of the first non-zero digit, for range errors
  bool seenNonZero = false, seenPoint = false;
  for (; i < s.size(); ++i) {
    if (s[i] == '.' && !seenPoint) {
      seenPoint = true;
    } else if (isDigit(s[i])) {
      ++mantissaDigits;
      if (s[i] != '0') seenNonZero = true;
      if (seenNonZero && !seenPoint) ++order;
      if (!seenNonZero && seenPoint) --order;
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) invalidFloat(text);

  std::int64_t exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    const bool negativeExponent = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    std::size_t exponentDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++exponentDigits) {
      // Saturate: any exponent this large already decides the range.
      exponent = std::min<std::int64_t>(exponent * 10 + (s[i] - '0'), 1'000'000'000);
    }
    if (exponentDigits == 0) invalidFloat(text);
    if (negativeExponent) exponent = -exponent;
  }
  if (i != s.size()) invalidFloat(text);

  double magnitude = 0;
  const auto result = std::from_chars(s.data() + numberStart, s.data() + s.size(), magnitude);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars reports both overflow and underflow to zero; the decimal order
    // tells them apart (subnormal results are returned normally).
    if (order + exponent > 0) invalidFloat(text);
    magnitude = 0;
  } else if (result.ec != std::errc{} || result.ptr != s.data() + s.size()) {
    invalidFloat(text);
  }
  return negative ? -magnitude : magnitude;
}

int StrToInt(std::string_view text) {
  const std::string_view s = trimmed(text);
  std::size_t i = 0;
  const bool negative = i < s.size() && s[i] == '-';
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;

  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == s.size()) invalidInteger(text);

  // One past INT_MAX is allowed for the magnitude of INT_MIN.
  const std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + (negative ? 1 : 0);
  std::int64_t magnitude = 0;
  for (; i < s.size(); ++i) {
    const int digit = base == 16 ? hexValue(s[i]) : (isDigit(s[i]) ? s[i] - '0' : -1);
    if (digit < 0) invalidInteger(text);
    magnitude = magnitude * base + digit;
    if (magnitude > limit) invalidInteger(text);
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

std::string FloatToStr(double value) {
  return FloatToStrF(value, ffGeneral, 15, 0);
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  if (!std::isfinite(value)) return nonFiniteText(value);
  precision = std::clamp(precision, 1, kMaxPrecision);
  digits = std::clamp(digits, 0, kMaxExponentDigits);
  return format == ffExponent ? formatExponent(value, precision, digits)
                              : formatGeneral(value, precision, digits);
}

// The grammar of StrToFloat read as far as the text goes: blanks, a sign,
// digits with at most one point, then "E" or "e", a sign and digits, then
// blanks. The text is a beginning of a number when it breaks none of it.
bool isNumberBeingTyped(std::string_view t) {
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

std::string IntToStr(long long value) {
  return std::to_string(value);
}

}  // namespace trapezola::toolkit
