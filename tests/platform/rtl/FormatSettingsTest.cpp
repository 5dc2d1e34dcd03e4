#include <gtest/gtest.h>

#include <locale.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "platform/rtl/RtlInternal.h"
#include "platform/rtl/SysUtils.h"

namespace rtl_test {

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
    EXPECT_EQ(k58::rtl::TranslateLocalePicture(c.c, d, t), c.picture) << c.c;
    EXPECT_EQ(d, c.dateSep) << c.c;
    EXPECT_EQ(t, c.timeSep) << c.c;
  }
  // A translated picture formats as the locale would.
  TFormatSettings fs = InvariantFormatSettings();
  char d = 0, t = 0;
  fs.ShortDateFormat = k58::rtl::TranslateLocalePicture("%d.%m.%Y", d, t);
  fs.DateSeparator = d;
  EXPECT_EQ(DateToStr(EncodeDate(2024, 3, 5), fs), "05.03.2024");
  EXPECT_EQ(StrToDate("05.03.2024", fs), EncodeDate(2024, 3, 5));
}

// Builds real locales from the system's locale sources (skipped where they are not installed) and
// reads them as a user's start-up would.
TEST(FormatSettings, ReadsCommaDecimalAndGbkLocales) {
  if (system("command -v localedef >/dev/null 2>&1") != 0 || !FileExists("/usr/share/i18n/locales/de_DE") ||
      !FileExists("/usr/share/i18n/locales/zh_CN")) {
    GTEST_SKIP() << "locale sources are not installed";
  }
  char tmpl[] = "/tmp/k58locXXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const String dir = tmpl;
  const String build = "localedef -i de_DE -f UTF-8 " + dir + "/de_DE.UTF-8 >/dev/null 2>&1; "
                       "localedef -i zh_CN -f GBK " + dir + "/zh_CN.GBK >/dev/null 2>&1";
  (void)system(build.c_str());
  const char* oldPath = getenv("LOCPATH");
  const String saved = oldPath ? oldPath : "";
  setenv("LOCPATH", dir.c_str(), 1);
#if defined(__SANITIZE_ADDRESS__)
  __lsan_disable();  // the C library keeps the search path of LOCPATH for good
#endif
  const TFormatSettings de = LocaleFormatSettings("de_DE.UTF-8");
  const TFormatSettings zh = LocaleFormatSettings("zh_CN.GBK");
#if defined(__SANITIZE_ADDRESS__)
  __lsan_enable();
#endif
  if (oldPath) {
    setenv("LOCPATH", saved.c_str(), 1);
  } else {
    unsetenv("LOCPATH");
  }
  std::filesystem::remove_all(dir);

  EXPECT_EQ(de.DecimalSeparator, ',');
  EXPECT_EQ(de.ThousandSeparator, '.');
  EXPECT_EQ(de.DateSeparator, '.');
  EXPECT_EQ(de.ShortDateFormat, "dd/mm/yyyy");
  EXPECT_EQ(de.LongMonthNames[2], "März");
  EXPECT_EQ(de.CurrencyString, "€");
  EXPECT_EQ(de.FirstDayOfWeek, 0);  // Monday
  const TDateTime v = EncodeDate(2024, 3, 5) + 0.5;
  EXPECT_EQ(DateTimeToStr(v, de), "05.03.2024 12:00:00");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.5, de), "1.234.567,50");
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 18, 2, de), "-1.234,50 €");
  EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat("438,125", de)), 438.125);

  // Texts of a GBK locale arrive as UTF-8.
  EXPECT_EQ(zh.LongMonthNames[2], "三月");
  EXPECT_EQ(zh.TimeAMString, "上午");
  EXPECT_EQ(FormatDateTime("ddddd", v, zh), "2024年03月05日");
}

}  // namespace rtl_test
