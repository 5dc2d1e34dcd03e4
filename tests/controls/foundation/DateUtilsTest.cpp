// Calendar routines against day numbers computed by Python's datetime, smart date words on a fixed
// Wednesday, text to date under pinned locales, the locale's date text and the currency display format.
#include <gtest/gtest.h>

#include "controls/foundation/uiClasses.h"
#include "controls/foundation/uiDateUtils.h"
#include "controls/foundation/uiFormats.h"
#include "platform/rtl/SysUtils.h"
#include "tests/common/LocaleTesting.h"
#include "tests/common/RtlTesting.h"
#include "tests/controls/foundation/DateSerials.h"

namespace foundation_test {

namespace s = serials;

TEST(DateUtils, CalendarPartsMatchTheIndependentDayNumbers) {
  const s::TDateSerial all[] = {s::Year1,    s::Year100,    s::Base,      s::Jan1st1900, s::Mar1st1900,
                                s::Jan1st2000, s::Feb29th2000, s::Today,   s::MonthLast,  s::Year9999};
  for (const s::TDateSerial& d : all) {
    EXPECT_EQ(d.Serial, EncodeDate(d.Year, d.Month, d.Day)) << d.Year << "-" << d.Month << "-" << d.Day;
    // The time of day counts away from zero.
    const TDateTime evening = d.Serial >= 0 ? d.Serial + 0.75 : d.Serial - 0.75;
    EXPECT_EQ(d.Year, GetDatePartValue(0, evening));
    EXPECT_EQ(d.Month, GetDatePartValue(1, evening));
    EXPECT_EQ(d.Day, GetDatePartValue(2, evening));
    EXPECT_EQ(d.DayOfWeek, DayOfWeek(d.Serial));
  }
  EXPECT_EQ(s::Year100.Serial, GetMinimumDate());
  EXPECT_EQ(s::Jan1st2000.Serial, GetDatePart(s::Jan1st2000.Serial + 0.25));
  EXPECT_EQ(0.25, GetTimePart(s::Jan1st2000.Serial + 0.25));
}

TEST(DateUtils, MonthsShiftAcrossYears) {
  struct Case {
    SmallInt Year;
    Word Month;
    Integer Delta;
    SmallInt ExpectedYear;
    Word ExpectedMonth;
  } cases[] = {{2000, 1, -1, 1999, 12}, {2000, 1, -13, 1998, 12}, {2000, 1, 12, 2001, 1},
               {2000, 1, -12, 1999, 1}, {2000, 12, 1, 2001, 1},   {2000, 6, 30, 2002, 12}, {2000, 6, 0, 2000, 6}};
  for (const Case& c : cases) {
    SmallInt year = c.Year;
    Word month = c.Month;
    ShiftMonth(year, month, c.Delta);
    EXPECT_EQ(c.ExpectedYear, year) << c.Year << "-" << c.Month << " by " << c.Delta;
    EXPECT_EQ(c.ExpectedMonth, month) << c.Year << "-" << c.Month << " by " << c.Delta;
  }
  Word year = 2000, month = 1;
  StepMonthBack(year, month);
  EXPECT_EQ(1999, year);
  EXPECT_EQ(12, month);
  StepMonthForward(year, month);
  EXPECT_EQ(2000, year);
  EXPECT_EQ(1, month);

  EXPECT_EQ(28, GetDaysInMonth(1900, 2));
  EXPECT_EQ(29, GetDaysInMonth(2000, 2));
  EXPECT_EQ(29, GetDaysInMonth(2004, 2));
  EXPECT_EQ(28, GetDaysInMonth(2001, 2));
  EXPECT_EQ(31, GetDaysInMonth(2001, 12));
  EXPECT_EQ(28, ClampDay(2001, 2, 31));
  EXPECT_EQ(1, ClampDay(2001, 2, 0));
  EXPECT_EQ(15, ClampDay(2001, 2, 15));
}

TEST(DateUtils, WeeksStartOnTheLocalesFirstDay) {
  {
    TLocaleInfoGuard monday({{LOCALE_IFIRSTDAYOFWEEK, "0"}});
    EXPECT_EQ(1, GetLocaleFirstWeekDay());
    EXPECT_EQ(s::WeekSunday.Serial - 6, GetStartOfWeek(s::WeekSunday.Serial + 0.5));
    EXPECT_EQ(s::WeekMonday.Serial, GetStartOfWeek(s::WeekMonday.Serial + 0.9));
    EXPECT_EQ(s::WeekMonday.Serial, GetStartOfWeek(s::Today.Serial));
  }
  TLocaleInfoGuard sunday({{LOCALE_IFIRSTDAYOFWEEK, "6"}});
  EXPECT_EQ(0, GetLocaleFirstWeekDay());
  EXPECT_EQ(s::WeekSunday.Serial, GetStartOfWeek(s::Today.Serial));
  EXPECT_EQ(s::WeekSunday.Serial, GetStartOfWeek(s::WeekSunday.Serial));
}

TEST(DateUtils, TextMatchIgnoresCase) {
  EXPECT_TRUE(IsTextMatch("Abcdef", "abc", true));
  EXPECT_FALSE(IsTextMatch("Abcdef", "abc", false));
  EXPECT_TRUE(IsTextMatch("ABC", "abc", false));
  EXPECT_TRUE(IsTextMatch("", "", true));
  EXPECT_FALSE(IsTextMatch("x", "", true));
  EXPECT_FALSE(IsTextMatch("ab", "abc", true));
  EXPECT_TRUE(IsTextMatch("\u00c9t\u00e9", "\u00e9T", true));
}

TEST(DateUtils, CurrencyDisplayFormatPlacesTheQuotedSymbol) {
  struct Case {
    const char* Symbol;
    Byte Format;
    Byte Decimals;
    const char* Expected;
  } cases[] = {{"$", 0, 2, "$,0.00"},        {"$", 1, 2, ",0.00$"},      {"$", 2, 2, "$ ,0.00"},
               {"$", 3, 2, ",0.00 $"},       {"Fr.", 3, 2, ",0.00 Fr'.'"}, {"a,b", 0, 1, "a','b,0.0"},
               {"", 2, 2, ",0.00"},          {"$", 0, 0, "$,0."},        {"$", 9, 2, ",0.00"}};
  for (const Case& c : cases) {
    TFormatSettings fs = InvariantFormatSettings();
    fs.CurrencyString = c.Symbol;
    fs.CurrencyFormat = c.Format;
    fs.CurrencyDecimals = c.Decimals;
    TFormatSettingsGuard pinned(fs);
    EXPECT_EQ(c.Expected, BuildCurrencyDisplayFormat()) << c.Symbol << " " << int(c.Format);
  }
}

// The smart-word tests run on Wednesday 2024-02-14 at noon.
class SmartDates : public ::testing::Test {
 protected:
  // The controller goes back to the pinned settings.
  ~SmartDates() override { GetFormatController()->Refresh(); }
  TFixedClock Clock{s::Today.Serial + 0.5};
};

TEST_F(SmartDates, WordsAndOffsetsGiveDatesAroundToday) {
  struct Case {
    const char* Text;
    TDateTime Expected;
  } cases[] = {
      {"today", s::Today.Serial},          {"yesterday", s::Yesterday.Serial},     {"tomorrow", s::Tomorrow.Serial},
      {"Friday", s::ComingFriday.Serial},  {"Wednesday", s::Today.Serial},         {"Tuesday", s::NextTuesday.Serial},
      {"first", s::WeekSunday.Serial},     {"second", s::WeekMonday.Serial},       {"bom", s::MonthFirst.Serial},
      {"eom", s::MonthLast.Serial},        {"today+3", s::TodayPlus3.Serial},      {"today + 3", s::TodayPlus3.Serial},
      {"tomorrow-1", s::Today.Serial},     {"today+x", s::Today.Serial},           {"today abc", s::Today.Serial},
      {"today+", s::Today.Serial},         {"TODAY", s::Today.Serial},             {"now", s::Today.Serial + 0.5},
      {"nowhere", s::Today.Serial + 0.5},  {"yesterday-10", s::Yesterday.Serial - 10},
  };
  for (const Case& c : cases) {
    TDateTime date = -1;
    EXPECT_TRUE(ParseSmartDateText(c.Text, date)) << c.Text;
    EXPECT_EQ(c.Expected, date) << c.Text;
  }
  TDateTime untouched = 123;
  EXPECT_FALSE(ParseSmartDateText("someday", untouched));
  EXPECT_EQ(123, untouched);
}

TEST_F(SmartDates, LongerWordsWinAndTheWordsAreLocalized) {
  auto* source = new TStringList;
  auto* translated = new TStringList;
  source->Add("bom");
  translated->Add("Mo");
  source->Add("today");
  translated->Add("it's");
  SetLocalizeTextLists(source, translated);
  Integer index = -1;
  EXPECT_TRUE(FindSmartDateWord("monday", index));
  EXPECT_EQ(4, index);
  EXPECT_TRUE(FindSmartDateWord("mo+1", index));
  EXPECT_EQ(17, index);
  EXPECT_FALSE(FindSmartDateWord("today", index));
  String mask = "\\d";
  AddSmartDateAlternatives(mask, false);
  EXPECT_EQ("(\\d)|('it'\\''s'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|'Thursday'|'Friday'|"
            "'Saturday'|'first'|'second'|'third'|'fourth'|'fifth'|'sixth'|'seventh'|'Mo'|'eom')"
            "((\\+|-)\\d(\\d(\\d\\d?)?)?)?",
            mask);
  SetLocalizeTextLists(nullptr, nullptr);
  mask = "x";
  AddSmartDateAlternatives(mask, true);
  EXPECT_NE(String::npos, mask.find("|'eom'|'now')"));
}

TEST_F(SmartDates, TheHookAnswersWhenNoWordMatches) {
  SmartDateTextHook = [](const String& AText, TDateTime& ADate) {
    if (AText != "payday") return false;
    ADate = 1;
    return true;
  };
  TDateTime date = 0;
  EXPECT_TRUE(ParseSmartDateText("payday", date));
  EXPECT_EQ(1, date);
  EXPECT_FALSE(ParseSmartDateText("other", date));
  SmartDateTextHook = nullptr;
}

TEST_F(SmartDates, TextToDateTriesWordsBeforeTheLocalesSeparators) {
  TLocaleInfoGuard dashes({{LOCALE_SDATE, "-"}});
  struct Case {
    const char* Text;
    bool Ok;
    TDateTime Expected;
  } cases[] = {
      {"today-1", true, s::Yesterday.Serial},  // the offset keeps its sign
      {"  tomorrow  ", true, s::Tomorrow.Serial},
      {"2024-03-05", true, s::Mar5th2024.Serial},
      {"2024 3 5", true, s::Mar5th2024.Serial},
      {"2024 03 05 10:30", true, s::Mar5th2024.Serial + 10.5 / 24},
      {"36526", true, s::Jan1st2000.Serial},
      {"0001-01-01", true, s::Year1.Serial},
      {"no date", false, NullDate},
      {"2024-13-01", false, NullDate},
      {"3000000", false, NullDate},  // beyond year 9999
  };
  for (const Case& c : cases) {
    TDateTime date = 7;
    EXPECT_EQ(c.Ok, TryTextToDate(c.Text, date)) << c.Text;
    EXPECT_EQ(c.Expected, date) << c.Text;
  }
  TDateTime untouched = 7;
  EXPECT_FALSE(TryTextToDate("   ", untouched));
  EXPECT_EQ(7, untouched);
}

TEST_F(SmartDates, DotAndCommaLocalesReadTheirOwnDates) {
  TFormatSettings fs = InvariantFormatSettings();
  fs.ShortDateFormat = "dd/mm/yyyy";
  fs.DateSeparator = '.';
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  TFormatSettingsGuard pinned(fs);
  TLocaleInfoGuard dots({{LOCALE_SDATE, "."}, {LOCALE_SSHORTDATE, "dd.MM.yyyy"}});
  TDateTime date = 0;
  EXPECT_TRUE(TryTextToDate("05.03.2024", date));
  EXPECT_EQ(s::Mar5th2024.Serial, date);
  EXPECT_TRUE(TryTextToDate("5 3 2024", date));
  EXPECT_EQ(s::Mar5th2024.Serial, date);
  EXPECT_EQ("05.03.2024", DateTimeToLocaleText(false, s::Mar5th2024.Serial));

  // With the plain formats the separators are not made blanks, so another separator is not read.
  TLocaleInfoGuard slashes({{LOCALE_SDATE, "/"}});
  EXPECT_TRUE(TryTextToDate("05/03/2024", date));
  GetFormatController()->SetUsePlainDateFormats(true);
  EXPECT_FALSE(TryTextToDate("05/03/2024", date));
  EXPECT_EQ(NullDate, date);
  EXPECT_TRUE(TryTextToDate("05.03.2024", date));
  GetFormatController()->SetUsePlainDateFormats(false);
}

TEST_F(SmartDates, TextToDateTimeGivesNullDateOnFailure) {
  TLocaleInfoGuard slashes({{LOCALE_SDATE, "/"}});
  TDateTime date = 0;
  EXPECT_TRUE(TryTextToDateTime("2024-03-05 06:00:00", false, date));
  EXPECT_EQ(s::Mar5th2024.Serial + 0.25, date);
  EXPECT_TRUE(TryTextToDateTime("2024/03/05 06:00", true, date));
  EXPECT_EQ(s::Mar5th2024.Serial + 0.25, date);
  EXPECT_FALSE(TryTextToDateTime("2024/03/05 06:00", false, date));
  EXPECT_EQ(NullDate, date);
  EXPECT_FALSE(TryTextToDateTime("late", true, date));
  EXPECT_EQ(NullDate, date);
}

TEST_F(SmartDates, SeparatorsBecomeBlanks) {
  TLocaleInfoGuard dots({{LOCALE_SDATE, "."}});
  String text = "5.3.2024 1.5";
  NormaliseDateSeparators(text);
  EXPECT_EQ("5 3 2024 1 5", text);
}

TEST_F(SmartDates, LocaleTextWidensTwoDigitYears) {
  TLocaleInfoGuard locale({{LOCALE_SSHORTDATE, "d/M/yy"}, {LOCALE_STIMEFORMAT, "HH:mm:ss"}});
  const TDateTime date = s::Mar5th2024.Serial;
  EXPECT_EQ("5/3/24", DateTimeToLocaleText(false, date));
  EXPECT_EQ("5/3/2024", DateTimeToLocaleText(true, date));
  EXPECT_EQ("5/3/2024 06:30:00", DateTimeToLocaleText(true, date + 6.5 / 24));
  EXPECT_EQ("5/3/2024", DateTimeToDisplayText(false, true, true, date));
  {
    TLocaleInfoGuard four({{LOCALE_SSHORTDATE, "dd/MM/yyyy"}});
    EXPECT_EQ("05/03/2024", DateTimeToLocaleText(true, date));
  }
  for (const bool useFormat : {false, true})
    for (const bool withTime : {false, true})
      for (const bool fourDigits : {false, true})
        EXPECT_EQ("", DateTimeToDisplayText(useFormat, withTime, fourDigits, NullDate));
}

TEST_F(SmartDates, DisplayTextWithTheControllersFormats) {
  TFormatSettings fs = InvariantFormatSettings();
  fs.ShortDateFormat = "dd/mm/yyyy";
  fs.DateSeparator = '.';
  TFormatSettingsGuard pinned(fs);
  GetFormatController()->Refresh();
  const TDateTime date = s::Mar5th2024.Serial + 0.75;
  EXPECT_EQ("05.03.2024", DateTimeToDisplayText(true, false, false, date));
  EXPECT_EQ("05.03.2024 18:00:00", DateTimeToDisplayText(true, true, false, date));
}

}  // namespace foundation_test
