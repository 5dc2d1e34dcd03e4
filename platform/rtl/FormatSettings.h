// Locale format settings: separators, date and time formats, currency format, month and day names.
//
// The process-wide FormatSettings is read from the user's locale (LC_NUMERIC, LC_MONETARY, LC_TIME
// as the environment names them) when the program starts; the C library's global locale is never
// changed. Every conversion routine without an explicit TFormatSettings argument reads FormatSettings.
// Tests pin known settings with TFormatSettingsGuard (the shared test main pins
// InvariantFormatSettings() for the whole run).
#pragma once

#include <array>

#include "platform/rtl/Types.h"

struct TFormatSettings {
  // Currency: CurrencyFormat 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"; NegCurrFormat 0..15 as the class library.
  String CurrencyString;
  Byte CurrencyFormat = 0;
  Byte NegCurrFormat = 0;
  Byte CurrencyDecimals = 2;

  char ThousandSeparator = ',';
  char DecimalSeparator = '.';
  char DateSeparator = '-';
  char TimeSeparator = ':';
  char ListSeparator = ',';

  // Date/time pictures in FormatDateTime's syntax ("yyyy/mm/dd", "hh:nn:ss").
  String ShortDateFormat;
  String LongDateFormat;
  String ShortTimeFormat;
  String LongTimeFormat;
  String TimeAMString;
  String TimePMString;

  std::array<String, 12> ShortMonthNames;
  std::array<String, 12> LongMonthNames;
  // Index 0 is Sunday, as DayOfWeek(d) - 1.
  std::array<String, 7> ShortDayNames;
  std::array<String, 7> LongDayNames;

  // Two-digit years typed by the user fall within this many years of now (0 = current century).
  Word TwoDigitYearCenturyWindow = 50;
  // First day of the week in the locale's numbering: 0 = Monday ... 6 = Sunday.
  Byte FirstDayOfWeek = 6;
};

// The process-wide settings every conversion reads by default.
extern TFormatSettings FormatSettings;

// Fixed settings that do not depend on the machine: English names, '.' decimal, ',' thousands,
// '-' date separator with ShortDateFormat "yyyy/mm/dd" (2024-03-05), LongDateFormat "dddd, mmmm d, yyyy",
// ':' time separator with "hh:nn" / "hh:nn:ss", "AM"/"PM", currency "$" before the amount with 2 decimals,
// week starting on Sunday.
TFormatSettings InvariantFormatSettings();

// Settings read from a locale by name ("" = the user's locale from the environment). Items the locale
// lacks or that do not fit one byte (a multi-byte thousands separator, for example) keep the
// invariant value (a separator that cannot be one byte becomes a space or is left as invariant).
TFormatSettings LocaleFormatSettings(const char* localeName = "");

// Reloads FormatSettings from the user's locale.
void GetFormatSettings();

// Saves FormatSettings and restores it when destroyed; optionally installs other settings meanwhile.
class TFormatSettingsGuard {
public:
  TFormatSettingsGuard();
  explicit TFormatSettingsGuard(const TFormatSettings& pinned);
  ~TFormatSettingsGuard();
  TFormatSettingsGuard(const TFormatSettingsGuard&) = delete;
  TFormatSettingsGuard& operator=(const TFormatSettingsGuard&) = delete;

private:
  TFormatSettings saved_;
};
