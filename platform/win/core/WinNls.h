// Locale information with the national-language API's shape: the user's date and time pictures,
// separators, names and first day of the week (GetLocaleInfo), and dates and times formatted by such
// pictures (GetDateFormat, GetTimeFormat).
//
// There is one locale, the user's: every locale id names it, and GetThreadLocale answers
// LOCALE_USER_DEFAULT. Its values come from the C library's locale data of the environment (through
// LocaleFormatSettings), read on first use; SetLocaleInfo replaces single values, as the user's
// regional settings would, and tests pin values that way. Texts are UTF-8 (the system code page);
// counts are in bytes and include the terminating nul. The functions may be called from any thread.
//
// Date pictures: d dd (day), ddd dddd (abbreviated and full day name), M MM (month), MMM MMMM (names),
// y (year in two digits without a leading zero), yy, yyyy (and more y: the full year), g gg (era,
// "A.D."), text in single quotes ('' is a quote); any other character stands for itself.
// Time pictures: h hh (12-hour), H HH (24-hour), m mm, s ss, t (first character of the AM/PM string),
// tt (the whole string), quotes as for dates.
#pragma once

#include "platform/rtl/WinTypes.h"

using LCID = DWORD;
using LCTYPE = DWORD;

inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

inline constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;
inline constexpr LCTYPE LOCALE_SDATE = 0x001D;
inline constexpr LCTYPE LOCALE_STIME = 0x001E;
inline constexpr LCTYPE LOCALE_SSHORTDATE = 0x001F;
inline constexpr LCTYPE LOCALE_S1159 = 0x0028;
inline constexpr LCTYPE LOCALE_S2359 = 0x0029;
// Day names start with Monday (LOCALE_SDAYNAME1) and end with Sunday (LOCALE_SDAYNAME7).
inline constexpr LCTYPE LOCALE_SDAYNAME1 = 0x002A;
inline constexpr LCTYPE LOCALE_SABBREVDAYNAME1 = 0x0031;
inline constexpr LCTYPE LOCALE_SMONTHNAME1 = 0x0038;
inline constexpr LCTYPE LOCALE_SABBREVMONTHNAME1 = 0x0044;
inline constexpr LCTYPE LOCALE_STIMEFORMAT = 0x1003;
// "0" Monday ... "6" Sunday.
inline constexpr LCTYPE LOCALE_IFIRSTDAYOFWEEK = 0x100C;

inline constexpr DWORD ERROR_INVALID_FLAGS = 1004;

struct SYSTEMTIME {
  WORD wYear = 0;
  WORD wMonth = 0;
  WORD wDayOfWeek = 0;  // 0 = Sunday; ignored by the formatting functions
  WORD wDay = 0;
  WORD wHour = 0;
  WORD wMinute = 0;
  WORD wSecond = 0;
  WORD wMilliseconds = 0;
};

// The locale of the calling thread: LOCALE_USER_DEFAULT.
LCID GetThreadLocale();
LCID GetUserDefaultLCID();

// The value of one item (LOCALE_NOUSEROVERRIDE is accepted and ignored). cchData 0 asks for the size.
// Fails (0) with ERROR_INVALID_FLAGS for an item not listed above, ERROR_INSUFFICIENT_BUFFER when the
// value does not fit.
int GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData);
inline int GetLocaleInfo(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData) {
  return GetLocaleInfoA(Locale, LCType, lpLCData, cchData);
}
// Replaces one item's value for the whole process. Fails with ERROR_INVALID_FLAGS for an unknown item,
// ERROR_INVALID_PARAMETER for a nil value.
BOOL SetLocaleInfoA(LCID Locale, LCTYPE LCType, LPCSTR lpLCData);
inline BOOL SetLocaleInfo(LCID Locale, LCTYPE LCType, LPCSTR lpLCData) { return SetLocaleInfoA(Locale, LCType, lpLCData); }

// A date (nil: today) by the picture lpFormat (nil: the locale's short date). dwFlags must be 0 (or
// LOCALE_NOUSEROVERRIDE). Fails with ERROR_INVALID_PARAMETER for a date that is not valid (years 1 to
// 9999), ERROR_INVALID_FLAGS for other flags, ERROR_INSUFFICIENT_BUFFER when the text does not fit.
int GetDateFormatA(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat, LPSTR lpDateStr,
                   int cchDate);
inline int GetDateFormat(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat, LPSTR lpDateStr,
                         int cchDate) {
  return GetDateFormatA(Locale, dwFlags, lpDate, lpFormat, lpDateStr, cchDate);
}
// A time of day (nil: now) by the picture lpFormat (nil: the locale's time format), with the same rules.
int GetTimeFormatA(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCSTR lpFormat, LPSTR lpTimeStr,
                   int cchTime);
inline int GetTimeFormat(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCSTR lpFormat, LPSTR lpTimeStr,
                         int cchTime) {
  return GetTimeFormatA(Locale, dwFlags, lpTime, lpFormat, lpTimeStr, cchTime);
}
