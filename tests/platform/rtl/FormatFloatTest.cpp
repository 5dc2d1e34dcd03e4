#include <gtest/gtest.h>

#include "platform/rtl/SysUtils.h"

namespace rtl_test {

// Tie cases are decided on the decimal text of the value, not on its binary expansion:
// 88.45 is stored as 88.4499999999999957..., and still shows as "88.5".
TEST(FormatFloat, RoundsDecimallyHalfAwayFromZero) {
  const struct {
    const char* format;
    Extended value;
    const char* text;
  } cases[] = {
      {"0.0", 88.45, "88.5"},
      {"0.0", 67.05, "67.1"},
      {"0.0", 0.05, "0.1"},
      {"0.0", -88.45, "-88.5"},
      {"0", 0.5, "1"},
      {"0", 1.5, "2"},
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0.00", 1.005, "1.01"},
      {"0.00000", 438.125, "438.12500"},
      {"0.00000", 136.0125, "136.01250"},
      {"0.0", 99.96, "100.0"},
      {"0.0", -0.04, "0.0"},  // a value that shows as zero carries no sign
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.format, c.value), c.text) << c.format << " " << static_cast<double>(c.value);
}

TEST(FormatFloat, DigitPlaceholdersAndGrouping) {
  const struct {
    const char* format;
    Extended value;
    const char* text;
  } cases[] = {
      {"000", 7, "007"},
      {"0000", 12345, "12345"},
      {"00000000", 43812500, "43812500"},
      {"00", 5, "05"},
      {"#", 0, ""},
      {"#.##", 0.5, ".5"},
      {"0.##", 5, "5"},
      {"0.##", 5.1, "5.1"},
      {"0.0#", 5.123, "5.12"},
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0", 999, "999"},
      {"#,##0", -1000, "-1,000"},
      {",0.", 1234, "1,234"},
      {".00", 12.5, "12.50"},
      {"0.00E+00", 1234, "1.23E+03"},
      {"0.00E-00", 1234, "1.23E03"},
      {"0.00E-00", 0.001234, "1.23E-03"},
      {"0.0e+0", 0, "0.0e+0"},
      {"00.0E+0", 1234, "12.3E+2"},
      {"", 1234.5, "1234.5"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.format, c.value), c.text) << c.format << " " << static_cast<double>(c.value);
}

TEST(FormatFloat, SectionsAndLiterals) {
  const struct {
    const char* format;
    Extended value;
    const char* text;
  } cases[] = {
      {"SUM=0.00;SUM=-0.00", 5, "SUM=5.00"},
      {"SUM=0.00;SUM=-0.00", -5, "SUM=-5.00"},
      {"0.00;(0.00)", -5, "(5.00)"},
      {"0.00;(0.00);'zero'", 0, "zero"},
      {"0.00;(0.00);'zero'", 0.001, "zero"},  // shows as zero under the first section
      {"0.00;;'zero'", -5, "-5.00"},          // an empty section falls back to the first
      {"\"$\"#,##0.00", 1234.5, "$1,234.50"},
      {"'#'0", 7, "#7"},
      {"0 MHz", 438, "438 MHz"},
      {"0.0 'dB'", -3.25, "-3.3 dB"},
      {"0.00\";\"", 1, "1.00;"},  // ';' inside quotes does not split sections
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.format, c.value), c.text) << c.format << " " << static_cast<double>(c.value);
}

TEST(FormatFloat, UsesTheLocaleSeparators) {
  TFormatSettings fs = InvariantFormatSettings();
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, fs), "1.234.567,89");
  EXPECT_EQ(FormatFloat("0.0", 88.45, fs), "88,5");
  TFormatSettingsGuard guard(fs);
  EXPECT_EQ(FormatFloat("0.00000", 438.125), "438,12500");
}

TEST(FormatFloat, SpecialValues) {
  EXPECT_EQ(FormatFloat("0.0", std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FormatFloat("0.0", -std::numeric_limits<double>::infinity()), "-INF");
  EXPECT_EQ(FormatFloat("0.0", std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(FormatFloat("0.00", 1e300).size(), 304u);
}

}  // namespace rtl_test
