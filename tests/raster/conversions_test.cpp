// Exact texts of the number conversions, with the label values of the windows
// as worked examples, and the conversion errors of the input fields.
#include "raster/conversions.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

namespace trapezola::toolkit {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct FormatCase {
  double value;
  int precision;
  int digits;
  const char* expected;
};

TEST(FloatToStrF, GeneralFormatMatchesTheTableSummaries) {
  // Doubles as the geometry computes them for b = 1 and b = 0.5, R8/R = 2.
  const FormatCase cases[] = {
      {63.43494882292201, 5, 3, "63.435"},
      {1.1180339887498947, 5, 3, "1.118"},  // 1.1180: the trailing zero goes
      {2.2360679774997894, 5, 3, "2.2361"},
      {2.4756597941893168, 7, 5, "2.47566"},
      {4.5491549368514086, 7, 5, "4.549155"},
      {7.0248147310407258, 7, 5, "7.024815"},
      {9.0983098737028172, 7, 5, "9.09831"},
      {0.68853037265909633, 5, 3, "0.68853"},
      {2.0655911179772892, 5, 3, "2.0656"},
      {1.0327955589886446, 5, 3, "1.0328"},
      {1.119213779099834, 7, 5, "1.119214"},
      {3.2069501419386857, 7, 5, "3.20695"},
      {5.9296389920078623, 7, 5, "5.929639"},
      {8.0173753548467133, 7, 5, "8.017375"},
      {90.0, 7, 5, "90"},
      {-1.0, 7, 5, "-1"},
      {0.5, 7, 5, "0.5"},
      {2.5, 7, 5, "2.5"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FloatToStrF(c.value, ffGeneral, c.precision, c.digits), c.expected) << c.value;
  }
}

TEST(FloatToStrF, GeneralFormatSwitchesToScientificAtItsLimits) {
  const FormatCase cases[] = {
      {0.0, 7, 5, "0"},
      {-0.0, 7, 5, "0"},
      {0.0001234567, 7, 5, "0.0001234567"},
      {0.00001, 7, 5, "0.00001"},
      {0.00001234567, 7, 5, "0.00001234567"},
      {0.000009999999999, 7, 5, "0.00001"},  // rounds up to the limit first
      {0.0000099999, 7, 5, "9.9999E-0006"},
      {0.000001234567, 7, 5, "1.234567E-0006"},  // 5 exponent digits are capped at 4
      {0.000001234567, 7, 7, "1.234567E-0006"},
      {0.000001234567, 7, 0, "1.234567E-6"},
      {-0.0000015, 7, 2, "-1.5E-06"},
      {1234567.0, 7, 5, "1234567"},
      {1234567.4, 7, 5, "1234567"},
      {12345678.0, 7, 5, "1.234568E0007"},  // a positive exponent has no sign
      {9999999.6, 7, 5, "1E0007"},          // rounding adds a digit before the point
      {123456.0, 5, 3, "1.2346E005"},
      {100.0, 3, 0, "100"},
      {1000.0, 3, 0, "1E3"},
      // Correct rounding of the binary value, not of its shortest decimal text:
      // 0.15 is 0.1499999..., 1.005 is 1.00499999...
      {0.15, 1, 0, "0.1"},
      {1.005, 3, 0, "1"},
      {2.675, 3, 0, "2.67"},
      // Exact ties go to the even digit.
      {0.125, 2, 0, "0.12"},
      {0.375, 2, 0, "0.38"},
      // Precision is held to 1 .. 18.
      {123.456, 0, 0, "1E2"},
      {0.1, 40, 0, "0.100000000000000006"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FloatToStrF(c.value, ffGeneral, c.precision, c.digits), c.expected)
        << c.value << " p" << c.precision << " d" << c.digits;
  }
}

TEST(FloatToStrF, ExponentFormatKeepsEveryDigit) {
  const FormatCase cases[] = {
      {123.4567891, 7, 7, "1.234568E+0002"},
      {-0.000123, 7, 7, "-1.230000E-0004"},
      {0.0, 7, 7, "0.000000E+0000"},
      {1.0, 7, 2, "1.000000E+00"},
      {1e100, 7, 0, "1.000000E+100"},
      {9.9999999e-5, 7, 4, "1.000000E-0004"},
      {123.0, 1, 4, "1E+0002"},
      {-2.5e-300, 3, 4, "-2.50E-0300"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FloatToStrF(c.value, ffExponent, c.precision, c.digits), c.expected) << c.value;
  }
}

TEST(FloatToStr, UsesFifteenSignificantDigits) {
  const std::pair<double, const char*> cases[] = {
      {0.1, "0.1"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {100.0, "100"},
      {-42.5, "-42.5"},
      {1e20, "1E20"},
      {1.5e-6, "1.5E-6"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E15"},
      {123456789012345678.0, "1.23456789012346E17"},
      {212.10191082802547, "212.101910828025"},
      {0.1 + 0.2, "0.3"},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(FloatToStr(value), expected) << value;
}

TEST(FloatToStrF, NonFiniteValuesHaveFixedTexts) {
  for (const TFloatFormat format : {ffGeneral, ffExponent}) {
    EXPECT_EQ(FloatToStrF(kNaN, format, 7, 5), "NAN");
    EXPECT_EQ(FloatToStrF(-kNaN, format, 7, 5), "NAN");
    EXPECT_EQ(FloatToStrF(kInf, format, 7, 5), "INF");
    EXPECT_EQ(FloatToStrF(-kInf, format, 7, 5), "-INF");
  }
  EXPECT_EQ(FloatToStr(-kInf), "-INF");
}

TEST(IntToStr, PrintsTheFullRange) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-5), "-5");
  EXPECT_EQ(IntToStr(1000), "1000");
  EXPECT_EQ(IntToStr(INT_MIN), "-2147483648");
  EXPECT_EQ(IntToStr(LLONG_MIN), "-9223372036854775808");
}

TEST(StrToFloat, ReadsPlainDecimalNumbers) {
  const std::pair<const char*, double> cases[] = {
      {"1.5", 1.5},
      {"  2.5 ", 2.5},
      {"\t7\t", 7.0},
      {"-3", -3.0},
      {"+4", 4.0},
      {".5", 0.5},
      {"5.", 5.0},
      {"1e3", 1000.0},
      {"1E-3", 0.001},
      {"1.5e+2", 150.0},
      {"0.00000", 0.0},
      {"3.14159", 3.14159},
      {"6.11234", 6.11234},
      {"0.1", 0.1},
      {"007", 7.0},
      {"1e-400", 0.0},
      {"4.9e-324", 4.9e-324},
      {"1.7976931348623157e308", 1.7976931348623157e308},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(StrToFloat(text), expected) << text;
  // Leading zeros count toward the order: this underflows, it does not overflow.
  EXPECT_EQ(StrToFloat("0." + std::string(400, '0') + "1e10"), 0.0);
  EXPECT_TRUE(std::signbit(StrToFloat("-1e-400")));
  EXPECT_TRUE(std::signbit(StrToFloat("-0")));
}

TEST(StrToFloat, RejectsAnythingButANumber) {
  const char* cases[] = {"",     " ",   "-",     "+",      ".",       "-.",    "abc", "1.5x",   "x1.5",
                         "1,5",  "1e",  "1e+",   "--1",    "+-1",     "1.2.3", "inf", "nan",    "INF",
                         "0x10", "1 2", "1e400", "-1e400", "1.8e308", "1e5.5", "e5",  "6.28_px"};
  for (const char* text : cases) {
    EXPECT_THROW(StrToFloat(text), EConvertError) << '"' << text << '"';
  }
}

TEST(StrToFloat, ErrorQuotesTheTextAsTyped) {
  try {
    StrToFloat(" 1x ");
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "' 1x ' is not a valid floating point value");
    EXPECT_EQ(e.Message(), "' 1x ' is not a valid floating point value");
  }
  try {
    StrToFloat("abc");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
  }
}

TEST(StrToInt, ReadsDecimalAndHexadecimalIntegers) {
  const std::pair<const char*, int> cases[] = {
      {"0", 0},
      {"42", 42},
      {"-42", -42},
      {"+7", 7},
      {" 12 ", 12},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"$1F", 31},
      {"0x1f", 31},
      {"-$10", -16},
      {"$7FFFFFFF", INT_MAX},
      {"0500", 500},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(StrToInt(text), expected) << text;
}

TEST(StrToInt, RejectsNonIntegersAndOverflow) {
  const char* cases[] = {"",    "-",  "+",   "1.5", "abc", "2147483648",           "-2147483649",
                         "$",   "0x", "1e3", "12a", "1 2", "99999999999999999999", "$80000000",
                         "--1", "$G"};
  for (const char* text : cases) {
    EXPECT_THROW(StrToInt(text), EConvertError) << '"' << text << '"';
  }
  try {
    StrToInt("1.5");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'1.5' is not a valid integer value");
  }
}

}  // namespace
}  // namespace trapezola::toolkit
