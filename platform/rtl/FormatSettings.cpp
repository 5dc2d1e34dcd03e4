#include "platform/rtl/FormatSettings.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cstring>

#include "platform/rtl/CodePages.h"
#include "platform/rtl/RtlInternal.h"

namespace {

// Text from the locale in UTF-8, whatever the locale's own character set.
String LocaleText(nl_item item, locale_t loc, const char* codeset) {
  const char* raw = nl_langinfo_l(item, loc);
  String s = raw ? raw : "";
  if (s.empty() || IsValidUtf8(s) || codeset == nullptr || *codeset == '\0') return s;
  iconv_t cd = iconv_open("UTF-8", codeset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return String();
  String out(s.size() * 4 + 4, '\0');
  char* in = s.data();
  size_t inLeft = s.size();
  char* o = out.data();
  size_t outLeft = out.size();
  const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return String();
  out.resize(out.size() - outLeft);
  return out;
}

int LocaleByte(nl_item item, locale_t loc) {
  const char* raw = nl_langinfo_l(item, loc);
  return raw ? static_cast<signed char>(raw[0]) : -1;
}

// A separator the settings can hold in one byte: ASCII as it is, a no-break or other wide space
// as a blank; anything else is not usable.
int SeparatorByte(const String& s) {
  if (s.size() == 1 && static_cast<unsigned char>(s[0]) < 0x80) return s[0];
  if (s == "\xC2\xA0" || s == "\xE2\x80\xAF" || s == "\xE2\x80\x89") return ' ';
  return -1;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Translates a C library date/time picture ("%d.%m.%Y") into FormatDateTime's syntax ("dd/mm/yyyy"
// with the separators as '/' and ':'), noting the separators on the way.
struct Translation {
  String picture;
  char dateSep = 0;
  char timeSep = 0;
  bool twelveHour = false;
};

void Translate(const String& in, Translation& t, int depth = 0) {
  String literal;
  auto flushLiteral = [&]() {
    if (literal.empty()) return;
    bool letters = false;
    for (char c : literal) letters |= IsAsciiLetter(c);
    if (letters) {
      t.picture += '"' + literal + '"';
    } else {
      t.picture += literal;
    }
    literal.clear();
  };
  // The character between two date fields is the date separator; between time fields the time one.
  char lastKind = 0;  // 'd' after a date field, 't' after a time field
  auto field = [&](const char* text, char kind) {
    if (!literal.empty() && lastKind == kind && literal.size() == 1 && !IsAsciiLetter(literal[0]) &&
        literal[0] != ' ') {
      char& sep = kind == 'd' ? t.dateSep : t.timeSep;
      if (sep == 0) sep = literal[0];
      if (literal[0] == sep) literal = kind == 'd' ? "/" : ":";
      t.picture += literal;
      literal.clear();
    }
    flushLiteral();
    t.picture += text;
    lastKind = kind;
  };
  for (size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    if (c != '%' || i + 1 >= in.size()) {
      literal += c;
      continue;
    }
    char f = in[++i];
    while ((f == 'E' || f == 'O' || f == '-' || f == '_' || f == '0' || f == '^' || f == '#') && i + 1 < in.size()) {
      f = in[++i];
    }
    switch (f) {
      case 'd': field("dd", 'd'); break;
      case 'e': field("d", 'd'); break;
      case 'm': field("mm", 'd'); break;
      case 'y': field("yy", 'd'); break;
      case 'Y': case 'G': field("yyyy", 'd'); break;
      case 'b': case 'h': field("mmm", 'd'); break;
      case 'B': field("mmmm", 'd'); break;
      case 'a': field("ddd", 'd'); break;
      case 'A': field("dddd", 'd'); break;
      case 'H': field("hh", 't'); break;
      case 'k': field("h", 't'); break;
      case 'I': field("hh", 't'); t.twelveHour = true; break;
      case 'l': field("h", 't'); t.twelveHour = true; break;
      case 'M': field("nn", 't'); break;
      case 'S': field("ss", 't'); break;
      case 'p': case 'P': flushLiteral(); t.picture += "ampm"; lastKind = 0; break;
      case 'n': case 't': literal += ' '; break;
      case '%': literal += '%'; break;
      case 'D': if (depth < 2) { flushLiteral(); Translate("%m/%d/%y", t, depth + 1); lastKind = 'd'; } break;
      case 'F': if (depth < 2) { flushLiteral(); Translate("%Y-%m-%d", t, depth + 1); lastKind = 'd'; } break;
      case 'T': if (depth < 2) { flushLiteral(); Translate("%H:%M:%S", t, depth + 1); lastKind = 't'; } break;
      case 'R': if (depth < 2) { flushLiteral(); Translate("%H:%M", t, depth + 1); lastKind = 't'; } break;
      case 'r': if (depth < 2) { flushLiteral(); Translate("%I:%M:%S %p", t, depth + 1); lastKind = 0; } break;
      default: break;  // zones, week numbers and the like have no counterpart
    }
  }
  flushLiteral();
}

String Strip(String s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

// Order of day, month and year in a date picture: "DMY", "MDY" or "YMD".
String DateOrder(const String& picture) {
  String order;
  bool quoted = false;
  for (char c : picture) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    const char u = static_cast<char>(c & ~0x20);
    if ((u == 'D' || u == 'M' || u == 'Y') && order.find(u) == String::npos) order += u;
  }
  return order.size() == 3 ? order : String("MDY");
}

Byte NegativeCurrencyFormat(bool precedes, bool space, int signPosn) {
  static const Byte table[2][2][5] = {
      // not preceding: no space, space
      {{4, 5, 7, 6, 7}, {15, 8, 10, 13, 10}},
      // preceding: no space, space
      {{0, 1, 3, 1, 2}, {14, 9, 11, 9, 12}},
  };
  if (signPosn < 0 || signPosn > 4) signPosn = 1;
  return table[precedes ? 1 : 0][space ? 1 : 0][signPosn];
}

}  // namespace

// Initialised ahead of ordinary static objects, so start-up code elsewhere may already format text.
__attribute__((init_priority(200))) TFormatSettings FormatSettings = LocaleFormatSettings();

TFormatSettings InvariantFormatSettings() {
  TFormatSettings fs;
  fs.CurrencyString = "$";
  fs.CurrencyFormat = 0;
  fs.NegCurrFormat = 0;
  fs.CurrencyDecimals = 2;
  fs.ThousandSeparator = ',';
  fs.DecimalSeparator = '.';
  fs.DateSeparator = '-';
  fs.TimeSeparator = ':';
  fs.ListSeparator = ',';
  fs.ShortDateFormat = "yyyy/mm/dd";
  fs.LongDateFormat = "dddd, mmmm d, yyyy";
  fs.ShortTimeFormat = "hh:nn";
  fs.LongTimeFormat = "hh:nn:ss";
  fs.TimeAMString = "AM";
  fs.TimePMString = "PM";
  fs.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  fs.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                       "July",    "August",   "September", "October", "November", "December"};
  fs.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  fs.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  fs.TwoDigitYearCenturyWindow = 50;
  fs.FirstDayOfWeek = 6;
  return fs;
}

TFormatSettings LocaleFormatSettings(const char* localeName) {
  TFormatSettings fs = InvariantFormatSettings();
  // Category by category, so that one category naming a locale that is not installed leaves the
  // others as the user set them (the missing one reads as "C").
  locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return fs;
  const char* name = localeName ? localeName : "";
  for (int mask : {LC_CTYPE_MASK, LC_NUMERIC_MASK, LC_TIME_MASK, LC_MONETARY_MASK}) {
    locale_t next = newlocale(mask, name, loc);
    if (next != static_cast<locale_t>(0)) loc = next;  // on failure loc is left as it was
  }
  const String codeset = LocaleText(CODESET, loc, nullptr);

  const int dec = SeparatorByte(LocaleText(RADIXCHAR, loc, codeset.c_str()));
  if (dec > 0 && dec != ' ') fs.DecimalSeparator = static_cast<char>(dec);
  const int thou = SeparatorByte(LocaleText(THOUSEP, loc, codeset.c_str()));
  if (thou > 0 && thou != fs.DecimalSeparator) {
    fs.ThousandSeparator = static_cast<char>(thou);
  } else {
    fs.ThousandSeparator = fs.DecimalSeparator == ',' ? '.' : ',';
  }
  fs.ListSeparator = fs.DecimalSeparator == ',' ? ';' : ',';

  Translation date;
  Translate(LocaleText(D_FMT, loc, codeset.c_str()), date);
  if (!date.picture.empty()) {
    fs.ShortDateFormat = date.picture;
    if (date.dateSep != 0) fs.DateSeparator = date.dateSep;
  }
  const String order = DateOrder(fs.ShortDateFormat);
  if (order == "DMY") {
    fs.LongDateFormat = "dddd, d mmmm yyyy";
  } else if (order == "YMD") {
    fs.LongDateFormat = "yyyy mmmm d, dddd";
  } else {
    fs.LongDateFormat = "dddd, mmmm d, yyyy";
  }

  Translation time;
  Translate(LocaleText(T_FMT, loc, codeset.c_str()), time);
  if (!time.picture.empty()) {
    fs.LongTimeFormat = Strip(time.picture);
    if (time.timeSep != 0) fs.TimeSeparator = time.timeSep;
    String shortTime = fs.LongTimeFormat;
    const size_t ss = shortTime.find(":ss");
    if (ss != String::npos) shortTime.erase(ss, 3);
    fs.ShortTimeFormat = shortTime;
  }
  const String am = LocaleText(AM_STR, loc, codeset.c_str());
  const String pm = LocaleText(PM_STR, loc, codeset.c_str());
  if (!am.empty() && !pm.empty()) {
    fs.TimeAMString = am;
    fs.TimePMString = pm;
  }

  for (int m = 0; m < 12; ++m) {
    const String shortName = LocaleText(static_cast<nl_item>(ABMON_1 + m), loc, codeset.c_str());
    const String longName = LocaleText(static_cast<nl_item>(MON_1 + m), loc, codeset.c_str());
    if (!shortName.empty()) fs.ShortMonthNames[static_cast<size_t>(m)] = shortName;
    if (!longName.empty()) fs.LongMonthNames[static_cast<size_t>(m)] = longName;
  }
  for (int d = 0; d < 7; ++d) {
    const String shortName = LocaleText(static_cast<nl_item>(ABDAY_1 + d), loc, codeset.c_str());
    const String longName = LocaleText(static_cast<nl_item>(DAY_1 + d), loc, codeset.c_str());
    if (!shortName.empty()) fs.ShortDayNames[static_cast<size_t>(d)] = shortName;
    if (!longName.empty()) fs.LongDayNames[static_cast<size_t>(d)] = longName;
  }

  const String currency = LocaleText(CURRENCY_SYMBOL, loc, codeset.c_str());
  if (!currency.empty()) {
    fs.CurrencyString = currency;
    const int precedes = LocaleByte(P_CS_PRECEDES, loc);
    const int space = LocaleByte(P_SEP_BY_SPACE, loc);
    if (precedes >= 0 && space >= 0) {
      fs.CurrencyFormat = static_cast<Byte>((precedes ? 0 : 1) + (space ? 2 : 0));
    }
    const int nPrecedes = LocaleByte(N_CS_PRECEDES, loc);
    const int nSpace = LocaleByte(N_SEP_BY_SPACE, loc);
    const int nSign = LocaleByte(N_SIGN_POSN, loc);
    if (nPrecedes >= 0 && nSpace >= 0) fs.NegCurrFormat = NegativeCurrencyFormat(nPrecedes != 0, nSpace != 0, nSign);
    const int frac = LocaleByte(FRAC_DIGITS, loc);
    if (frac >= 0 && frac <= 9) fs.CurrencyDecimals = static_cast<Byte>(frac);
  }

  // First weekday counts from the locale's week start (1 = that day), which is a Sunday in glibc's
  // locales; the settings number Monday 0 ... Sunday 6.
  const char* first = nl_langinfo_l(_NL_TIME_FIRST_WEEKDAY, loc);
  if (first != nullptr && first[0] >= 1 && first[0] <= 7) {
    fs.FirstDayOfWeek = static_cast<Byte>((first[0] + 5) % 7);
  }
  freelocale(loc);
  return fs;
}

namespace k58::rtl {
String TranslateLocalePicture(const String& cPicture, char& dateSep, char& timeSep) {
  Translation t;
  Translate(cPicture, t);
  dateSep = t.dateSep;
  timeSep = t.timeSep;
  return t.picture;
}
}  // namespace k58::rtl

void GetFormatSettings() { FormatSettings = LocaleFormatSettings(); }

TFormatSettingsGuard::TFormatSettingsGuard() : saved_(FormatSettings) {}

TFormatSettingsGuard::TFormatSettingsGuard(const TFormatSettings& pinned) : saved_(FormatSettings) {
  FormatSettings = pinned;
}

TFormatSettingsGuard::~TFormatSettingsGuard() { FormatSettings = saved_; }
