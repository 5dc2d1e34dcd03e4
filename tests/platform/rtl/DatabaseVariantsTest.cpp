// The BCD record and the SQL time stamp: text, number conversions, order and their variant types.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "platform/rtl/FmtBcd.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/SysUtils.h"
#include "tests/common/RtlTesting.h"

namespace rtl_test {

TEST(Bcd, TextInGeneralAndFixedNotation) {
  struct Case {
    const char* Text;
    TFloatFormat Format;
    Integer Precision, Digits;
    const char* Expected;
  } cases[] = {
      {"12.50", ffGeneral, 0, 0, "12.5"},
      {"-0.001", ffGeneral, 0, 0, "-0.001"},
      {"+300", ffGeneral, 0, 0, "300"},
      {"1.5E3", ffGeneral, 0, 0, "1500"},
      {"25e-3", ffGeneral, 0, 0, "0.025"},
      {"-0.0", ffGeneral, 0, 0, "0"},
      {" 007 ", ffGeneral, 0, 0, "7"},
      {"123.456", ffGeneral, 4, 0, "123.5"},
      {"98765", ffGeneral, 2, 0, "99000"},
      {"2.345", ffFixed, 0, 2, "2.35"},
      {"-2.345", ffFixed, 0, 2, "-2.35"},
      {"2.5", ffFixed, 0, 0, "3"},
      {"-0.004", ffFixed, 0, 2, "0.00"},
      {"1", ffFixed, 0, 3, "1.000"},
      {"12345678901234567890123456789012345678901234567890.123456789", ffGeneral, 0, 0,
       "12345678901234567890123456789012345678901234567890.123456789"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.Expected, BcdToStrF(StrToBcd(c.Text), c.Format, c.Precision, c.Digits)) << c.Text;

  TBcd bcd;
  for (const char* bad : {"", "-", "1.2.3", "1e", "abc", "1 2", "0x10"}) EXPECT_FALSE(TryStrToBcd(bad, bcd)) << bad;
  EXPECT_THROW(StrToBcd(String(65, '9')), EBcdOverflowException);
  EXPECT_EQ("0", BcdToStr(StrToBcd("1e-200")));
  EXPECT_THROW(StrToBcd("x"), EBcdException);
}

TEST(Bcd, LayoutHoldsDigitsSignAndPlaces) {
  const TBcd bcd = StrToBcd("-12.345");
  EXPECT_EQ(5, bcd.Precision);
  EXPECT_EQ(0x80 | 3, bcd.SignSpecialPlaces);
  EXPECT_EQ(0x12, bcd.Fraction[0]);
  EXPECT_EQ(0x34, bcd.Fraction[1]);
  EXPECT_EQ(0x50, bcd.Fraction[2]);
  TBcd broken = bcd;
  broken.Fraction[0] = 0xA1;
  EXPECT_THROW(BcdToStr(broken), EBcdException);
}

TEST(Bcd, NumbersConvertBothWays) {
  for (const double d : {0.1, -1e60, 123456.789, 5e-20, 0.0}) EXPECT_EQ(d, BcdToDouble(DoubleToBcd(d))) << d;
  EXPECT_EQ("0.1", BcdToStr(DoubleToBcd(0.1)));
  EXPECT_THROW(DoubleToBcd(std::nan("")), EBcdException);
  EXPECT_THROW(DoubleToBcd(1e65), EBcdOverflowException);
  EXPECT_EQ(-9223372036854775807 - 1, BcdToInt64(IntegerToBcd(-9223372036854775807 - 1)));
  EXPECT_EQ(2, BcdToInt64(StrToBcd("2.5")));  // halves to even
  EXPECT_EQ(4, BcdToInt64(StrToBcd("3.5")));
  EXPECT_THROW(BcdToInt64(StrToBcd("9223372036854775808")), EBcdOverflowException);
  EXPECT_EQ(12346, BcdToCurrency(StrToBcd("1.23455")).Scaled);
  // Currency's four places, trailing zeros dropped; zero and a lone last place keep their digits.
  const std::pair<Int64, const char*> currencies[] = {
      {-15000, "-1.5"}, {0, "0"}, {1, "0.0001"}, {-10, "-0.001"}, {20000, "2"},
      {9223372036854775807, "922337203685477.5807"}};
  for (const auto& [scaled, text] : currencies) EXPECT_EQ(text, BcdToStr(CurrencyToBcd(Currency::FromScaled(scaled)))) << scaled;
}

TEST(Bcd, ComparesValuesExactly) {
  struct Case {
    const char *A, *B;
    Integer Expected;
  } cases[] = {{"1", "1.000", 0},  {"-0", "0", 0},     {"0.1", "0.10000000000000000001", -1},
               {"-2", "-10", 1},   {"-1", "1", -1},    {"100", "99.999", 1}};
  for (const Case& c : cases) EXPECT_EQ(c.Expected, BcdCompare(StrToBcd(c.A), StrToBcd(c.B))) << c.A << " " << c.B;
}

TEST(Bcd, VariantTypeConvertsAndCompares) {
  const Variant bcd = VarFMTBcdCreate(StrToBcd("-12.75"));
  EXPECT_TRUE(VarIsFMTBcd(bcd));
  EXPECT_TRUE(VarIsNumeric(bcd));
  EXPECT_EQ("-12.75", bcd.AsString());
  EXPECT_EQ(-12.75, bcd.AsDouble());
  EXPECT_EQ(-13, bcd.AsInteger());
  EXPECT_EQ(-127500, bcd.AsCurrency().Scaled);
  EXPECT_EQ("2.5", BcdToStr(VarToBcd(Variant("2.5"))));
  EXPECT_EQ("7", BcdToStr(VarToBcd(Variant(Integer{7}))));
  EXPECT_EQ("-1", BcdToStr(VarToBcd(Variant(true))));
  EXPECT_THROW(VarToBcd(Variant("seven")), EVariantTypeCastError);
  EXPECT_THROW(VarToBcd(Null()), EVariantTypeCastError);
  EXPECT_THROW(VarAsType(VarFMTBcdCreate(StrToBcd("1e30")), varInteger), EVariantOverflowError);
  EXPECT_EQ(vrLessThan, VarCompareValue(bcd, Variant(Integer{-12})));
  EXPECT_EQ(vrGreaterThan, VarCompareValue(VarFMTBcdCreate(StrToBcd("0.1000000000000000000001")),
                                           VarFMTBcdCreate(StrToBcd("0.1"))));
  TFormatSettingsGuard comma(CommaDecimalSettings());
  EXPECT_EQ("-12,75", bcd.AsString());
  EXPECT_EQ("0,5", BcdToStr(StrToBcd("0,5")));
}

TEST(SqlTimeStamp, ConvertsDatesAndComparesFields) {
  const TDateTime when = EncodeDateTime(2001, 5, 1, 10, 20, 30, 400);
  const TSQLTimeStamp stamp = DateTimeToSQLTimeStamp(when);
  EXPECT_EQ(2001, stamp.Year);
  EXPECT_EQ(5, stamp.Month);
  EXPECT_EQ(1, stamp.Day);
  EXPECT_EQ(10, stamp.Hour);
  EXPECT_EQ(20, stamp.Minute);
  EXPECT_EQ(30, stamp.Second);
  EXPECT_EQ(400u, stamp.Fractions);
  EXPECT_EQ(when, SQLTimeStampToDateTime(stamp));
  EXPECT_EQ(0, SQLTimeStampToDateTime(TSQLTimeStamp()));
  TSQLTimeStamp bad = stamp;
  bad.Month = 13;
  EXPECT_THROW(SQLTimeStampToDateTime(bad), EConvertError);
  EXPECT_THROW(DateTimeToSQLTimeStamp(3e6), EConvertError);

  TSQLTimeStamp earlier = stamp;
  earlier.Month = 4;
  earlier.Day = 30;
  EXPECT_EQ(1, CompareSQLTimeStamps(stamp, earlier));
  EXPECT_EQ(-1, CompareSQLTimeStamps(earlier, stamp));
  EXPECT_EQ(0, CompareSQLTimeStamps(stamp, stamp));

  const Variant v = VarSQLTimeStampCreate(stamp);
  EXPECT_TRUE(VarIsSQLTimeStamp(v));
  EXPECT_EQ(when, v.AsDateTime());
  EXPECT_EQ(DateTimeToStr(when), v.AsString());
  EXPECT_EQ(vrGreaterThan, VarCompareValue(v, VarSQLTimeStampCreate(earlier)));
  EXPECT_EQ(vrEqual, VarCompareValue(v, Variant::FromDateTime(when)));
  EXPECT_EQ(400u, VarToSQLTimeStamp(Variant::FromDateTime(when)).Fractions);
  EXPECT_THROW(VarToSQLTimeStamp(Variant("never")), EVariantTypeCastError);
  EXPECT_NE(VarSQLTimeStamp(), VarFMTBcd());
}

}  // namespace rtl_test
