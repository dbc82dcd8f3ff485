// Number-to-text and text-to-number conversions with the behaviour of the
// classic Delphi / C++Builder run-time library, which every label text and field
// of the windows is written against.
//
// Conventions: the decimal separator is always "." and the exponent letter "E",
// whatever the process locale. Digits come from the exact decimal expansion of
// the double, correctly rounded (halves to even on exact ties). Texts are UTF-8.
//
// General format, FloatToStrF(v, ffGeneral, p, d): v rounded to p significant
// digits (p clamped to 1 .. 18), trailing zeros and a trailing point dropped. It
// is fixed notation when the rounded value has at most p digits before the point
// and a magnitude of at least 0.00001, otherwise one digit, the point, the
// remaining digits, "E", a "-" for a negative exponent only, and at least d
// exponent digits (d clamped to 0 .. 4): 1.5e-6 gives "1.5E-6" with d = 0 and
// "1.5E-0006" with d = 4. Zero is "0" (also -0).
//
// Exponent format, FloatToStrF(v, ffExponent, p, d): always p significant digits
// (one before the point), "E", the exponent's sign "+" or "-", and at least d
// exponent digits (d clamped to 0 .. 4): 123.4567891 with p = 7, d = 7 gives
// "1.234568E+0002".
//
// Non-finite values print as "NAN", "INF" and "-INF" in every format.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace trapezola::toolkit {

// Base of the toolkit's exceptions; what() is the message shown to the user.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A text that is not a number of the requested kind.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

enum TFloatFormat { ffGeneral, ffExponent };

// An optional sign, digits with at most one ".", at least one digit, and an
// optional exponent "E" or "e" with an optional sign and at least one digit.
// Blanks (spaces and tabs) around the number are ignored. A value beyond the
// double range throws; one too small for it becomes a zero of the same sign.
// Throws EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view text);

// An optional sign and decimal digits, or "$" or "0x" followed by hexadecimal
// digits, after optional leading blanks; nothing may follow. The value must fit
// in an int. Throws EConvertError "'<text>' is not a valid integer value".
int StrToInt(std::string_view text);

// True for a text that can still grow into a number while it is typed: the
// empty text, a sign, a point, an exponent letter or sign without its digits
// ("", "-", ".", "1e", "1e-"), as well as every complete number.
bool isNumberBeingTyped(std::string_view text);

// The general format with 15 significant digits and no minimum exponent width.
std::string FloatToStr(double value);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
std::string IntToStr(long long value);

}  // namespace trapezola::toolkit
