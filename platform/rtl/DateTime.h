// TDateTime: days since 1899-12-30 as a double; the fraction is the time of day. Negative values
// count back from 1899-12-30 with the fraction still the time of day (-1.25 is 1899-12-29 06:00).
#pragma once

#include <functional>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Types.h"

inline constexpr Integer HoursPerDay = 24;
inline constexpr Integer MinsPerDay = 24 * 60;
inline constexpr Integer SecsPerDay = MinsPerDay * 60;
inline constexpr Integer MSecsPerDay = SecsPerDay * 1000;
// Days between 0001-01-01 and 1899-12-30.
inline constexpr Integer DateDelta = 693594;

bool IsLeapYear(Word year);
// Days of each month: MonthDays[IsLeapYear(y)][m - 1].
extern const Word MonthDays[2][12];
Word DaysInAMonth(Word year, Word month);

// Raise EConvertError "Invalid argument to date encode" / "... time encode" for values out of range
// (year 1..9999, month 1..12, day within the month; hour 0..23, min 0..59, sec 0..59, msec 0..999).
TDateTime EncodeDate(Word year, Word month, Word day);
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec);
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
// Also gives the day of the week (1 = Sunday) and whether the year is a leap year.
bool DecodeDateFully(TDateTime date, Word& year, Word& month, Word& day, Word& dow);
// Milliseconds are rounded to the nearest, so a value written from EncodeTime decodes exactly.
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min,
                    Word& sec, Word& msec);

// 1 = Sunday ... 7 = Saturday.
Integer DayOfWeek(TDateTime date);
// Adds months, keeping the day where the month has it and the last day of the month otherwise.
TDateTime IncMonth(TDateTime date, Integer numberOfMonths = 1);
// The date part and the time part.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);
// The date part of 'date' with the time of 'time', and the reverse.
void ReplaceTime(TDateTime& dateTime, TDateTime newTime);
void ReplaceDate(TDateTime& dateTime, TDateTime newDate);

// The local clock. Tests replace it with SetNowProvider (an empty function restores the clock).
TDateTime Now();
TDateTime Date();
TDateTime Time();
void SetNowProvider(std::function<TDateTime()> provider);

// Specifiers (case-insensitive): c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn s ss
// z zzz t tt am/pm a/p ampm, '/' (DateSeparator), ':' (TimeSeparator), 'text' and "text" as
// literals; any other character stands for itself. "m"/"mm" right after an hour specifier is the
// minute. An am/pm specifier after an hour switches that hour to the 12-hour clock. An empty
// format is "c".
String FormatDateTime(const String& format, TDateTime value);
String FormatDateTime(const String& format, TDateTime value, const TFormatSettings& fs);
String DateToStr(TDateTime date);
String DateToStr(TDateTime date, const TFormatSettings& fs);
String TimeToStr(TDateTime time);
String TimeToStr(TDateTime time, const TFormatSettings& fs);
// Date and long time; the time is omitted at exactly midnight.
String DateTimeToStr(TDateTime value);
String DateTimeToStr(TDateTime value, const TFormatSettings& fs);

// Text to date and time with the locale settings. Dates: two or three numbers separated by
// DateSeparator in the order of ShortDateFormat (a missing year is the current one; a two-digit
// year follows TwoDigitYearCenturyWindow). Times: h[:n[:s[.z]]] with TimeSeparator, optionally
// followed by TimeAMString/TimePMString, "AM"/"PM" or "A"/"P". Date and time are separated by a blank.
// Failures raise EConvertError "'<text>' is not a valid date" (time, date and time).
TDateTime StrToDate(const String& s);
TDateTime StrToDate(const String& s, const TFormatSettings& fs);
TDateTime StrToDateDef(const String& s, TDateTime def);
bool TryStrToDate(const String& s, TDateTime& value);
bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& fs);
TDateTime StrToTime(const String& s);
TDateTime StrToTime(const String& s, const TFormatSettings& fs);
TDateTime StrToTimeDef(const String& s, TDateTime def);
bool TryStrToTime(const String& s, TDateTime& value);
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& fs);
TDateTime StrToDateTime(const String& s);
TDateTime StrToDateTime(const String& s, const TFormatSettings& fs);
TDateTime StrToDateTimeDef(const String& s, TDateTime def);
bool TryStrToDateTime(const String& s, TDateTime& value);
bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& fs);
