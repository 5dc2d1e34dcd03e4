// The format controller: format analysis, item positions, masks in both mask languages, display formats,
// the currency format with every negative pattern, the first day of the week, and the listeners told
// through the hidden window.
#include <gtest/gtest.h>

#include <algorithm>

#include "controls/foundation/uiDateUtils.h"
#include "controls/foundation/uiFormats.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/SysUtils.h"
#include "tests/common/LocaleTesting.h"
#include "tests/controls/foundation/FoundationTesting.h"

namespace foundation_test {

// The items of an info in one line: kind:TEXT, literals quoted, separators by name.
String ItemsText(const TuiDateTimeFormatInfo& AInfo) {
  static const char* const kNames[] = {"lit", "year", "month", "day", "hour", "min", "sec", "ms", "ampm", "dsep", "tsep"};
  String text;
  for (const TuiDateTimeFormatItem& item : AInfo.Items) {
    if (!text.empty()) text += " ";
    text += kNames[item.Kind];
    if (item.Kind == dfkLiteral) {
      text += "'" + item.Text + "'";
    } else if (item.Kind != dfkDateSeparator && item.Kind != dfkTimeSeparator) {
      text += ":" + item.Text;
    }
  }
  return text;
}

// The controller's values under pinned settings (the rest invariant).
class Formats : public ::testing::Test {
 protected:
  Formats() : Pinned(InvariantFormatSettings()) {}
  ~Formats() override { GetFormatController()->Refresh(); }

  // Pins the settings and refreshes the controller.
  TuiFormatController* Use(const TFormatSettings& AFormat) {
    FormatSettings = AFormat;
    TuiFormatController* controller = GetFormatController();
    controller->Refresh();
    return controller;
  }
  static TFormatSettings With(const char* AShortDate, const char* ALongTime) {
    TFormatSettings fs = InvariantFormatSettings();
    fs.ShortDateFormat = AShortDate;
    fs.LongTimeFormat = ALongTime;
    fs.DateSeparator = '/';
    return fs;
  }

  TFormatSettingsGuard Pinned;
};

TEST_F(Formats, AnalysisTurnsFormatsIntoItems) {
  TuiFormatController* controller = Use(InvariantFormatSettings());
  struct Case {
    const char* Format;
    const char* Items;
    bool TwelveHour;
  } cases[] = {
      {"dd/MM/yyyy", "day:DD dsep month:MM dsep year:YYYY", false},
      {"h:mm:ss AMPM", "hour:12H tsep min:NN tsep sec:SS lit' ' ampm:AMPM", true},
      {"HH:mm:ss", "hour:24HH tsep min:NN tsep sec:SS", false},
      {"yyyy-MM-dd", "year:YYYY lit'-' month:MM lit'-' day:DD", false},
      {"dd/MM/yyyy dd", "day:DD dsep month:MM dsep year:YYYY lit' '", false},
      {"g", "", false},
      {"dd gg", "", false},
      {"", "year:YYYY dsep month:MM dsep day:DD lit' ' hour:24HH tsep min:NN tsep sec:SS", false},
      {"dd/MM/yyyy am/pm", "day:DD dsep month:MM dsep year:YYYY lit' '", false},
      {"'at' h:m a/p", "lit'at ' hour:12H tsep min:N lit' ' ampm:a/p", true},
      {"\"o'clock\" hh", "lit'o'clock ' hour:24HH", false},
      {"'open", "lit'open'", false},
      {"ddd d mmmm", "day:DDD lit'  ' month:MMMM", false},
      {"dddddd", "day:DDDD lit', ' month:MMMM lit' , ' year:YYYY", false},
      {"ddddd", "year:YYYY dsep month:MM dsep day:DD", false},
      {"t", "hour:24HH tsep min:NN", false},
      {"tt", "hour:24HH tsep min:NN tsep sec:SS", false},
      {"hh:nn:ss.zzzz", "hour:24HH tsep min:NN tsep sec:SS lit'.' ms:ZZZ", false},
      {"AAAA aaa", "day:DDDD lit' '", false},
      {"yy m eeee", "year:YY lit' ' month:M lit' '", false},
      {"hh mm", "hour:24HH lit' ' min:NN", false},
      {"c", "year:YYYY dsep month:MM dsep day:DD lit' ' hour:24HH tsep min:NN tsep sec:SS", false},
      {"d \u00e9\u00e9", "day:D lit' \u00e9\u00e9'", false},
      {"x\xC3", "lit'x\xC3'", false},  // a broken final character is one character
  };
  for (const Case& c : cases) {
    TuiDateTimeFormatInfo info;
    controller->AnalyseDateTimeFormat(c.Format, info);
    EXPECT_EQ(c.Items, ItemsText(info)) << c.Format;
    EXPECT_EQ(c.TwelveHour, info.TwelveHour) << c.Format;
  }
}

TEST_F(Formats, ItemsAreFoundByTextPosition) {
  TFormatSettings fs = With("dd/MM/yyyy", "hh:nn:ss");
  fs.TimeAMString = "vorm.";
  TuiFormatController* controller = Use(fs);
  const TuiDateTimeFormatInfo& info = controller->DateFormatInfo();
  EXPECT_EQ(10, controller->GetDateTimeFormatTextLength(info));
  struct Case {
    Integer Pos;
    bool Found;
    Byte Kind;
    Integer Start, Length;
  } cases[] = {{0, false, 0, 0, 0},    {1, true, dfkDay, 1, 2},   {2, true, dfkDay, 1, 2},
               {3, true, dfkDateSeparator, 3, 1}, {6, true, dfkDateSeparator, 6, 1}, {7, true, dfkYear, 7, 4},
               {10, true, dfkYear, 7, 4},         {11, false, 0, 0, 0}};
  for (const Case& c : cases) {
    TuiFormatItemSpan span;
    EXPECT_EQ(c.Found, controller->FindDateTimeFormatItem(info, c.Pos, span)) << c.Pos;
    if (!c.Found) continue;
    EXPECT_EQ(c.Kind, span.Kind) << c.Pos;
    EXPECT_EQ(c.Start, span.Start) << c.Pos;
    EXPECT_EQ(c.Length, span.Length) << c.Pos;
  }
  struct Marker {
    const char* Format;
    Byte Style;
    Integer Length;
  } markers[] = {{"h a/p", ampsAP, 1}, {"h AM/PM", ampsAMPM, 2}, {"h ampm", ampsLocale, 5}};
  for (const Marker& m : markers) {
    TuiDateTimeFormatInfo marker;
    controller->AnalyseDateTimeFormat(m.Format, marker);
    TuiFormatItemSpan span;
    ASSERT_TRUE(controller->FindDateTimeFormatItem(marker, 4, span)) << m.Format;
    EXPECT_EQ(dfkAMPM, span.Kind) << m.Format;
    EXPECT_EQ(m.Style, span.AMPMStyle) << m.Format;
    EXPECT_EQ(m.Length, span.Length) << m.Format;
  }
  TuiFormatItemSpan span;
  EXPECT_FALSE(controller->FindDateTimeFormatItem(TuiDateTimeFormatInfo(), 1, span));
  TuiDateTimeFormatInfo millis;
  controller->AnalyseDateTimeFormat("ss.zzz", millis);
  EXPECT_EQ(3, controller->GetDateTimeFormatTextLength(millis));  // milliseconds take no place
  EXPECT_FALSE(controller->FindDateTimeFormatItem(millis, 4, span));
}

TEST_F(Formats, MasksAndDisplayFormatsOfTheLocalesFormats) {
  TuiFormatController* controller = Use(With("dd/MM/yyyy", "h:mm:ss AMPM"));
  EXPECT_EQ("!99/99/9999;1; ", controller->StandardDateMask());
  EXPECT_EQ("!99/99/9999\\ 99:99:99\\ cc;1; ", controller->StandardDateTimeMask());
  EXPECT_TRUE(controller->AssignedStandardDateTimeMask());
  EXPECT_EQ("dd/mm/yyyy", controller->MaskedDateFormat());
  EXPECT_EQ("dd/mm/yyyy' 'hh:nn:ss' 'ampm", controller->MaskedDateTimeFormat());
  EXPECT_TRUE(controller->TimeFormatInfo().TwelveHour);
  EXPECT_EQ("12H", controller->TimeFormatInfo().Items[0].Text);

  const String date =
      "([012]?[1-9]|[123]0|31)\\/((0?[1-9]|1[012])|('Jan'|'Feb'|'Mar'|'Apr'|'May'|'Jun'|'Jul'|'Aug'|'Sep'|'Oct'|"
      "'Nov'|'Dec'))\\/\\d\\d\\d\\d";
  const String time = "(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?";
  const String words = "'today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|'Thursday'|'Friday'|"
                       "'Saturday'|'first'|'second'|'third'|'fourth'|'fifth'|'sixth'|'seventh'|'bom'|'eom'";
  const String offset = "((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
  EXPECT_EQ("(" + date + ")|(" + words + ")" + offset, controller->RegExprDateMask());
  EXPECT_EQ("(" + date + "' '(" + time + ")?)|(" + words + "|'now')" + offset, controller->RegExprDateTimeMask());

  controller = Use(With("yyyy-MM-dd", "HH:mm:ss"));
  EXPECT_EQ("!9999\\-99\\-99;1; ", controller->StandardDateMask());
  EXPECT_EQ("yyyy'-'mm'-'dd", controller->MaskedDateFormat());
  EXPECT_NE(String::npos, controller->RegExprDateTimeMask().find("(([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d)?"));
  EXPECT_FALSE(controller->TimeFormatInfo().TwelveHour);

  controller = Use(With("mmmm dd, yy", "hh:nn a/p"));
  EXPECT_EQ("!lll\\ 99\\,\\ 99;1; ", controller->StandardDateMask());
  EXPECT_EQ("!lll\\ 99\\,\\ 99\\ 99:99\\ c;1; ", controller->StandardDateTimeMask());
  EXPECT_EQ("mmm' 'dd', 'yy", controller->MaskedDateFormat());
  EXPECT_NE(String::npos, controller->RegExprDateMask().find("'January'|"));
  EXPECT_NE(String::npos, controller->RegExprDateTimeMask().find("(A|P)?"));

  controller = Use(With("g", "hh"));
  EXPECT_EQ("", controller->StandardDateMask());
  EXPECT_FALSE(controller->AssignedStandardDateTimeMask());
}

TEST_F(Formats, SeparatorsAndMarkersInRegularExpressionMasks) {
  struct Case {
    char DateSeparator, TimeSeparator;
    const char* AM;
    const char* PM;
    const char* TimePart;
  } cases[] = {
      {' ', '.', "AM", "PM", "(0?[1-9]|1[012])\\.[0-5]?\\d' '('AM'|'PM')?"},
      {'-', '\0', "", "PM", "(0?[1-9]|1[012])[0-5]?\\d' '('PM')?"},
      {'-', ':', "", "", "(0?[1-9]|1[012])\\:[0-5]?\\d' '"},
  };
  for (const Case& c : cases) {
    TFormatSettings fs = With("dd/MM", "h:mm ampm");
    fs.DateSeparator = c.DateSeparator;
    fs.TimeSeparator = c.TimeSeparator;
    fs.TimeAMString = c.AM;
    fs.TimePMString = c.PM;
    TuiFormatController* controller = Use(fs);
    const String& mask = controller->RegExprDateTimeMask();
    EXPECT_NE(String::npos, mask.find("' '(" + String(c.TimePart) + ")?")) << mask;
    const String separator = c.DateSeparator == ' ' ? "' '" : "\\-";
    EXPECT_EQ(0u, mask.find("(([012]?[1-9]|[123]0|31)" + separator + "((0?")) << mask;
  }
}

TEST_F(Formats, CurrencyFormatsForEveryNegativePattern) {
  const char* const negatives[] = {"($,0.00)", "-$,0.00",  "$-,0.00",  "$,0.00-",   "(,0.00$)",  "-,0.00$",
                                   ",0.00-$",  ",0.00$-",  "-,0.00 $", "-$ ,0.00",  ",0.00 $-",  "$ ,0.00-",
                                   "$ -,0.00", ",0.00- $", "($ ,0.00)", "(,0.00 $)"};
  for (Byte pattern = 0; pattern < 16; ++pattern) {
    TFormatSettings fs = InvariantFormatSettings();
    fs.CurrencyString = "$";
    fs.CurrencyFormat = 0;
    fs.CurrencyDecimals = 2;
    fs.NegCurrFormat = pattern;
    EXPECT_EQ(String("$,0.00;") + negatives[pattern], Use(fs)->CurrencyDisplayFormat()) << int(pattern);
  }
  TFormatSettings fs = InvariantFormatSettings();
  fs.CurrencyString = "Fr.";
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  EXPECT_EQ(",0.00 Fr'.';-,0.00 Fr'.'", Use(fs)->CurrencyDisplayFormat());
}

TEST_F(Formats, WeekStartAndPaddedDateFormat) {
  struct Case {
    const char* FirstDay;
    Byte StartOfWeek;
  } cases[] = {{"6", 0}, {"0", 1}, {"2", 3}};
  for (const Case& c : cases) {
    TLocaleInfoGuard first({{LOCALE_IFIRSTDAYOFWEEK, c.FirstDay}});
    EXPECT_EQ(c.StartOfWeek, Use(InvariantFormatSettings())->StartOfWeek()) << c.FirstDay;
  }
  struct Pad {
    const char* Format;
    const char* Padded;
  } pads[] = {{"d/M/yyyy", "dd/MM/yyyy"}, {"dd/M/yy", "dd/MM/yy"}, {"m/d D", "m/dd D"}, {"ddd.MMMM", "ddd.MMMM"}};
  for (const Pad& p : pads) EXPECT_EQ(p.Padded, Use(With(p.Format, "hh:nn"))->PaddedDateFormat()) << p.Format;
}

// ---- Listeners ----------------------------------------------------------------------------------------

class TFormatListener : public IuiFormatControllerListener {
 public:
  void FormatChanged() override {
    ++Formats;
    if (OnFormat) OnFormat();
  }
  Integer Formats = 0;
  std::function<void()> OnFormat;
};

class TFormatAndTimeListener : public TFormatListener, public IuiFormatControllerListener2 {
 public:
  void TimeChanged() override { ++Times; }
  Integer Times = 0;
};

class FormatListeners : public FoundationTest {
 protected:
  ~FormatListeners() override { Application->SetUpdateFormatSettings(true); }
  TFormatSettingsGuard Pinned;
};

TEST_F(FormatListeners, TheHiddenWindowLivesWhileListenersDo) {
  TuiFormatController* controller = GetFormatController();
  TFormatListener a;
  TFormatAndTimeListener b;
  EXPECT_EQ(nullptr, controller->Window());
  controller->AddListener(&a);
  const HWND window = controller->Window();
  ASSERT_NE(nullptr, window);
  controller->AddListener(&a);
  controller->AddListener(&b);
  EXPECT_EQ(2, controller->ListenerCount());
  EXPECT_EQ(window, controller->Window());
  controller->RemoveListener(&a);
  EXPECT_TRUE(IsWindow(window));
  controller->RemoveListener(&b);
  EXPECT_EQ(nullptr, controller->Window());
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(FormatListeners, RegionalSettingsReloadAndClockChangesAreTold) {
  TuiFormatController* controller = GetFormatController();
  TFormatListener a;
  TFormatAndTimeListener b;
  controller->AddListener(&a);
  controller->AddListener(&b);

  FormatSettings.CurrencyString = "XYZ";
  controller->Refresh();
  static const char kIntl[] = "intl";
  SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(kIntl));
  EXPECT_EQ(1, a.Formats);
  EXPECT_EQ(1, b.Formats);
  EXPECT_EQ(LocaleFormatSettings("").CurrencyString, FormatSettings.CurrencyString);
  EXPECT_EQ(String::npos, controller->CurrencyDisplayFormat().find("XYZ"));

  // Other texts, no text at all, or an application that keeps its settings: nothing happens.
  static const char kOther[] = "Intl";
  FormatSettings.CurrencyString = "XYZ";
  SendMessage(controller->Window(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(kOther));
  SendMessage(controller->Window(), WM_SETTINGCHANGE, 0, 0);
  SendMessage(controller->Window(), WM_SETTINGCHANGE, 1, reinterpret_cast<LPARAM>(kIntl));
  Application->SetUpdateFormatSettings(false);
  SendMessage(controller->Window(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(kIntl));
  EXPECT_EQ(1, a.Formats);
  EXPECT_EQ("XYZ", FormatSettings.CurrencyString);

  SendMessage(HWND_BROADCAST, WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(1, b.Times);
  controller->SetUsePlainDateFormats(true);
  controller->SetUsePlainDateFormats(true);
  EXPECT_EQ(2, a.Formats);
  controller->SetUsePlainDateFormats(false);
  controller->RemoveListener(&a);
  controller->RemoveListener(&b);
}

TEST_F(FormatListeners, ListenersMayLeaveWhileBeingTold) {
  TuiFormatController* controller = GetFormatController();
  TFormatListener first, second, third;
  first.OnFormat = [&] {
    controller->RemoveListener(&first);
    controller->RemoveListener(&second);
  };
  controller->AddListener(&first);
  controller->AddListener(&second);
  controller->AddListener(&third);
  controller->NotifyFormatChanged();
  EXPECT_EQ(1, first.Formats);
  EXPECT_EQ(0, second.Formats);
  EXPECT_EQ(1, third.Formats);
  EXPECT_EQ(1, controller->ListenerCount());
  controller->RemoveListener(&third);
}

}  // namespace foundation_test
