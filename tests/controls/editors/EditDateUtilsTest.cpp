// The editors' calendar arithmetic against an independent proleptic Gregorian calendar (std::chrono)
// over the years the editors accept, and the range, sign and checked-encoding rules at their edges.
#include <gtest/gtest.h>

#include <chrono>

#include "controls/editors/uiEditDateUtils.h"
#include "platform/rtl/DateTime.h"

namespace edit_dates_test {

namespace chr = std::chrono;

// Days since 30 December 1899 by std::chrono.
double ChronoSerial(const chr::year_month_day& ADate) {
  static const chr::sys_days epoch = chr::year{1899} / chr::December / 30;
  return static_cast<double>((chr::sys_days(ADate) - epoch).count());
}

// Every month of the years 100 to 9999: the serial numbers of its first and last day, their weekdays,
// its length and the way back from a serial (with a time of day on either side of the epoch).
TEST(EditDateUtilsTest, SerialsWeekdaysAndMonthLengthsAgreeWithChrono) {
  int mismatches = 0;
  for (int y = 100; y <= 9999 && mismatches < 10; ++y) {
    for (unsigned m = 1; m <= 12; ++m) {
      const chr::year_month_day first = chr::year{y} / chr::month{m} / 1;
      const chr::year_month_day last{chr::year{y} / chr::month{m} / chr::last};
      const unsigned length = static_cast<unsigned>(last.day());
      const auto word = [](auto v) { return static_cast<Word>(v); };
      const TDateTime f = EncodeDate(word(y), word(m), 1);
      const TDateTime l = EncodeDate(word(y), word(m), word(length));
      bool ok = f == ChronoSerial(first) && l == ChronoSerial(last) &&
                GetDaysInMonth(y, static_cast<Integer>(m)) == static_cast<Word>(length) &&
                // rtl weekdays run 1 = Sunday .. 7, chrono's 0 = Sunday .. 6
                DayOfWeek(f) == static_cast<Integer>(chr::weekday(chr::sys_days(first)).c_encoding()) + 1 &&
                DayOfWeek(l) == static_cast<Integer>(chr::weekday(chr::sys_days(last)).c_encoding()) + 1;
      Word dy = 0, dm = 0, dd = 0;
      DecodeDate(l + DateSign(l) * 0.75, dy, dm, dd);
      ok = ok && dy == y && dm == m && dd == length;
      ok = ok && EncodeDateChecked(y, static_cast<Integer>(m), static_cast<Integer>(length)) == l &&
           EncodeDateChecked(y, static_cast<Integer>(m), static_cast<Integer>(length) + 1) == InvalidEditDate;
      if (!ok) {
        ++mismatches;
        ADD_FAILURE() << y << "-" << m << ": serial " << f << "/" << l << ", chrono " << ChronoSerial(first) << "/"
                      << ChronoSerial(last) << ", length " << GetDaysInMonth(y, static_cast<Integer>(m)) << "/"
                      << length << ", decoded " << dy << "-" << dm << "-" << dd;
      }
    }
  }
  EXPECT_EQ(-657434, GetMinimumDate());
  EXPECT_EQ(2958465, EncodeDate(9999, 12, 31));
}

TEST(EditDateUtilsTest, RangeSignAndCheckedEncodingAtTheEdges) {
  struct Case {
    TDateTime Date;
    bool InRange;
    Integer Sign;
  };
  const Case cases[] = {
      {NullDate, false, -1},         {InvalidEditDate, false, -1}, {-657435, false, -1},
      {-657434.5, false, -1},        {-657434, true, -1},          {-657433.25, true, -1},
      {-0.5, true, -1},              {0, true, 1},                 {0.5, true, 1},
      {2958465.99999, true, 1},      {2958466, false, 1},          {2958465.999995, false, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.InRange, IsDateInRange(c.Date)) << c.Date;
    EXPECT_EQ(c.Sign, DateSign(c.Date)) << c.Date;
  }
  // A time of day added to a date before the epoch keeps its date: 29 December 1899, 18:00.
  Word h = 0, n = 0, s = 0, ms = 0, y = 0, m = 0, d = 0;
  DecodeDateTime(-1 + DateSign(-1) * 0.75, y, m, d, h, n, s, ms);
  EXPECT_EQ(29, d);
  EXPECT_EQ(18, h);

  struct Encode {
    Integer Year, Month, Day;
    TDateTime Expected;
  };
  const Encode encodes[] = {{100, 1, 1, -657434},      {99, 12, 31, InvalidEditDate}, {9999, 12, 31, 2958465},
                            {10000, 1, 1, InvalidEditDate}, {2024, 2, 29, 45351},     {2023, 2, 29, InvalidEditDate},
                            {2024, 0, 1, InvalidEditDate},  {2024, 13, 1, InvalidEditDate}, {2024, 1, 0, InvalidEditDate}};
  for (const Encode& e : encodes)
    EXPECT_EQ(e.Expected, EncodeDateChecked(e.Year, e.Month, e.Day)) << e.Year << "-" << e.Month << "-" << e.Day;
}

}  // namespace edit_dates_test
