// Calendar routines, smart date text, the locale's date text and the currency display format.
#include "controls/foundation/uiDateUtils.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "controls/foundation/uiClasses.h"
#include "controls/foundation/uiFormats.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"

TuiSmartDateTextHook SmartDateTextHook = nullptr;

namespace {

const char* const kSmartDateWords[SmartDateWordCount] = {
    uidateutilsconsts::SSmartDateToday,     uidateutilsconsts::SSmartDateYesterday,
    uidateutilsconsts::SSmartDateTomorrow,  uidateutilsconsts::SSmartDateSunday,
    uidateutilsconsts::SSmartDateMonday,    uidateutilsconsts::SSmartDateTuesday,
    uidateutilsconsts::SSmartDateWednesday, uidateutilsconsts::SSmartDateThursday,
    uidateutilsconsts::SSmartDateFriday,    uidateutilsconsts::SSmartDateSaturday,
    uidateutilsconsts::SSmartDateFirst,     uidateutilsconsts::SSmartDateSecond,
    uidateutilsconsts::SSmartDateThird,     uidateutilsconsts::SSmartDateFourth,
    uidateutilsconsts::SSmartDateFifth,     uidateutilsconsts::SSmartDateSixth,
    uidateutilsconsts::SSmartDateSeventh,   uidateutilsconsts::SSmartDateBOM,
    uidateutilsconsts::SSmartDateEOM,       uidateutilsconsts::SSmartDateNow};

// The locale parser reads day, month and year joined by the date separator: blanks between the leading
// numbers of the text (up to three, and not an hour followed by the time separator) join them as well.
String JoinDateFields(const String& S) {
  auto isDigit = [&](size_t i) { return i < S.size() && S[i] >= '0' && S[i] <= '9'; };
  auto digitsEnd = [&](size_t i) {
    while (isDigit(i)) ++i;
    return i;
  };
  if (!isDigit(0)) return S;
  size_t end = digitsEnd(0);
  String out = S.substr(0, end);
  for (Integer groups = 1; groups < 3; ++groups) {
    size_t next = end;
    while (next < S.size() && S[next] == ' ') ++next;
    if (next == end || !isDigit(next)) break;
    const size_t after = digitsEnd(next);
    if (after < S.size() && S[after] == FormatSettings.TimeSeparator) break;
    out += FormatSettings.DateSeparator;
    out += S.substr(next, after - next);
    end = after;
  }
  return out + S.substr(end);
}

// The variant conversion of text to a date, after the separators were made blanks.
TDateTime LocaleTextToDate(const String& S) { return VarAsType(Variant(JoinDateFields(Trim(S))), varDate).AsDateTime(); }

// Day numbers of 0001-01-01 and 9999-12-31.
constexpr TDateTime kFirstDay = -693593;
constexpr TDateTime kLastDay = 2958465;

// A date of the integer day range from 0001-01-01 to 9999-12-31.
bool IsValidDate(TDateTime ADate) {
  if (!(ADate > -2147483648.0 && ADate < 2147483647.0)) return false;
  const TDateTime day = std::trunc(ADate);
  return day >= kFirstDay && day <= kLastDay;
}

}  // namespace

String SmartDateWord(Integer AIndex) {
  if (AIndex < 0 || AIndex >= SmartDateWordCount) return String();
  return LocalizeText(kSmartDateWords[AIndex]);
}

TDateTime GetDatePart(TDateTime ADate) { return std::trunc(ADate); }
TDateTime GetTimePart(TDateTime ADate) { return TimeOf(ADate); }

void StepMonthBack(Word& AYear, Word& AMonth) {
  if (AMonth <= 1) {
    AMonth = 12;
    --AYear;
  } else {
    --AMonth;
  }
}

void StepMonthForward(Word& AYear, Word& AMonth) {
  if (AMonth >= 12) {
    AMonth = 1;
    ++AYear;
  } else {
    ++AMonth;
  }
}

void ShiftMonth(SmallInt& AYear, Word& AMonth, Integer ADelta) {
  Integer year = AYear + ADelta / 12;
  Integer month = AMonth + ADelta % 12;
  if (month <= 0) {
    --year;
    month += 12;
  } else if (month > 12) {
    ++year;
    month -= 12;
  }
  AYear = static_cast<SmallInt>(year);
  AMonth = static_cast<Word>(month);
}

Word GetDatePartValue(Integer AKind, TDateTime ADate) {
  Word year, month, day;
  DecodeDate(ADate, year, month, day);
  switch (AKind) {
    case 0:
      return year;
    case 1:
      return month;
    default:
      return day;
  }
}

bool YearIsLeap(Integer AYear) { return AYear % 4 == 0 && (AYear % 100 != 0 || AYear % 400 == 0); }

Word GetDaysInMonth(Integer AYear, Integer AMonth) {
  if (AMonth < 1 || AMonth > 12) return 0;
  return MonthDays[YearIsLeap(AYear) ? 1 : 0][AMonth - 1];
}

Integer ClampDay(Integer AYear, Integer AMonth, Integer ADay) {
  return std::max<Integer>(1, std::min<Integer>(ADay, GetDaysInMonth(AYear, AMonth)));
}

TDateTime GetMinimumDate() { return EncodeDate(100, 1, 1); }

Integer GetLocaleFirstWeekDay() {
  const Integer first = StrToIntDef(GetThreadLocaleInfoText(LOCALE_IFIRSTDAYOFWEEK), 0);
  return ((first + 1) % 7 + 7) % 7;
}

TDateTime GetStartOfWeek(TDateTime ADate) {
  const Integer first = GetLocaleFirstWeekDay();
  const Integer weekday = DayOfWeek(ADate) - 1;
  const Integer back = weekday >= first ? weekday - first : weekday - first + 7;
  return GetDatePart(ADate) - back;
}

bool IsTextMatch(const String& S, const String& AText, bool APartial) {
  const String s = AnsiUpperCase(S);
  const String text = AnsiUpperCase(AText);
  if (text.empty() || !APartial) return s == text;
  return s.size() >= text.size() && s.compare(0, text.size(), text) == 0;
}

String BuildCurrencyDisplayFormat() {
  const String number = k58::foundation::CurrencyNumberFormat();
  const String symbol = k58::foundation::CurrencySymbolFormat();
  if (symbol.empty()) return number;
  switch (FormatSettings.CurrencyFormat) {
    case 0:
      return symbol + number;
    case 1:
      return number + symbol;
    case 2:
      return symbol + " " + number;
    case 3:
      return number + " " + symbol;
    default:
      return number;
  }
}

String GetThreadLocaleInfoText(LCTYPE ALCType) {
  const int size = GetLocaleInfoA(GetThreadLocale(), ALCType, nullptr, 0);
  if (size <= 0) return String();
  String text(static_cast<size_t>(size), '\0');
  if (GetLocaleInfoA(GetThreadLocale(), ALCType, text.data(), size) <= 0) return String();
  text.resize(static_cast<size_t>(size - 1));
  return text;
}

void NormaliseDateSeparators(String& S) {
  const String locale = GetThreadLocaleInfoText(LOCALE_SDATE);
  if (locale.empty()) return;
  const String separator = locale.substr(0, static_cast<size_t>(StrCharLength(locale.data(), locale.data() + locale.size())));
  S = StringReplace(S, separator, " ", rfReplaceAll);
}

void AddSmartDateAlternatives(String& AMask, bool AWithNow) {
  using k58::foundation::QuoteMaskText;
  String words = QuoteMaskText(SmartDateWord(0));
  for (Integer i = 1; i <= 18; ++i) words += "|" + QuoteMaskText(SmartDateWord(i));
  if (AWithNow) words += "|" + QuoteMaskText(SmartDateWord(19));
  AMask = "(" + AMask + ")|(" + words + ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
}

bool FindSmartDateWord(const String& AText, Integer& AIndex) {
  std::array<String, SmartDateWordCount> words;
  std::array<Integer, SmartDateWordCount> lengths;
  std::array<Integer, SmartDateWordCount> order;
  for (Integer i = 0; i < SmartDateWordCount; ++i) {
    words[i] = SmartDateWord(i);
    lengths[i] = Utf8Length(words[i]);
    order[i] = i;
  }
  std::stable_sort(order.begin(), order.end(), [&](Integer a, Integer b) {
    if (lengths[a] != lengths[b]) return lengths[a] > lengths[b];
    return AnsiCompareText(words[a], words[b]) > 0;
  });
  for (const Integer i : order) {
    if (lengths[i] == 0) continue;
    if (AnsiSameText(Utf8Copy(AText, 1, lengths[i]), words[i])) {
      AIndex = i;
      return true;
    }
  }
  return false;
}

bool ParseSmartDateText(const String& AText, TDateTime& ADate) {
  Integer index = 0;
  if (!FindSmartDateWord(AText, index)) return SmartDateTextHook != nullptr && SmartDateTextHook(AText, ADate);
  const TDateTime today = Date();
  const Integer weekday = DayOfWeek(today);  // 1 = Sunday
  Word year, month, day;
  DecodeDate(today, year, month, day);
  switch (index) {
    case 0:
      ADate = today;
      break;
    case 1:
      ADate = today - 1;
      break;
    case 2:
      ADate = today + 1;
      break;
    case 17:
      ADate = EncodeDate(year, month, 1);
      break;
    case 18:
      ADate = EncodeDate(year, month, DaysInAMonth(year, month));
      break;
    case 19:
      ADate = Now();
      break;
    default:
      if (index <= 9) {
        Integer ahead = (index - 2) - weekday;
        if (ahead < 0) ahead += 7;
        ADate = today + ahead;
      } else {
        ADate = today - (weekday - (index - 9));
      }
      break;
  }
  const String rest = Trim(Utf8Copy(AText, Utf8Length(SmartDateWord(index)) + 1, INT_MAX));
  if (Utf8Length(rest) > 1 && (rest[0] == '+' || rest[0] == '-')) {
    Integer days = 0;
    if (TryStrToInt(Trim(rest.substr(1)), days)) ADate += rest[0] == '+' ? days : -static_cast<TDateTime>(days);
  }
  return true;
}

bool TryTextToDate(const String& AText, TDateTime& ADate) {
  const String text = Trim(AText);
  if (text.empty()) return false;
  try {
    TDateTime date = 0;
    // Smart words go first, so that an offset such as "today-1" keeps its sign whatever the locale's
    // date separator is.
    if (!ParseSmartDateText(text, date)) {
      String normalised = text;
      if (!GetFormatController()->UsePlainDateFormats()) NormaliseDateSeparators(normalised);
      date = LocaleTextToDate(normalised);
    }
    if (IsValidDate(date)) {
      ADate = date;
      return true;
    }
  } catch (const Exception&) {
    // a text that is no date
  }
  ADate = NullDate;
  return false;
}

bool TryTextToDateTime(const String& AText, bool AUseVariant, TDateTime& ADate) {
  ADate = NullDate;
  try {
    if (AUseVariant) {
      String text = AText;
      NormaliseDateSeparators(text);
      ADate = LocaleTextToDate(text);
    } else {
      ADate = StrToDateTime(AText);
    }
    return true;
  } catch (const Exception&) {
    ADate = NullDate;  // a text that is no date and time
    return false;
  }
}

String DateTimeToDisplayText(bool AUseFormat, bool AWithTime, bool AFourDigitYear, TDateTime ADate) {
  if (ADate == NullDate) return String();
  if (!AUseFormat) return DateTimeToLocaleText(AFourDigitYear, ADate);
  TuiFormatController* controller = GetFormatController();
  if (AWithTime) return FormatDateTime(controller->MaskedDateTimeFormat(), ADate);
  return FormatDateTime(controller->MaskedDateFormat(), GetDatePart(ADate));
}

String DateTimeToLocaleText(bool AFourDigitYear, TDateTime ADate) {
  if (ADate == NullDate) return String();
  String format = GetThreadLocaleInfoText(LOCALE_SSHORTDATE);
  if (AFourDigitYear) {
    const String lower = LowerCase(format);
    const size_t at = lower.find("yy");
    if (at != String::npos && lower.find("yyy") == String::npos) format.insert(at + 2, 2, format[at]);
  }
  SYSTEMTIME time;
  DecodeDateTime(ADate, time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
                 time.wMilliseconds);
  char buffer[100];
  if (GetDateFormatA(GetThreadLocale(), 0, &time, format.c_str(), buffer, sizeof buffer) <= 0) {
    try {
      return VarToStr(Variant::FromDateTime(ADate));
    } catch (const EVariantError&) {
      return String();  // no text for a date the variant rules cannot show
    }
  }
  String text = buffer;
  if (ADate - std::trunc(ADate) != 0 &&
      GetTimeFormatA(GetThreadLocale(), 0, &time, nullptr, buffer, sizeof buffer) > 0) {
    text += " ";
    text += buffer;
  }
  return text;
}

namespace k58::foundation {

String CurrencyNumberFormat() { return ",0." + String(FormatSettings.CurrencyDecimals, '0'); }

String CurrencySymbolFormat() {
  String symbol;
  for (const char c : FormatSettings.CurrencyString) {
    if (c == ',' || c == '.') {
      symbol += '\'';
      symbol += c;
      symbol += '\'';
    } else {
      symbol += c;
    }
  }
  return symbol;
}

String QuoteMaskText(const String& AText) {
  String quoted;
  size_t i = 0;
  while (i < AText.size()) {
    if (AText[i] == '\'') {
      quoted += "\\'";
      ++i;
      continue;
    }
    const size_t end = std::min(AText.find('\'', i), AText.size());
    quoted += "'" + AText.substr(i, end - i) + "'";
    i = end;
  }
  return quoted;
}

}  // namespace k58::foundation
