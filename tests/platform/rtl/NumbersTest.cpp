#include <gtest/gtest.h>

#include "platform/rtl/SysUtils.h"
#include "tests/common/RtlTesting.h"

namespace rtl_test {

TEST(IntegerText, IntToStrAndIntToHex) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(IntToStr(static_cast<Int64>(-9223372036854775807LL - 1)), "-9223372036854775808");
  EXPECT_EQ(IntToStr(size_t{42}), "42");
  EXPECT_EQ(IntToHex(255, 2), "FF");
  EXPECT_EQ(IntToHex(10, 4), "000A");
  EXPECT_EQ(IntToHex(0x1234, 2), "1234");  // digits is a minimum
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(static_cast<Int64>(-1), 2), "FFFFFFFFFFFFFFFF");
}

TEST(IntegerText, StrToIntAcceptsTheClassLibrarySyntax) {
  const struct {
    const char* text;
    Integer value;
  } ok[] = {
      {"0", 0},         {"42", 42},         {"-42", -42},      {"+7", 7},         {"  12", 12},
      {"$FF", 255},     {"0x1f", 31},       {"x10", 16},       {"-$10", -16},     {"$FFFFFFFF", -1},
      {"2147483647", 2147483647},           {"-2147483648", -2147483647 - 1},   {"007", 7},
  };
  for (const auto& c : ok) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;

  const char* bad[] = {"", " ", "12 ", "1.5", "abc", "2147483648", "-2147483649", "$", "$100000000", "1e3", "--1", "+"};
  for (const char* text : bad) {
    EXPECT_THROW(StrToInt(text), EConvertError) << text;
    EXPECT_EQ(StrToIntDef(text, -99), -99) << text;
    Integer v = 5;
    EXPECT_FALSE(TryStrToInt(text, v));
    EXPECT_EQ(v, 5);
  }
  try {
    StrToInt("12a");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'12a' is not a valid integer value");
  }
}

TEST(IntegerText, Int64AndHexToInt) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  EXPECT_EQ(StrToInt64Def("x", 3), 3);
  EXPECT_EQ(HexToInt("1F"), 31);
  EXPECT_EQ(HexToInt("ff"), 255);
  EXPECT_THROW(HexToInt(""), EConvertError);
  EXPECT_THROW(HexToInt("G1"), EConvertError);
  EXPECT_THROW(HexToInt("-1"), EConvertError);
}

TEST(IntegerText, Booleans) {
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false, true), "False");
  EXPECT_TRUE(StrToBool("true"));
  EXPECT_FALSE(StrToBool("FALSE"));
  EXPECT_TRUE(StrToBool("-1"));
  EXPECT_FALSE(StrToBool("0"));
  EXPECT_THROW(StrToBool("yes"), EConvertError);
}

TEST(FloatText, StrToFloatUsesOnlyTheLocaleSeparator) {
  const TFormatSettings dot = InvariantFormatSettings();
  const TFormatSettings comma = CommaDecimalSettings();
  const struct {
    const char* text;
    const TFormatSettings* fs;
    bool ok;
    Extended value;
  } cases[] = {
      {"88.5", &dot, true, 88.5},      {"88,5", &comma, true, 88.5},   {"88,5", &dot, false, 0},
      {"88.5", &comma, false, 0},      {"-0.25", &dot, true, -0.25},   {" 1.5 ", &dot, true, 1.5},
      {".5", &dot, true, 0.5},         {"5.", &dot, true, 5},          {"1E3", &dot, true, 1000},
      {"1,5e-2", &comma, true, 0.015}, {"", &dot, false, 0},           {".", &dot, false, 0},
      {"1e", &dot, false, 0},          {"1,000.5", &dot, false, 0},    {"inf", &dot, false, 0},
      {"nan", &dot, false, 0},         {"1e99999", &dot, false, 0},    {"12abc", &dot, false, 0},
  };
  for (const auto& c : cases) {
    Extended v = -1;
    EXPECT_EQ(TryStrToFloat(c.text, v, *c.fs), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(static_cast<double>(v), static_cast<double>(c.value)) << c.text;
    }
  }
}

TEST(FloatText, DoubleAndExtendedRanges) {
  Extended e = 0;
  double d = 0;
  EXPECT_TRUE(TryStrToFloat("1e400", e));  // fits the 80-bit extended type
  EXPECT_FALSE(TryStrToFloat("1e400", d));
  EXPECT_TRUE(TryStrToFloat("136.0125", d));
  EXPECT_EQ(d, 136.0125);
  EXPECT_EQ(FormatFloat("0.00000", d), "136.01250");
}

TEST(FloatText, StrToFloatFollowsTheGlobalSettings) {
  TFormatSettingsGuard guard(CommaDecimalSettings());
  EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat("438,125")), 438.125);
  EXPECT_THROW(StrToFloat("438.125"), EConvertError);
  EXPECT_EQ(StrToFloatDef("", 7), 7);
  try {
    StrToFloat("");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'' is not a valid floating point value");
  }
  Int64 currency = 0;
  EXPECT_TRUE(TextToFloat("12,34565", &currency, fvCurrency));
  EXPECT_EQ(currency, 123456);  // 123456.5 rounds half to even
}

TEST(FloatText, FloatToStrIsGeneralWithFifteenDigits) {
  const struct {
    Extended value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {0.1, "0.1"},
      {0.1 + 0.2, "0.3"},
      {1234.5, "1234.5"},
      {-88.45, "-88.45"},
      {1e14, "100000000000000"},
      {1e15, "1E15"},
      {123456789012345678.0, "1.23456789012346E17"},
      {0.00001, "0.00001"},
      {0.0000015, "1.5E-6"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {438.125, "438.125"},
      {1.7e308, "1.7E308"},
      {5e-324, "5E-324"},  // the shortest text that reads back as the same double,
      {std::numeric_limits<double>::infinity(), "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text) << static_cast<double>(c.value);
  EXPECT_EQ(FloatToStr(1234.5, CommaDecimalSettings()), "1234,5");
}

TEST(FloatText, FloatToStrFFormats) {
  const struct {
    Extended value;
    TFloatFormat format;
    Integer precision, digits;
    const char* text;
  } cases[] = {
      {1234.5678, ffFixed, 15, 2, "1234.57"},
      {0.125, ffFixed, 15, 2, "0.13"},       // decimal rounding, half away from zero
      {-0.125, ffFixed, 15, 2, "-0.13"},
      {-0.001, ffFixed, 15, 2, "0.00"},      // no "-0.00"
      {2.5, ffFixed, 15, 0, "3"},
      {1.23456, ffFixed, 3, 4, "1.2300"},    // precision limits the significant digits
      {1e20, ffFixed, 15, 2, "1E20"},        // too many integer digits: general format
      {1234567.891, ffNumber, 18, 2, "1,234,567.89"},
      {-1234.5, ffNumber, 18, 0, "-1,235"},
      {999.5, ffNumber, 18, 0, "1,000"},
      {1234.5, ffExponent, 4, 2, "1.235E+03"},
      {-0.000123, ffExponent, 3, 0, "-1.23E-4"},
      {0, ffExponent, 3, 2, "0.00E+00"},
      {1234.5, ffGeneral, 3, 0, "1.23E3"},
      {1234.5, ffGeneral, 4, 0, "1235"},
      {1234.5, ffCurrency, 18, 2, "$1,234.50"},
      {-1234.5, ffCurrency, 18, 2, "($1,234.50)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits), c.text)
        << static_cast<double>(c.value) << " format " << c.format;
  }
}

TEST(FloatText, CurrencyFollowsTheCurrencySettings) {
  TFormatSettings fs = InvariantFormatSettings();
  fs.CurrencyString = "EUR";
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 18, 2, fs), "1.234,50 EUR");
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 18, 2, fs), "-1.234,50 EUR");
}

}  // namespace rtl_test
