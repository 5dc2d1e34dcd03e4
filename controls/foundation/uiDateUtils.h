// Dates for the editors: calendar arithmetic, the start of a week, conversion of edit text to a date
// (with smart words such as "today" or "tomorrow+2"), the mask alternatives that let a date mask accept
// those words, display text of a date in the locale's format, a case-insensitive text match and the
// currency display format.
//
// Dates are TDateTime values; NullDate stands for no date. The current date comes from the run-time
// library's clock (Now, replaceable in tests); the locale from GetLocaleInfo of the thread locale and
// the run-time library's FormatSettings. The smart words are library resource texts: they pass through
// LocalizeText every time they are used. Text is UTF-8; lengths count characters.
#pragma once

#include "platform/rtl/DateTime.h"
#include "platform/win/core/WinNls.h"

// The smart words, in their order: today, yesterday, tomorrow, the weekdays Sunday to Saturday, first to
// seventh (the days of the current week counted from Sunday), bom and eom (first and last day of the
// month), now.
namespace uidateutilsconsts {
inline constexpr const char* SSmartDateToday = "today";
inline constexpr const char* SSmartDateYesterday = "yesterday";
inline constexpr const char* SSmartDateTomorrow = "tomorrow";
inline constexpr const char* SSmartDateSunday = "Sunday";
inline constexpr const char* SSmartDateMonday = "Monday";
inline constexpr const char* SSmartDateTuesday = "Tuesday";
inline constexpr const char* SSmartDateWednesday = "Wednesday";
inline constexpr const char* SSmartDateThursday = "Thursday";
inline constexpr const char* SSmartDateFriday = "Friday";
inline constexpr const char* SSmartDateSaturday = "Saturday";
inline constexpr const char* SSmartDateFirst = "first";
inline constexpr const char* SSmartDateSecond = "second";
inline constexpr const char* SSmartDateThird = "third";
inline constexpr const char* SSmartDateFourth = "fourth";
inline constexpr const char* SSmartDateFifth = "fifth";
inline constexpr const char* SSmartDateSixth = "sixth";
inline constexpr const char* SSmartDateSeventh = "seventh";
inline constexpr const char* SSmartDateBOM = "bom";
inline constexpr const char* SSmartDateEOM = "eom";
inline constexpr const char* SSmartDateNow = "now";
}  // namespace uidateutilsconsts

inline constexpr Integer SmartDateWordCount = 20;
// The editors' value for no date.
inline constexpr TDateTime NullDate = -700000;

// Consulted when no smart word starts a text (nothing installs one); answers whether it made a date.
using TuiSmartDateTextHook = bool (*)(const String& AText, TDateTime& ADate);
extern TuiSmartDateTextHook SmartDateTextHook;

// Word AIndex (0..19) of the smart words, localized.
String SmartDateWord(Integer AIndex);

// The whole days (truncated towards zero) and the time of day.
TDateTime GetDatePart(TDateTime ADate);
TDateTime GetTimePart(TDateTime ADate);
void StepMonthBack(Word& AYear, Word& AMonth);
void StepMonthForward(Word& AYear, Word& AMonth);
// Moves the month by ADelta months, across years; the day is the caller's (ClampDay).
void ShiftMonth(SmallInt& AYear, Word& AMonth, Integer ADelta);
// AKind 0 the year, 1 the month, 2 the day.
Word GetDatePartValue(Integer AKind, TDateTime ADate);
bool YearIsLeap(Integer AYear);
// 28 to 31 (0 for a month outside 1..12).
Word GetDaysInMonth(Integer AYear, Integer AMonth);
Integer ClampDay(Integer AYear, Integer AMonth, Integer ADay);
// 1 January of year 100, the smallest date the editors accept.
TDateTime GetMinimumDate();
// The first day of the week (whole date) that holds ADate, by the locale's first day of the week.
TDateTime GetStartOfWeek(TDateTime ADate);
// The locale's first day of the week, 0 = Sunday .. 6.
Integer GetLocaleFirstWeekDay();
// Upper-cased comparison: equality, or with APartial and a non-empty AText, S starting with AText.
bool IsTextMatch(const String& S, const String& AText, bool APartial);
// ",0." and the currency decimals, with the currency string placed by CurrencyFormat (its "," and "."
// quoted).
String BuildCurrencyDisplayFormat();
// The thread locale's value of ALCType; '' when it has none.
String GetThreadLocaleInfoText(LCTYPE ALCType);
// Every date separator of the locale (LOCALE_SDATE) becomes a blank.
void NormaliseDateSeparators(String& S);
// AMask becomes "(AMask)|(word|word...)" followed by an optional sign and one to four digits, the words
// quoted for the regular-expression mask language ("now" only with AWithNow).
void AddSmartDateAlternatives(String& AMask, bool AWithNow);
// The smart word that starts AText (longest words first), case-insensitively.
bool FindSmartDateWord(const String& AText, Integer& AIndex);
// A smart word with an optional "+n"/"-n" day offset; without a word, the hook's answer. ADate is left
// as it was when nothing matched.
bool ParseSmartDateText(const String& AText, TDateTime& ADate);
// Trimmed text to a date: smart words first, then the locale's date (blanks may separate day, month and
// year). True for a date from 0001-01-01 to 9999-12-31; an empty text is False and leaves ADate, any
// other failure gives NullDate.
bool TryTextToDate(const String& AText, TDateTime& ADate);
// The locale's date and time (AUseVariant: also with blanks for separators); failures give NullDate.
bool TryTextToDateTime(const String& AText, bool AUseVariant, TDateTime& ADate);
// '' for NullDate. AUseFormat: the format controller's masked date (or date-time) format; otherwise
// DateTimeToLocaleText.
String DateTimeToDisplayText(bool AUseFormat, bool AWithTime, bool AFourDigitYear, TDateTime ADate);
// The locale's short date (its two-digit year widened with AFourDigitYear), and the time when there is
// one; '' for NullDate.
String DateTimeToLocaleText(bool AFourDigitYear, TDateTime ADate);

namespace k58::foundation {
// The number part and the quoted currency string of the currency display format.
String CurrencyNumberFormat();
String CurrencySymbolFormat();
// Quotes text for the regular-expression mask language: runs without a quote in single quotes, each
// quote as \'.
String QuoteMaskText(const String& AText);
}  // namespace k58::foundation
