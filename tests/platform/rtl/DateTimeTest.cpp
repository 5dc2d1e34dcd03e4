#include <gtest/gtest.h>

#include "platform/rtl/SysUtils.h"
#include "tests/common/RtlTesting.h"

namespace rtl_test {

TEST(DateTime, EncodeAndDecodeAgreeOnKnownSerials) {
  const struct {
    Word y, m, d;
    double serial;
    Integer dow;
  } cases[] = {
      {1899, 12, 30, 0, 7},     {1899, 12, 31, 1, 1},    {1900, 1, 1, 2, 2},      {1900, 3, 1, 61, 5},
      {2000, 2, 29, 36585, 3},  {2024, 3, 5, 45356, 3},  {1, 1, 1, -693593, 2},   {9999, 12, 31, 2958465, 6},
      {1899, 12, 29, -1, 6},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
    Word y, m, d;
    DecodeDate(c.serial, y, m, d);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
    EXPECT_EQ(DayOfWeek(c.serial), c.dow) << c.serial;
  }
}

TEST(DateTime, InvalidPartsRaiseConvertError) {
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(2023, 13, 1), EConvertError);
  EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
  EXPECT_THROW(EncodeDate(10000, 1, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
  try {
    EncodeDate(2023, 2, 30);
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Invalid argument to date encode");
  }
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
}

TEST(DateTime, TimeRoundTripsToTheMillisecond) {
  for (Word ms : {0, 1, 499, 500, 999}) {
    const TDateTime t = EncodeTime(23, 59, 59, ms);
    Word h, n, s, z;
    DecodeTime(t, h, n, s, z);
    EXPECT_EQ(h, 23);
    EXPECT_EQ(n, 59);
    EXPECT_EQ(s, 59);
    EXPECT_EQ(z, ms);
  }
  // A negative serial keeps its time of day as the positive fraction.
  Word h, n, s, z;
  DecodeTime(-1.25, h, n, s, z);
  EXPECT_EQ(h, 6);
  // A time a hair below midnight rounds into the next day instead of showing hour 24.
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", EncodeDate(2024, 3, 5) + 0.99999999999),
            "2024-03-06 00:00:00.000");
}

TEST(DateTime, IncMonthKeepsTheDayWhereItCan) {
  const TDateTime t = EncodeTime(12, 0, 0, 0);
  EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31) + t, 1), EncodeDate(2024, 2, 29) + t);
  EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 15), -1), EncodeDate(2023, 12, 15));
  EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 31), -13), EncodeDate(2023, 2, 28));
  EXPECT_EQ(IncMonth(EncodeDate(2024, 5, 10), 24), EncodeDate(2026, 5, 10));
}

TEST(DateTime, NowFollowsTheInstalledClock) {
  const TDateTime fixed = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
  {
    TFixedClock clock(fixed);
    EXPECT_EQ(Now(), fixed);
    EXPECT_EQ(Date(), EncodeDate(2024, 3, 5));
    EXPECT_NEAR(Time(), EncodeTime(14, 7, 9, 0), 1e-9);
  }
  EXPECT_GT(Now(), EncodeDate(2020, 1, 1));
}

TEST(FormatDateTime, EverySpecifier) {
  // Tuesday 2024-03-05 14:07:09.045
  const TDateTime v = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
  const TDateTime morning = EncodeDate(2024, 3, 5) + EncodeTime(0, 5, 0, 0);
  const struct {
    const char* format;
    TDateTime value;
    const char* text;
  } cases[] = {
      {"c", v, "2024-03-05 14:07:09"},
      {"c", EncodeDate(2024, 3, 5), "2024-03-05"},  // no time at midnight
      {"", v, "2024-03-05 14:07:09"},
      {"d", v, "5"},
      {"dd", v, "05"},
      {"ddd", v, "Tue"},
      {"dddd", v, "Tuesday"},
      {"ddddd", v, "2024-03-05"},
      {"dddddd", v, "Tuesday, March 5, 2024"},
      {"m", v, "3"},
      {"mm", v, "03"},
      {"mmm", v, "Mar"},
      {"mmmm", v, "March"},
      {"yy", v, "24"},
      {"yyyy", v, "2024"},
      {"h", v, "14"},
      {"hh", morning, "00"},
      {"n", v, "7"},
      {"nn", v, "07"},
      {"s", v, "9"},
      {"ss", v, "09"},
      {"z", v, "45"},
      {"zzz", v, "045"},
      {"t", v, "14:07"},
      {"tt", v, "14:07:09"},
      {"h am/pm", v, "2 pm"},
      {"h AM/PM", morning, "12 AM"},
      {"h a/p", v, "2 p"},
      {"h A/P", morning, "12 A"},
      {"hh:nn ampm", v, "02:07 PM"},
      {"yyyy/mm/dd", v, "2024-03-05"},  // '/' is the date separator
      {"hh:nn", v, "14:07"},
      {"'yyyy' \"mm\" yyyy", v, "yyyy mm 2024"},
      {"[x] d", v, "[x] 5"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, c.value), c.text) << c.format;
}

TEST(FormatDateTime, CaseInsensitiveWithMinutesAfterHours) {
  const TDateTime v = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
  EXPECT_EQ(FormatDateTime("yyyy-MM-dd HH:mm:ss", v), "2024-03-05 14:07:09");
  EXPECT_EQ(FormatDateTime("yyyy-MM-dd HH:mm", v), "2024-03-05 14:07");
  EXPECT_EQ(FormatDateTime("HH:mm:ss", v), "14:07:09");
  EXPECT_EQ(FormatDateTime("dd/mm/yy, hh:mm:ss", v), "05-03-24, 14:07:09");
  EXPECT_EQ(FormatDateTime("hh \"h\" m", v), "14 h 7");
  EXPECT_EQ(FormatDateTime("mm hh mm", v), "03 14 07");
}

TEST(FormatDateTime, SeparatorsAndNamesComeFromTheSettings) {
  TFormatSettings fs = InvariantFormatSettings();
  fs.DateSeparator = '.';
  fs.TimeSeparator = '.';
  fs.ShortDateFormat = "dd/mm/yyyy";
  fs.LongTimeFormat = "hh:nn:ss";
  fs.LongMonthNames[2] = "März";
  fs.TimeAMString = "vorm.";
  fs.TimePMString = "nachm.";
  const TDateTime v = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
  EXPECT_EQ(FormatDateTime("c", v, fs), "05.03.2024 14.07.09");
  EXPECT_EQ(FormatDateTime("d mmmm yyyy", v, fs), "5 März 2024");
  EXPECT_EQ(FormatDateTime("h:nn ampm", v, fs), "2.07 nachm.");
  TFormatSettingsGuard guard(fs);
  EXPECT_EQ(DateToStr(v), "05.03.2024");
  EXPECT_EQ(TimeToStr(v), "14.07.09");
  EXPECT_EQ(DateTimeToStr(v), "05.03.2024 14.07.09");
}

TEST(FormatDateTime, SelfReferringSettingsDoNotRecurseForever) {
  TFormatSettings fs = InvariantFormatSettings();
  fs.ShortDateFormat = "c";
  fs.LongTimeFormat = "tt";
  EXPECT_NO_THROW(FormatDateTime("c", 45356.5, fs));
}

TEST(StrToDate, ReadsTheOrderAndSeparatorOfTheSettings) {
  TFixedClock clock(EncodeDate(2024, 3, 5));
  TFormatSettings dmy = InvariantFormatSettings();
  dmy.ShortDateFormat = "dd/mm/yyyy";
  dmy.DateSeparator = '.';
  TFormatSettings mdy = InvariantFormatSettings();
  mdy.ShortDateFormat = "m/d/yy";
  mdy.DateSeparator = '/';
  const TFormatSettings ymd = InvariantFormatSettings();
  const struct {
    const char* text;
    const TFormatSettings* fs;
    bool ok;
    TDateTime value;
  } cases[] = {
      {"2024-03-05", &ymd, true, EncodeDate(2024, 3, 5)},
      {" 2024-3-5 ", &ymd, true, EncodeDate(2024, 3, 5)},
      {"3-5", &ymd, true, EncodeDate(2024, 3, 5)},  // the current year
      {"05.03.2024", &dmy, true, EncodeDate(2024, 3, 5)},
      {"5.3", &dmy, true, EncodeDate(2024, 3, 5)},
      {"3/5/24", &mdy, true, EncodeDate(2024, 3, 5)},
      {"3/5/74", &mdy, true, EncodeDate(1974, 3, 5)},  // two-digit years: 1974 .. 2073 in 2024
      {"3/5/73", &mdy, true, EncodeDate(2073, 3, 5)},
      {"2024/03/05", &ymd, false, 0},
      {"2023-02-29", &ymd, false, 0},
      {"2024-13-01", &ymd, false, 0},
      {"2024", &ymd, false, 0},
      {"", &ymd, false, 0},
      {"2024-03-05x", &ymd, false, 0},
  };
  for (const auto& c : cases) {
    TDateTime v = -1;
    EXPECT_EQ(TryStrToDate(c.text, v, *c.fs), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  try {
    StrToDate("31-31");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'31-31' is not a valid date");
  }
  EXPECT_EQ(StrToDateDef("x", 7), 7);
}

TEST(StrToTime, HoursMinutesSecondsAndAmPm) {
  const struct {
    const char* text;
    bool ok;
    TDateTime value;
  } cases[] = {
      {"14:07", true, EncodeTime(14, 7, 0, 0)},
      {"14:07:09", true, EncodeTime(14, 7, 9, 0)},
      {"14:07:09.5", true, EncodeTime(14, 7, 9, 500)},
      {"2:07 PM", true, EncodeTime(14, 7, 0, 0)},
      {"12:00 am", true, 0},
      {"12:30 PM", true, EncodeTime(12, 30, 0, 0)},
      {"7:00 p", true, EncodeTime(19, 0, 0, 0)},
      {"24:00", false, 0},
      {"13:00 PM", false, 0},
      {"14", false, 0},
      {"14:60", false, 0},
      {"14:07:", false, 0},
      {"", false, 0},
  };
  for (const auto& c : cases) {
    TDateTime v = -1;
    EXPECT_EQ(TryStrToTime(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_NEAR(v, c.value, 1e-9) << c.text;
    }
  }
  EXPECT_THROW(StrToTime("x"), EConvertError);
}

TEST(StrToDateTime, DateWithOptionalTime) {
  EXPECT_NEAR(StrToDateTime("2024-03-05 14:07:09"), EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0), 1e-9);
  EXPECT_EQ(StrToDateTime("2024-03-05"), EncodeDate(2024, 3, 5));
  EXPECT_NEAR(StrToDateTime("14:07"), EncodeTime(14, 7, 0, 0), 1e-9);
  EXPECT_THROW(StrToDateTime("2024-03-05 25:00"), EConvertError);
  // What DateTimeToStr writes reads back.
  const TDateTime v = EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 58, 0);
  EXPECT_NEAR(StrToDateTime(DateTimeToStr(v)), v, 1e-9);
}

}  // namespace rtl_test
