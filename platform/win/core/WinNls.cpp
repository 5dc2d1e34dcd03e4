// The user's locale information over the C library's locale data, with values replaceable per item, and
// the date and time picture formatting.
#include "platform/win/core/WinNls.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/classes/Kernel.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

size_t RunLength(const String& s, size_t i, bool ignoreCase) {
  size_t n = 1;
  while (i + n < s.size() && (ignoreCase ? Lower(s[i + n]) == Lower(s[i]) : s[i + n] == s[i])) ++n;
  return n;
}

// Literal text in a picture: letters are quoted so that they are not read as fields.
void AppendLiteral(String& out, const String& text) {
  bool letters = false;
  for (char c : text) letters |= IsLetter(c) || c == '\'';
  if (!letters) {
    out += text;
    return;
  }
  out += '\'';
  for (char c : text) out += c == '\'' ? String("''") : String(1, c);
  out += '\'';
}

// The run-time library's date and time pictures ("dd/mm/yyyy", "hh:nn:ss ampm") as pictures of this API.
String ToNlsPicture(const String& picture, const TFormatSettings& fs, bool time) {
  const String lower = LowerCase(picture);
  const bool twelveHour = lower.find("am/pm") != String::npos || lower.find("a/p") != String::npos ||
                          lower.find("ampm") != String::npos;
  String out;
  bool afterHour = false;
  for (size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    const char l = Lower(c);
    if (c == '"' || c == '\'') {
      const size_t end = picture.find(c, i + 1);
      const size_t stop = end == String::npos ? picture.size() : end;
      AppendLiteral(out, picture.substr(i + 1, stop - i - 1));
      i = end == String::npos ? picture.size() : end + 1;
      continue;
    }
    if (lower.compare(i, 5, "am/pm") == 0 || lower.compare(i, 4, "ampm") == 0) {
      out += "tt";
      i += lower.compare(i, 4, "ampm") == 0 ? 4 : 5;
      continue;
    }
    if (lower.compare(i, 3, "a/p") == 0) {
      out += "t";
      i += 3;
      continue;
    }
    const size_t run = RunLength(picture, i, true);
    if (time && l == 'h') {
      out += String(std::min<size_t>(run, 2), twelveHour ? 'h' : 'H');
      afterHour = true;
    } else if (time && (l == 'n' || (l == 'm' && afterHour))) {
      out += String(std::min<size_t>(run, 2), 'm');
    } else if (time && l == 's') {
      out += String(std::min<size_t>(run, 2), 's');
    } else if (time && l == 'z') {
      // milliseconds have no field here
    } else if (!time && l == 'd') {
      out += String(std::min<size_t>(run, 4), 'd');
    } else if (!time && l == 'm') {
      out += String(std::min<size_t>(run, 4), 'M');
    } else if (!time && l == 'y') {
      out += run > 2 ? "yyyy" : "yy";
    } else if (c == '/' && !time) {
      AppendLiteral(out, String(1, fs.DateSeparator));
    } else if (c == ':' && time) {
      AppendLiteral(out, String(1, fs.TimeSeparator));
    } else {
      AppendLiteral(out, picture.substr(i, run));
    }
    i += run;
  }
  return out;
}

class LocaleTable {
 public:
  bool Get(LCTYPE type, String& value) {
    std::lock_guard<std::mutex> guard(lock_);
    Load();
    const auto it = values_.find(type);
    if (it == values_.end()) return false;
    value = it->second;
    return true;
  }
  bool Set(LCTYPE type, const String& value) {
    std::lock_guard<std::mutex> guard(lock_);
    Load();
    const auto it = values_.find(type);
    if (it == values_.end()) return false;
    it->second = value;
    return true;
  }

 private:
  void Load() {
    if (loaded_) return;
    loaded_ = true;
    const TFormatSettings fs = LocaleFormatSettings("");
    values_[LOCALE_SDATE] = String(1, fs.DateSeparator);
    values_[LOCALE_STIME] = String(1, fs.TimeSeparator);
    values_[LOCALE_SSHORTDATE] = ToNlsPicture(fs.ShortDateFormat, fs, false);
    values_[LOCALE_STIMEFORMAT] = ToNlsPicture(fs.LongTimeFormat, fs, true);
    values_[LOCALE_S1159] = fs.TimeAMString;
    values_[LOCALE_S2359] = fs.TimePMString;
    values_[LOCALE_IFIRSTDAYOFWEEK] = std::to_string(fs.FirstDayOfWeek);
    for (LCTYPE i = 0; i < 7; ++i) {
      values_[LOCALE_SDAYNAME1 + i] = fs.LongDayNames[(i + 1) % 7];
      values_[LOCALE_SABBREVDAYNAME1 + i] = fs.ShortDayNames[(i + 1) % 7];
    }
    for (LCTYPE i = 0; i < 12; ++i) {
      values_[LOCALE_SMONTHNAME1 + i] = fs.LongMonthNames[i];
      values_[LOCALE_SABBREVMONTHNAME1 + i] = fs.ShortMonthNames[i];
    }
  }

  std::mutex lock_;
  bool loaded_ = false;
  std::map<LCTYPE, String> values_;
};

LocaleTable& Table() {
  static LocaleTable table;
  return table;
}

String Item(LCTYPE type) {
  String value;
  Table().Get(type, value);
  return value;
}

// Copies text and its nul into the caller's buffer as the API does: size only for a count of 0.
int Deliver(const String& text, LPSTR buffer, int count) {
  const int needed = static_cast<int>(text.size()) + 1;
  if (count == 0) return needed;
  if (count < needed || buffer == nullptr) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, text.c_str(), static_cast<size_t>(needed));
  return needed;
}

String Number(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

// Walks a picture: quoted text is copied, each run of a field letter goes to Field (which answers
// false for a letter that is no field), anything else is copied.
template <class FieldFn>
String ApplyPicture(const String& picture, FieldFn Field) {
  String out;
  for (size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    if (c == '\'') {
      if (i + 1 < picture.size() && picture[i + 1] == '\'') {
        out += '\'';
        i += 2;
        continue;
      }
      for (++i; i < picture.size(); ++i) {
        if (picture[i] != '\'') {
          out += picture[i];
        } else if (i + 1 < picture.size() && picture[i + 1] == '\'') {
          out += '\'';
          ++i;
        } else {
          break;
        }
      }
      ++i;
      continue;
    }
    const size_t run = RunLength(picture, i, false);
    if (!Field(c, run, out)) {
      out += c;
      i += 1;
      continue;
    }
    i += run;
  }
  return out;
}

bool CheckFlags(DWORD flags) {
  if ((flags & ~LOCALE_NOUSEROVERRIDE) == 0) return true;
  SetLastError(ERROR_INVALID_FLAGS);
  return false;
}

SYSTEMTIME CurrentTime() {
  Word y, mo, d, h, mi, s, ms;
  DecodeDateTime(Now(), y, mo, d, h, mi, s, ms);
  SYSTEMTIME st;
  st.wYear = y;
  st.wMonth = mo;
  st.wDay = d;
  st.wHour = h;
  st.wMinute = mi;
  st.wSecond = s;
  st.wMilliseconds = ms;
  return st;
}

}  // namespace

LCID GetThreadLocale() { return LOCALE_USER_DEFAULT; }
LCID GetUserDefaultLCID() { return LOCALE_USER_DEFAULT; }

int GetLocaleInfoA(LCID, LCTYPE LCType, LPSTR lpLCData, int cchData) {
  String value;
  if (cchData < 0 || !Table().Get(LCType & ~LOCALE_NOUSEROVERRIDE, value)) {
    SetLastError(cchData < 0 ? ERROR_INVALID_PARAMETER : ERROR_INVALID_FLAGS);
    return 0;
  }
  return Deliver(value, lpLCData, cchData);
}

BOOL SetLocaleInfoA(LCID, LCTYPE LCType, LPCSTR lpLCData) {
  if (lpLCData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!Table().Set(LCType, lpLCData)) {
    SetLastError(ERROR_INVALID_FLAGS);
    return FALSE;
  }
  return TRUE;
}

int GetDateFormatA(LCID, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat, LPSTR lpDateStr, int cchDate) {
  if (!CheckFlags(dwFlags)) return 0;
  const SYSTEMTIME st = lpDate != nullptr ? *lpDate : CurrentTime();
  TDateTime date = 0;
  if (cchDate < 0 || !TryEncodeDate(st.wYear, st.wMonth, st.wDay, date)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const Integer dow = DayOfWeek(date) - 1;  // 0 = Sunday
  const LCTYPE dayItem = static_cast<LCTYPE>((dow + 6) % 7);  // Monday first
  const String picture = lpFormat != nullptr ? String(lpFormat) : Item(LOCALE_SSHORTDATE);
  const String text = ApplyPicture(picture, [&](char c, size_t run, String& out) {
    switch (c) {
      case 'd':
        if (run <= 2) out += Number(st.wDay, static_cast<int>(run));
        else out += Item((run == 3 ? LOCALE_SABBREVDAYNAME1 : LOCALE_SDAYNAME1) + dayItem);
        return true;
      case 'M':
        if (run <= 2) out += Number(st.wMonth, static_cast<int>(run));
        else out += Item((run == 3 ? LOCALE_SABBREVMONTHNAME1 : LOCALE_SMONTHNAME1) + st.wMonth - 1u);
        return true;
      case 'y':
        if (run <= 2) out += Number(st.wYear % 100, static_cast<int>(run));
        else out += Number(st.wYear, 4);
        return true;
      case 'g':
        out += "A.D.";
        return true;
      default:
        return false;
    }
  });
  return Deliver(text, lpDateStr, cchDate);
}

int GetTimeFormatA(LCID, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCSTR lpFormat, LPSTR lpTimeStr, int cchTime) {
  if (!CheckFlags(dwFlags)) return 0;
  const SYSTEMTIME st = lpTime != nullptr ? *lpTime : CurrentTime();
  if (cchTime < 0 || st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 || st.wMilliseconds > 999) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const String marker = Item(st.wHour < 12 ? LOCALE_S1159 : LOCALE_S2359);
  const String picture = lpFormat != nullptr ? String(lpFormat) : Item(LOCALE_STIMEFORMAT);
  const String text = ApplyPicture(picture, [&](char c, size_t run, String& out) {
    const int width = run >= 2 ? 2 : 1;
    switch (c) {
      case 'h':
        out += Number(st.wHour % 12 == 0 ? 12 : st.wHour % 12, width);
        return true;
      case 'H':
        out += Number(st.wHour, width);
        return true;
      case 'm':
        out += Number(st.wMinute, width);
        return true;
      case 's':
        out += Number(st.wSecond, width);
        return true;
      case 't':
        out += run >= 2 ? marker : Utf8Copy(marker, 1, 1);
        return true;
      default:
        return false;
    }
  });
  return Deliver(text, lpTimeStr, cchTime);
}
