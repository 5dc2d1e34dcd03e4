// Locale information and the date and time pictures.
#include <gtest/gtest.h>

#include "platform/classes/Kernel.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/core/WinNls.h"
#include "tests/common/LocaleTesting.h"
#include "tests/common/RtlTesting.h"

namespace wincore_test {

namespace {

SYSTEMTIME Time(WORD Year, WORD Month, WORD Day, WORD Hour = 0, WORD Minute = 0, WORD Second = 0) {
  SYSTEMTIME st;
  st.wYear = Year;
  st.wMonth = Month;
  st.wDay = Day;
  st.wHour = Hour;
  st.wMinute = Minute;
  st.wSecond = Second;
  return st;
}

String DateText(const SYSTEMTIME* ADate, const char* AFormat) {
  char buffer[100] = {};
  return GetDateFormatA(LOCALE_USER_DEFAULT, 0, ADate, AFormat, buffer, sizeof buffer) > 0 ? buffer : "<failed>";
}

String TimeText(const SYSTEMTIME* ATime, const char* AFormat) {
  char buffer[100] = {};
  return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, ATime, AFormat, buffer, sizeof buffer) > 0 ? buffer : "<failed>";
}

}  // namespace

TEST(LocaleInfo, AnswersSizesValuesAndErrors) {
  TLocaleInfoGuard pinned({{LOCALE_SSHORTDATE, "dd/MM/yyyy"}, {LOCALE_IFIRSTDAYOFWEEK, "6"}});
  EXPECT_EQ(11, GetLocaleInfoA(GetThreadLocale(), LOCALE_SSHORTDATE, nullptr, 0));
  char buffer[16];
  EXPECT_EQ(11, GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, sizeof buffer));
  EXPECT_STREQ("dd/MM/yyyy", buffer);
  EXPECT_EQ(2, GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IFIRSTDAYOFWEEK | LOCALE_NOUSEROVERRIDE, buffer, 2));
  EXPECT_STREQ("6", buffer);

  EXPECT_EQ(0, GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, 5));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
  EXPECT_EQ(0, GetLocaleInfoA(LOCALE_USER_DEFAULT, 0x7777, buffer, sizeof buffer));
  EXPECT_EQ(ERROR_INVALID_FLAGS, GetLastError());
  EXPECT_FALSE(SetLocaleInfoA(LOCALE_USER_DEFAULT, 0x7777, "x"));
  EXPECT_FALSE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, nullptr));

  // The defaults come from the locale data: every item has a value.
  for (const LCTYPE type : {LOCALE_SDATE, LOCALE_STIME, LOCALE_STIMEFORMAT, LOCALE_S1159, LOCALE_SMONTHNAME1 + 11,
                            LOCALE_SABBREVDAYNAME1 + 6})
    EXPECT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0), 1) << type;
}

TEST(LocaleInfo, DatePictures) {
  TLocaleInfoGuard pinned({{LOCALE_SSHORTDATE, "d.M.yy"},
                           {LOCALE_SMONTHNAME1 + 2, "March"},
                           {LOCALE_SABBREVMONTHNAME1 + 2, "Mar"},
                           {LOCALE_SDAYNAME1 + 1, "Tuesday"},
                           {LOCALE_SABBREVDAYNAME1 + 1, "Tue"}});
  const SYSTEMTIME march5 = Time(2024, 3, 5);
  const SYSTEMTIME year9 = Time(2009, 11, 25);
  struct Case {
    const SYSTEMTIME* Date;
    const char* Format;
    const char* Expected;
  } cases[] = {
      {&march5, nullptr, "5.3.24"},
      {&march5, "dd/MM/yyyy", "05/03/2024"},
      {&march5, "ddd, dddd d MMM MMMM", "Tue, Tuesday 5 Mar March"},
      {&march5, "yyyyy", "2024"},
      {&year9, "y|yy|yyyy|M|d", "9|09|2009|11|25"},
      {&march5, "'Day' d 'of' MMMM", "Day 5 of March"},
      {&march5, "''d'' 'it''s'", "'5' it's"},
      {&march5, "'unclosed d", "unclosed d"},
      {&march5, "hh:mm gg", "hh:mm A.D."},
  };
  for (const Case& c : cases) EXPECT_EQ(c.Expected, DateText(c.Date, c.Format)) << (c.Format ? c.Format : "(locale)");

  const SYSTEMTIME invalid = Time(2023, 2, 29);
  char buffer[100];
  EXPECT_EQ(0, GetDateFormatA(LOCALE_USER_DEFAULT, 0, &invalid, "d", buffer, sizeof buffer));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_EQ(0, GetDateFormatA(LOCALE_USER_DEFAULT, 4, &march5, "d", buffer, sizeof buffer));
  EXPECT_EQ(ERROR_INVALID_FLAGS, GetLastError());
  EXPECT_EQ(11, GetDateFormatA(LOCALE_USER_DEFAULT, 0, &march5, "dd/MM/yyyy", nullptr, 0));
  EXPECT_EQ(0, GetDateFormatA(LOCALE_USER_DEFAULT, 0, &march5, "dd/MM/yyyy", buffer, 10));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());

  TFixedClock clock(EncodeDate(2024, 3, 5) + 0.25);
  EXPECT_EQ("5.3.24", DateText(nullptr, nullptr));
}

TEST(LocaleInfo, TimePictures) {
  TLocaleInfoGuard pinned({{LOCALE_STIMEFORMAT, "h:mm:ss tt"}, {LOCALE_S1159, "AM"}, {LOCALE_S2359, "PM"}});
  const SYSTEMTIME evening = Time(2024, 3, 5, 18, 7, 9);
  const SYSTEMTIME midnight = Time(2024, 3, 5, 0, 5, 0);
  struct Case {
    const SYSTEMTIME* Time;
    const char* Format;
    const char* Expected;
  } cases[] = {
      {&evening, nullptr, "6:07:09 PM"},
      {&evening, "HH:mm:ss", "18:07:09"},
      {&evening, "H h hh m s t", "18 6 06 7 9 P"},
      {&midnight, nullptr, "12:05:00 AM"},
      {&midnight, "'at' H:mm", "at 0:05"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.Expected, TimeText(c.Time, c.Format)) << (c.Format ? c.Format : "(locale)");
  SYSTEMTIME bad = evening;
  bad.wHour = 24;
  EXPECT_EQ("<failed>", TimeText(&bad, "H"));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

}  // namespace wincore_test
