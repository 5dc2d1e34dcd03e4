#include "platform/rtl/DateTime.h"

#include <time.h>

#include <cmath>
#include <mutex>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/RtlInternal.h"
#include "platform/rtl/Strings.h"

using k58::rtl::AsciiUpper;

const Word MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                               {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

namespace {

// Days of a civil date relative to 1970-01-01 and back (proleptic Gregorian calendar).
Int64 DaysFromCivil(Int64 y, unsigned m, unsigned d) {
  y -= m <= 2;
  const Int64 era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<Int64>(doe) - 719468;
}

void CivilFromDays(Int64 z, Int64& y, unsigned& m, unsigned& d) {
  z += 719468;
  const Int64 era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<Int64>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp + (mp < 10 ? 3 : -9);
  y += m <= 2;
}

// 1899-12-30 relative to 1970-01-01.
constexpr Int64 kUnixDelta = -25569;
// Serial numbers of 0001-01-01 and 9999-12-31.
constexpr double kMinDate = -693593;
constexpr double kMaxDate = 2958465;

// Splits a date-time into its day (truncated toward zero) and the milliseconds of its time of day,
// rounded; a time that rounds to a whole day carries into the next day.
void Split(TDateTime value, Int64& day, Int64& msec) {
  if (!std::isfinite(value) || value < kMinDate - 1 || value > kMaxDate + 1) {
    day = 0;
    msec = 0;
    return;
  }
  const double whole = std::trunc(value);
  day = static_cast<Int64>(whole);
  msec = static_cast<Int64>(std::nearbyint(std::fabs(value - whole) * MSecsPerDay));
  if (msec >= MSecsPerDay) {
    msec -= MSecsPerDay;
    day += 1;
  }
}

std::mutex gClockMutex;
std::function<TDateTime()> gNowProvider;

TDateTime SystemNow() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  TDateTime d = EncodeDate(static_cast<Word>(local.tm_year + 1900), static_cast<Word>(local.tm_mon + 1),
                           static_cast<Word>(local.tm_mday));
  const int sec = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second shows as :59
  return d + EncodeTime(static_cast<Word>(local.tm_hour), static_cast<Word>(local.tm_min), static_cast<Word>(sec),
                        static_cast<Word>(ts.tv_nsec / 1000000));
}

}  // namespace

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

Word DaysInAMonth(Word year, Word month) {
  if (month < 1 || month > 12) return 0;
  return MonthDays[IsLeapYear(year) ? 1 : 0][month - 1];
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month)) return false;
  date = static_cast<TDateTime>(DaysFromCivil(year, month, day) - kUnixDelta);
  return true;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) {
  if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000) return false;
  time = static_cast<TDateTime>((hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay);
  return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError(rtlconsts::SDateEncodeError);
  return d;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError(rtlconsts::STimeEncodeError);
  return t;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec) {
  const TDateTime d = EncodeDate(year, month, day);
  const TDateTime t = EncodeTime(hour, min, sec, msec);
  return d >= 0 ? d + t : d - t;
}

bool DecodeDateFully(TDateTime date, Word& year, Word& month, Word& day, Word& dow) {
  Int64 days, ms;
  Split(date, days, ms);
  Int64 y;
  unsigned m, d;
  CivilFromDays(days + kUnixDelta, y, m, d);
  if (y < 1 || y > 9999) {
    year = month = day = dow = 0;
    return false;
  }
  year = static_cast<Word>(y);
  month = static_cast<Word>(m);
  day = static_cast<Word>(d);
  dow = static_cast<Word>(((days + DateDelta) % 7 + 7) % 7 + 1);
  return IsLeapYear(year);
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
  Word dow;
  DecodeDateFully(date, year, month, day, dow);
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
  Int64 days, ms;
  Split(time, days, ms);
  hour = static_cast<Word>(ms / 3600000);
  min = static_cast<Word>(ms / 60000 % 60);
  sec = static_cast<Word>(ms / 1000 % 60);
  msec = static_cast<Word>(ms % 1000);
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec,
                    Word& msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, min, sec, msec);
}

Integer DayOfWeek(TDateTime date) {
  Int64 days, ms;
  Split(date, days, ms);
  return static_cast<Integer>(((days + DateDelta) % 7 + 7) % 7 + 1);
}

TDateTime DateOf(TDateTime value) { return std::trunc(value); }
TDateTime TimeOf(TDateTime value) { return std::fabs(value - std::trunc(value)); }

void ReplaceTime(TDateTime& dateTime, TDateTime newTime) {
  dateTime = std::trunc(dateTime);
  const double t = std::fabs(newTime - std::trunc(newTime));
  dateTime = dateTime >= 0 ? dateTime + t : dateTime - t;
}

void ReplaceDate(TDateTime& dateTime, TDateTime newDate) {
  const double t = std::fabs(dateTime - std::trunc(dateTime));
  dateTime = std::trunc(newDate);
  dateTime = dateTime >= 0 ? dateTime + t : dateTime - t;
}

TDateTime IncMonth(TDateTime date, Integer numberOfMonths) {
  Word y, m, d;
  DecodeDate(date, y, m, d);
  Int64 total = static_cast<Int64>(y) * 12 + (m - 1) + numberOfMonths;
  Int64 ny = total >= 0 ? total / 12 : (total - 11) / 12;
  const auto nm = static_cast<Word>(total - ny * 12 + 1);
  if (ny < 1 || ny > 9999) throw EConvertError(rtlconsts::SDateEncodeError);
  const Word days = DaysInAMonth(static_cast<Word>(ny), nm);
  TDateTime r = EncodeDate(static_cast<Word>(ny), nm, d > days ? days : d);
  ReplaceTime(r, date);
  return r;
}

TDateTime Now() {
  std::function<TDateTime()> provider;
  {
    std::lock_guard<std::mutex> lock(gClockMutex);
    provider = gNowProvider;
  }
  return provider ? provider() : SystemNow();
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() {
  const TDateTime n = Now();
  return n - std::trunc(n);
}

void SetNowProvider(std::function<TDateTime()> provider) {
  std::lock_guard<std::mutex> lock(gClockMutex);
  gNowProvider = std::move(provider);
}

// ---------------------------------------------------------------------------------------------
// FormatDateTime
// ---------------------------------------------------------------------------------------------
namespace {

String Pad(Integer v, int width) {
  String s = std::to_string(v);
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), '0');
  return s;
}

bool MatchAt(const String& f, size_t i, const char* word) {
  const size_t n = std::char_traits<char>::length(word);
  if (i + n > f.size()) return false;
  for (size_t k = 0; k < n; ++k) {
    if (AsciiUpper(f[i + k]) != word[k]) return false;
  }
  return true;
}

// Length of the am/pm specifier at i (0 when there is none).
size_t AmPmAt(const String& f, size_t i) {
  if (MatchAt(f, i, "AM/PM")) return 5;
  if (MatchAt(f, i, "AMPM")) return 4;
  if (MatchAt(f, i, "A/P")) return 3;
  return 0;
}

// True when an am/pm specifier follows position i (outside quoted text).
bool AmPmFollows(const String& f, size_t i) {
  while (i < f.size()) {
    const char c = f[i];
    if (c == '"' || c == '\'') {
      const size_t close = f.find(c, i + 1);
      if (close == String::npos) return false;
      i = close + 1;
      continue;
    }
    if (AmPmAt(f, i) != 0) return true;
    ++i;
  }
  return false;
}

class DateTimeFormatter {
public:
  DateTimeFormatter(TDateTime value, const TFormatSettings& fs) : fs_(fs) {
    Split(value, day_, msec_);
    DecodeDate(value, year_, month_, mday_);
    hour_ = static_cast<Integer>(msec_ / 3600000);
    min_ = static_cast<Integer>(msec_ / 60000 % 60);
    sec_ = static_cast<Integer>(msec_ / 1000 % 60);
    ms_ = static_cast<Integer>(msec_ % 1000);
    dow_ = static_cast<Integer>(((day_ + DateDelta) % 7 + 7) % 7);  // 0 = Sunday
  }

  void Append(const String& f, int depth) {
    if (depth > 2) return;  // settings whose pictures refer to each other
    char last = 0;           // the previous specifier, for "m after h"
    size_t i = 0;
    while (i < f.size()) {
      const char c = f[i];
      const char u = AsciiUpper(c);
      if (c == '"' || c == '\'') {
        const size_t close = f.find(c, i + 1);
        const size_t end = close == String::npos ? f.size() : close;
        out_.append(f, i + 1, end - i - 1);
        i = end + 1;
        continue;
      }
      if (c == '/') {
        out_ += fs_.DateSeparator;
        ++i;
        continue;
      }
      if (c == ':') {
        out_ += fs_.TimeSeparator;
        ++i;
        continue;
      }
      if (u == 'A') {
        const size_t n = AmPmAt(f, i);
        if (n == 0) {
          out_ += c;
          ++i;
          continue;
        }
        const bool pm = hour_ >= 12;
        if (n == 4) {
          out_ += pm ? fs_.TimePMString : fs_.TimeAMString;
        } else if (n == 5) {
          out_.append(f, pm ? i + 3 : i, 2);
        } else {
          out_ += f[pm ? i + 2 : i];
        }
        i += n;
        continue;
      }
      if (u != 'C' && u != 'D' && u != 'M' && u != 'Y' && u != 'H' && u != 'N' && u != 'S' && u != 'Z' && u != 'T') {
        out_ += c;
        ++i;
        continue;
      }
      size_t count = 1;
      while (i + count < f.size() && AsciiUpper(f[i + count]) == u) ++count;
      const size_t start = i;
      i += count;
      switch (u) {
        case 'C':
          Append(fs_.ShortDateFormat, depth + 1);
          if (msec_ >= 1000) {  // milliseconds alone do not show a time
            out_ += ' ';
            Append(fs_.LongTimeFormat, depth + 1);
          }
          i = start + 1;  // each 'c' stands alone
          break;
        case 'Y':
          out_ += count <= 2 ? Pad(year_ % 100, 2) : Pad(year_, 4);
          break;
        case 'M':
          if (last == 'H') {
            out_ += count == 1 ? std::to_string(min_) : Pad(min_, 2);
            if (count > 2) i = start + 2;
          } else if (count == 1) {
            out_ += std::to_string(month_);
          } else if (count == 2) {
            out_ += Pad(month_, 2);
          } else if (count == 3) {
            out_ += month_ ? fs_.ShortMonthNames[month_ - 1u] : String();
          } else {
            out_ += month_ ? fs_.LongMonthNames[month_ - 1u] : String();
          }
          break;
        case 'D':
          switch (count) {
            case 1: out_ += std::to_string(mday_); break;
            case 2: out_ += Pad(mday_, 2); break;
            case 3: out_ += fs_.ShortDayNames[static_cast<size_t>(dow_)]; break;
            case 4: out_ += fs_.LongDayNames[static_cast<size_t>(dow_)]; break;
            case 5: Append(fs_.ShortDateFormat, depth + 1); break;
            default: Append(fs_.LongDateFormat, depth + 1); break;
          }
          break;
        case 'H': {
          Integer h = hour_;
          if (AmPmFollows(f, i)) {
            h %= 12;
            if (h == 0) h = 12;
          }
          out_ += count == 1 ? std::to_string(h) : Pad(h, 2);
          break;
        }
        case 'N':
          out_ += count == 1 ? std::to_string(min_) : Pad(min_, 2);
          break;
        case 'S':
          out_ += count == 1 ? std::to_string(sec_) : Pad(sec_, 2);
          break;
        case 'Z':
          out_ += count < 3 ? std::to_string(ms_) : Pad(ms_, 3);
          break;
        case 'T':
          Append(count == 1 ? fs_.ShortTimeFormat : fs_.LongTimeFormat, depth + 1);
          break;
        default:
          break;
      }
      last = u;
    }
  }

  String Result() const { return out_; }

private:
  const TFormatSettings& fs_;
  Int64 day_ = 0, msec_ = 0;
  Word year_ = 0, month_ = 0, mday_ = 0;
  Integer hour_ = 0, min_ = 0, sec_ = 0, ms_ = 0, dow_ = 0;
  String out_;
};

}  // namespace

String FormatDateTime(const String& format, TDateTime value, const TFormatSettings& fs) {
  DateTimeFormatter f(value, fs);
  f.Append(format.empty() ? String("c") : format, 0);
  return f.Result();
}
String FormatDateTime(const String& format, TDateTime value) { return FormatDateTime(format, value, FormatSettings); }
String DateToStr(TDateTime date, const TFormatSettings& fs) { return FormatDateTime("ddddd", date, fs); }
String DateToStr(TDateTime date) { return DateToStr(date, FormatSettings); }
String TimeToStr(TDateTime time, const TFormatSettings& fs) { return FormatDateTime("tt", time, fs); }
String TimeToStr(TDateTime time) { return TimeToStr(time, FormatSettings); }
String DateTimeToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime("c", value, fs); }
String DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings); }

// ---------------------------------------------------------------------------------------------
// Text to date and time
// ---------------------------------------------------------------------------------------------
namespace {

class Scanner {
public:
  Scanner(const String& s, const TFormatSettings& fs) : s_(s), fs_(fs) {}

  void Blanks() {
    while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
  }
  bool AtEnd() {
    Blanks();
    return pos_ >= s_.size();
  }
  bool Char(char c) {
    Blanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  // Up to 'maxDigits' digits; the number of digits read goes to 'digits'.
  bool Number(Integer& value, int& digits, int maxDigits = 9) {
    Blanks();
    value = 0;
    digits = 0;
    while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9' && digits < maxDigits) {
      value = value * 10 + (s_[pos_] - '0');
      ++pos_;
      ++digits;
    }
    return digits > 0;
  }
  // Matches text case-insensitively (ASCII folding).
  bool Text(const String& text) {
    Blanks();
    if (text.empty() || pos_ + text.size() > s_.size()) return false;
    if (CompareText(s_.substr(pos_, text.size()), text) != 0) return false;
    pos_ += text.size();
    return true;
  }
  size_t Pos() const { return pos_; }
  void SetPos(size_t p) { pos_ = p; }

  bool Date(TDateTime& value) {
    Integer n[3];
    int digits[3];
    int count = 0;
    if (!Number(n[0], digits[0])) return false;
    count = 1;
    while (count < 3) {
      const size_t save = pos_;
      if (!Char(fs_.DateSeparator)) break;
      if (!Number(n[count], digits[count])) {
        pos_ = save;
        break;
      }
      ++count;
    }
    if (count < 2) return false;
    // A trailing separator after the last number is allowed ("1/2/").
    {
      const size_t save = pos_;
      if (!Char(fs_.DateSeparator)) pos_ = save;
    }
    const String order = OrderOf(fs_.ShortDateFormat);
    Integer y = 0, m = 0, d = 0;
    int yDigits = 0;
    Word cy, cm, cd;
    DecodeDate(Now(), cy, cm, cd);
    if (count == 3) {
      for (int k = 0; k < 3; ++k) {
        switch (order[static_cast<size_t>(k)]) {
          case 'Y': y = n[k]; yDigits = digits[k]; break;
          case 'M': m = n[k]; break;
          default: d = n[k]; break;
        }
      }
    } else {
      y = cy;
      yDigits = 4;
      if (order == "DMY") {
        d = n[0];
        m = n[1];
      } else {
        m = n[0];
        d = n[1];
      }
    }
    if (yDigits <= 2) {
      const Integer window = fs_.TwoDigitYearCenturyWindow;
      if (window > 0) {
        const Integer pivot = cy - window;
        y += pivot / 100 * 100;
        if (y < pivot) y += 100;
      } else {
        y += cy / 100 * 100;
      }
    }
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return false;
    return TryEncodeDate(static_cast<Word>(y), static_cast<Word>(m), static_cast<Word>(d), value);
  }

  bool Time(TDateTime& value) {
    const size_t start = pos_;
    int ampm = AmPm();  // -1 none, 0 AM, 1 PM
    Integer h, n = 0, s = 0, z = 0;
    int digits;
    if (!Number(h, digits, 2)) {
      pos_ = start;
      return false;
    }
    if (!Char(fs_.TimeSeparator)) {
      pos_ = start;
      return false;
    }
    if (!Number(n, digits, 2)) {
      pos_ = start;
      return false;
    }
    if (Char(fs_.TimeSeparator)) {
      if (!Number(s, digits, 2)) {
        pos_ = start;
        return false;
      }
      if (Char(fs_.DecimalSeparator) || Char('.')) {
        if (!Number(z, digits, 3)) {
          pos_ = start;
          return false;
        }
        for (; digits < 3; ++digits) z *= 10;
      }
    }
    if (ampm < 0) ampm = AmPm();
    if (ampm >= 0) {
      if (h > 12) {
        pos_ = start;
        return false;
      }
      if (h == 12) h = 0;
      if (ampm == 1) h += 12;
    }
    TDateTime t;
    if (!TryEncodeTime(static_cast<Word>(h), static_cast<Word>(n), static_cast<Word>(s),
                       static_cast<Word>(z), t)) {
      pos_ = start;
      return false;
    }
    value = t;
    return true;
  }

private:
  static String OrderOf(const String& picture) {
    String order;
    char quote = 0;
    for (char c : picture) {
      if (quote) {
        if (c == quote) quote = 0;
        continue;
      }
      if (c == '"' || c == '\'') {
        quote = c;
        continue;
      }
      const char u = AsciiUpper(c);
      if ((u == 'D' || u == 'M' || u == 'Y') && order.find(u) == String::npos) order += u;
    }
    return order.size() == 3 ? order : String("MDY");
  }

  int AmPm() {
    if (Text(fs_.TimeAMString) || Text("AM")) return 0;
    if (Text(fs_.TimePMString) || Text("PM")) return 1;
    const size_t save = pos_;
    if (Text("A")) return 0;
    if (Text("P")) return 1;
    pos_ = save;
    return -1;
  }

  const String& s_;
  const TFormatSettings& fs_;
  size_t pos_ = 0;
};

}  // namespace

bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& fs) {
  Scanner sc(s, fs);
  TDateTime d;
  if (!sc.Date(d) || !sc.AtEnd()) return false;
  value = d;
  return true;
}
bool TryStrToDate(const String& s, TDateTime& value) { return TryStrToDate(s, value, FormatSettings); }

bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& fs) {
  Scanner sc(s, fs);
  TDateTime t;
  if (!sc.Time(t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}
bool TryStrToTime(const String& s, TDateTime& value) { return TryStrToTime(s, value, FormatSettings); }

bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& fs) {
  Scanner sc(s, fs);
  TDateTime d = 0;
  if (sc.Date(d)) {
    if (sc.AtEnd()) {
      value = d;
      return true;
    }
    TDateTime t;
    if (!sc.Time(t) || !sc.AtEnd()) return false;
    value = d >= 0 ? d + t : d - t;
    return true;
  }
  sc.SetPos(0);
  TDateTime t;
  if (!sc.Time(t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}
bool TryStrToDateTime(const String& s, TDateTime& value) { return TryStrToDateTime(s, value, FormatSettings); }

TDateTime StrToDate(const String& s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToDate(s, v, fs)) throw EConvertError(Format(rtlconsts::SInvalidDate, s));
  return v;
}
TDateTime StrToDate(const String& s) { return StrToDate(s, FormatSettings); }
TDateTime StrToDateDef(const String& s, TDateTime def) {
  TDateTime v;
  return TryStrToDate(s, v) ? v : def;
}

TDateTime StrToTime(const String& s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToTime(s, v, fs)) throw EConvertError(Format(rtlconsts::SInvalidTime, s));
  return v;
}
TDateTime StrToTime(const String& s) { return StrToTime(s, FormatSettings); }
TDateTime StrToTimeDef(const String& s, TDateTime def) {
  TDateTime v;
  return TryStrToTime(s, v) ? v : def;
}

TDateTime StrToDateTime(const String& s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToDateTime(s, v, fs)) throw EConvertError(Format(rtlconsts::SInvalidDateTime, s));
  return v;
}
TDateTime StrToDateTime(const String& s) { return StrToDateTime(s, FormatSettings); }
TDateTime StrToDateTimeDef(const String& s, TDateTime def) {
  TDateTime v;
  return TryStrToDateTime(s, v) ? v : def;
}
