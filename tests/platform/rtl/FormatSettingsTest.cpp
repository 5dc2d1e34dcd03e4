#include <gtest/gtest.h>

#include <locale.h>

#include "platform/rtl/RtlInternal.h"
#include "platform/rtl/SysUtils.h"

TEST(FormatSettings, TheTestMainPinsTheInvariantSettings) {
  EXPECT_EQ(FormatSettings.DecimalSeparator, '.');
  EXPECT_EQ(FormatSettings.ThousandSeparator, ',');
  EXPECT_EQ(FormatSettings.DateSeparator, '-');
  EXPECT_EQ(FormatSettings.TimeSeparator, ':');
  EXPECT_EQ(FormatSettings.LongMonthNames[0], "January");
  EXPECT_EQ(FormatSettings.ShortDayNames[0], "Sun");
}

TEST(FormatSettings, GuardRestoresWhatWasThere) {
  {
    TFormatSettingsGuard guard;
    FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(1.5), "1,5");
  }
  EXPECT_EQ(FloatToStr(1.5), "1.5");
}

TEST(FormatSettings, ReadsALocaleWithoutTouchingTheProcessLocale) {
  const String before = setlocale(LC_ALL, nullptr);
  const TFormatSettings c = LocaleFormatSettings("C");
  EXPECT_EQ(setlocale(LC_ALL, nullptr), before);
  EXPECT_EQ(c.DecimalSeparator, '.');
  EXPECT_EQ(c.ThousandSeparator, ',');
  EXPECT_EQ(c.ShortDateFormat, "mm/dd/yy");
  EXPECT_EQ(c.DateSeparator, '/');
  EXPECT_EQ(c.LongTimeFormat, "hh:nn:ss");
  EXPECT_EQ(c.ShortTimeFormat, "hh:nn");
  EXPECT_EQ(c.TimeSeparator, ':');
  EXPECT_EQ(c.LongMonthNames[11], "December");
  EXPECT_EQ(c.ShortDayNames[6], "Sat");
  EXPECT_EQ(c.TimeAMString, "AM");
  // A locale that is not installed gives usable settings, not an error.
  const TFormatSettings missing = LocaleFormatSettings("xx_NOWHERE.UTF-8");
  EXPECT_EQ(missing.DecimalSeparator, '.');
  EXPECT_FALSE(missing.LongMonthNames[0].empty());
}

TEST(FormatSettings, LocalePicturesTranslate) {
  const struct {
    const char* c;
    const char* picture;
    char dateSep, timeSep;
  } cases[] = {
      {"%m/%d/%y", "mm/dd/yy", '/', 0},
      {"%d.%m.%Y", "dd/mm/yyyy", '.', 0},
      {"%Y-%m-%d", "yyyy/mm/dd", '-', 0},
      {"%Y年%m月%d日", "yyyy年mm月dd日", 0, 0},
      {"%H:%M:%S", "hh:nn:ss", 0, ':'},
      {"%H.%M.%S", "hh:nn:ss", 0, '.'},
      {"%I:%M:%S %p", "hh:nn:ss ampm", 0, ':'},
      {"%A, %d de %B de %Y", "dddd, dd\" de \"mmmm\" de \"yyyy", 0, 0},
      {"%T", "hh:nn:ss", 0, ':'},
  };
  for (const auto& c : cases) {
    char d = 0, t = 0;
    EXPECT_EQ(rtl::detail::TranslateLocalePicture(c.c, d, t), c.picture) << c.c;
    EXPECT_EQ(d, c.dateSep) << c.c;
    EXPECT_EQ(t, c.timeSep) << c.c;
  }
  // A translated picture formats as the locale would.
  TFormatSettings fs = InvariantFormatSettings();
  char d = 0, t = 0;
  fs.ShortDateFormat = rtl::detail::TranslateLocalePicture("%d.%m.%Y", d, t);
  fs.DateSeparator = d;
  EXPECT_EQ(DateToStr(EncodeDate(2024, 3, 5), fs), "05.03.2024");
  EXPECT_EQ(StrToDate("05.03.2024", fs), EncodeDate(2024, 3, 5));
}
