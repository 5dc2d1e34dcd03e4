#include <gtest/gtest.h>

#include "platform/rtl/SysUtils.h"

namespace rtl_test {

TEST(Format, Directives) {
  const int x = 0;
  const struct {
    String text;
    const char* expected;
  } cases[] = {
      {Format("COM%d", 3), "COM3"},
      {Format("%d", -42), "-42"},
      {Format("%d", static_cast<Int64>(1) << 40), "1099511627776"},
      {Format("%07.7d", 1234), "0001234"},
      {Format("%.3d", -5), "-005"},
      {Format("%5d|%-5d|", 42, 42), "   42|42   |"},
      {Format("%08.8x", 0xBEEF), "0000BEEF"},
      {Format("%x", -1), "FFFFFFFF"},
      {Format("%u", -1), "4294967295"},
      {Format("%u", 7u), "7"},
      {Format("%s", "text"), "text"},
      {Format("%8s|%-8s|", "ab", "ab"), "      ab|ab      |"},
      {Format("%.2s", "abcdef"), "ab"},
      {Format("%s%s", 'a', String("b")), "ab"},
      {Format("%s", WideString(u"wide")), "wide"},
      {Format("%f", 2.5), "2.50"},
      {Format("%.1f", 88.45), "88.5"},
      {Format("%9.2f|", 3.14159), "     3.14|"},
      {Format("%.0f", 0.5), "1"},
      {Format("%n", 1234567.891), "1,234,567.89"},
      {Format("%.0n", 1234.5), "1,235"},
      {Format("%m", 12.5), "$12.50"},
      {Format("%e", 1234.5), "1.23450000000000E+003"},
      {Format("%.3e", -0.00123), "-1.23E-003"},
      {Format("%g", 0.1), "0.1"},
      {Format("%g", 1e20), "1E020"},
      {Format("%p", static_cast<const void*>(nullptr)), "0000000000000000"},
      {Format("100%%"), "100%"},
      {Format("%1:s %0:s %s", "a", "b"), "b a b"},
      {Format("%*d|", 5, 42), "   42|"},
      {Format("%-*d|", 5, 42), "42   |"},
      {Format("%.*f", 3, 1.0), "1.000"},
      {Format("%d", x), "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, c.expected);
}

TEST(Format, StringWidthCountsCharacters) {
  EXPECT_EQ(Format("%4s|", "信道"), "  信道|");
  EXPECT_EQ(Format("%.1s", "信道"), "信");
}

TEST(Format, FloatDirectivesUseTheSettings) {
  TFormatSettings fs = InvariantFormatSettings();
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = ' ';
  EXPECT_EQ(Format("%.2f", {2.5}, fs), "2,50");
  EXPECT_EQ(Format("%n", {1234567.891}, fs), "1 234 567,89");
  TFormatSettingsGuard guard(fs);
  EXPECT_EQ(Format("%.1f MHz", 438.125), "438,1 MHz");
}

TEST(Format, MismatchedOrMissingArgumentsRaise) {
  const struct {
    const char* format;
    std::vector<TVarRec> args;
  } bad[] = {
      {"%d", {"text"}},
      {"%d", {1.5}},
      {"%f", {1}},      // integers are not floats, as in the class library
      {"%s", {42}},
      {"%s", {true}},
      {"%x", {2.0}},
      {"%p", {7}},
      {"%*d", {"5", 1}},
      {"%q", {1}},
      {"%", {1}},
      {"%5", {1}},
      {"%99999999d", {1}},
  };
  for (const auto& c : bad) {
    EXPECT_THROW(Format(c.format, c.args), EConvertError) << c.format;
  }
  try {
    Format("%d", "x");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
  }
  try {
    Format("%d %d", 1);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "No argument for format '%d %d'");
  }
  EXPECT_THROW(Format("%2:d", 1, 2), EConvertError);
}

TEST(Format, ArgumentListsBuiltAtRunTime) {
  std::vector<TVarRec> args;
  args.emplace_back(String("ch"));
  args.emplace_back(16);
  args.push_back(TVarRec::Currency(123450));
  EXPECT_EQ(Format("%s%d %m", args), "ch16 $12.35");
}

}  // namespace rtl_test
