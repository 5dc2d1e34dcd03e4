// The format controller: format analysis, masks, display formats, the currency format and the listeners'
// hidden window.
#include "controls/foundation/uiFormats.h"

#include <algorithm>
#include <cstring>

#include "controls/foundation/uiDateUtils.h"
#include "platform/win/core/UtilWindow.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/SysUtils.h"

namespace {

TuiFormatController* formatController = nullptr;

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

void AddItem(TuiDateTimeFormatInfo& AInfo, Byte AKind, const String& AText) {
  if (AKind != dfkLiteral && AKind != dfkDateSeparator && AKind != dfkTimeSeparator) {
    if (AInfo.SeenKinds[AKind]) return;  // each field once; repetitions are dropped
  }
  AInfo.SeenKinds[AKind] = true;
  AInfo.Items.push_back({AKind, AText});
}

void AddLiteral(TuiDateTimeFormatInfo& AInfo, const String& AText) {
  if (AInfo.Items.empty() || AInfo.Items.back().Kind != dfkLiteral) AddItem(AInfo, dfkLiteral, String());
  AInfo.Items.back().Text += AText;
}

// Whether S holds AWord at APos, ignoring case.
bool HasWordAt(const String& S, size_t APos, const char* AWord) {
  const size_t n = std::strlen(AWord);
  return APos + n <= S.size() && CompareText(S.substr(APos, n), AWord) == 0;
}

bool IsAP(const String& AText) { return SameText(AText, "A/P"); }
bool IsAMPM(const String& AText) { return SameText(AText, "AM/PM"); }

Integer LongerMarkerLength() {
  return std::max(Utf8Length(FormatSettings.TimeAMString), Utf8Length(FormatSettings.TimePMString));
}

// The standard mask language: "!" and the fields, then the mask's settings (literals kept, blank as the
// blank character).
String StandardMask(const TuiDateTimeFormatInfo& AInfo) {
  if (AInfo.Items.empty()) return String();
  String mask = "!";
  for (const TuiDateTimeFormatItem& item : AInfo.Items) {
    switch (item.Kind) {
      case dfkLiteral:
        for (size_t i = 0; i < item.Text.size();) {
          const size_t n = static_cast<size_t>(StrCharLength(item.Text.data() + i, item.Text.data() + item.Text.size()));
          mask += "\\" + item.Text.substr(i, n);
          i += n;
        }
        break;
      case dfkYear:
        mask += item.Text == "YY" ? "99" : "9999";
        break;
      case dfkMonth:
      case dfkDay:
        mask += item.Text.size() > 2 ? "lll" : "99";
        break;
      case dfkHour:
      case dfkMinute:
      case dfkSecond:
        mask += "99";
        break;
      case dfkAMPM:
        mask += IsAP(item.Text) ? "c" : IsAMPM(item.Text) ? "cc" : String(static_cast<size_t>(LongerMarkerLength()), 'c');
        break;
      case dfkDateSeparator:
        mask += "/";
        break;
      case dfkTimeSeparator:
        mask += ":";
        break;
      default:
        break;
    }
  }
  return mask + ";1; ";
}

String SeparatorPattern(char ASeparator) {
  if (ASeparator == '\0') return String();
  if (ASeparator == ' ') return "' '";
  return String("\\") + ASeparator;
}

// The regular-expression mask of the date fields (ADatePart) or the time fields of an info; literals go
// into both.
String RegExprMask(const TuiDateTimeFormatInfo& AInfo, bool ADatePart) {
  using k58::foundation::QuoteMaskText;
  const TFormatSettings& fs = FormatSettings;
  String mask;
  for (const TuiDateTimeFormatItem& item : AInfo.Items) {
    if (item.Kind == dfkLiteral) {
      mask += QuoteMaskText(item.Text);
      continue;
    }
    if (ADatePart) {
      switch (item.Kind) {
        case dfkYear:
          mask += item.Text == "YY" ? "\\d\\d" : "\\d\\d\\d\\d";
          break;
        case dfkMonth: {
          const auto& names = item.Text.size() == 4 ? fs.LongMonthNames : fs.ShortMonthNames;
          String alternatives;
          for (size_t m = 0; m < names.size(); ++m) alternatives += (m > 0 ? "|" : "") + QuoteMaskText(names[m]);
          mask += "((0?[1-9]|1[012])|(" + alternatives + "))";
          break;
        }
        case dfkDay:
          mask += "([012]?[1-9]|[123]0|31)";
          break;
        case dfkDateSeparator:
          mask += SeparatorPattern(fs.DateSeparator);
          break;
        default:
          break;
      }
      continue;
    }
    switch (item.Kind) {
      case dfkHour:
        mask += item.Text.compare(0, 2, "12") == 0 ? "(0?[1-9]|1[012])" : "([01]?\\d|2[0-3])";
        break;
      case dfkMinute:
      case dfkSecond:
        mask += "[0-5]?\\d";
        break;
      case dfkAMPM:
        if (IsAP(item.Text)) {
          mask += "(A|P)?";
        } else if (IsAMPM(item.Text)) {
          mask += "(AM|PM)?";
        } else if (!fs.TimeAMString.empty() && !fs.TimePMString.empty()) {
          mask += "(" + QuoteMaskText(fs.TimeAMString) + "|" + QuoteMaskText(fs.TimePMString) + ")?";
        } else if (!fs.TimeAMString.empty() || !fs.TimePMString.empty()) {
          mask += "(" + QuoteMaskText(fs.TimeAMString + fs.TimePMString) + ")?";
        }
        break;
      case dfkTimeSeparator:
        mask += SeparatorPattern(fs.TimeSeparator);
        break;
      default:
        break;
    }
  }
  return mask;
}

// The display format (run-time library pictures) of masked date editing.
String MaskedDisplayFormat(const TuiDateTimeFormatInfo& AInfo) {
  String format;
  for (const TuiDateTimeFormatItem& item : AInfo.Items) {
    switch (item.Kind) {
      case dfkLiteral: {
        const char quote = item.Text.find('\'') == String::npos ? '\'' : '"';
        format += quote + item.Text + quote;
        break;
      }
      case dfkYear:
      case dfkAMPM:
        format += LowerCase(item.Text);
        break;
      case dfkMonth:
        format += item.Text.size() > 2 ? "mmm" : "mm";
        break;
      case dfkDay:
        format += item.Text.size() > 2 ? "ddd" : "dd";
        break;
      case dfkHour:
        format += "hh";
        break;
      case dfkMinute:
        format += "nn";
        break;
      case dfkSecond:
        format += "ss";
        break;
      case dfkDateSeparator:
        format += "/";
        break;
      case dfkTimeSeparator:
        format += ":";
        break;
      default:
        break;
    }
  }
  return format;
}

// The short date format with every lone "d" and lone "M" doubled.
String PadDateFormat(const String& AFormat) {
  String padded;
  for (size_t i = 0; i < AFormat.size(); ++i) {
    const char c = AFormat[i];
    padded += c;
    if (c != 'd' && c != 'M') continue;
    const bool before = i > 0 && AFormat[i - 1] == c;
    const bool after = i + 1 < AFormat.size() && AFormat[i + 1] == c;
    if (!before && !after) padded += c;
  }
  return padded;
}

// The negative section by the locale's negative currency pattern (0..15).
String NegativeCurrencySection(const String& AMoney, const String& ANumber) {
  const String& s = AMoney;
  const String& n = ANumber;
  switch (FormatSettings.NegCurrFormat) {
    case 0: return "(" + s + n + ")";
    case 1: return "-" + s + n;
    case 2: return s + "-" + n;
    case 3: return s + n + "-";
    case 4: return "(" + n + s + ")";
    case 5: return "-" + n + s;
    case 6: return n + "-" + s;
    case 7: return n + s + "-";
    case 8: return "-" + n + " " + s;
    case 9: return "-" + s + " " + n;
    case 10: return n + " " + s + "-";
    case 11: return s + " " + n + "-";
    case 12: return s + " " + "-" + n;
    case 13: return n + "-" + " " + s;
    case 14: return "(" + s + " " + n + ")";
    case 15: return "(" + n + " " + s + ")";
    default: return "-" + s + n;
  }
}

}  // namespace

K58_IMPLEMENT_CLASS(TuiFormatController) {}

TuiFormatController::TuiFormatController() { Refresh(); }

TuiFormatController::~TuiFormatController() {
  DeallocateHWnd(window_);
  if (formatController == this) formatController = nullptr;
}

void TuiFormatController::HandleMessage(TMessage& AMessage) {
  if (AMessage.Msg == WM_SETTINGCHANGE && AMessage.WParam == 0 && AMessage.LParam != 0 &&
      std::strcmp(reinterpret_cast<const char*>(AMessage.LParam), "intl") == 0 &&
      (Application == nullptr || Application->UpdateFormatSettings())) {
    GetFormatSettings();
    Refresh();
    NotifyFormatChanged();
    AMessage.Result = 0;
    return;
  }
  if (AMessage.Msg == WM_TIMECHANGE) {
    NotifyTimeChanged();
    AMessage.Result = 0;
    return;
  }
  AMessage.Result = DefWindowProc(window_, AMessage.Msg, AMessage.WParam, AMessage.LParam);
}

void TuiFormatController::AddListener(IuiFormatControllerListener* AListener) {
  if (AListener == nullptr || std::find(listeners_.begin(), listeners_.end(), AListener) != listeners_.end()) return;
  if (listeners_.empty() && window_ == nullptr) {
    window_ = AllocateHWnd([this](HWND, UINT Msg, WPARAM WParam, LPARAM LParam) {
      TMessage message;
      message.Msg = Msg;
      message.WParam = WParam;
      message.LParam = LParam;
      try {
        HandleMessage(message);
      } catch (...) {
        HandleUtilWindowException(this);
      }
      return message.Result;
    });
  }
  listeners_.push_back(AListener);
}

void TuiFormatController::RemoveListener(IuiFormatControllerListener* AListener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), AListener), listeners_.end());
  if (listeners_.empty() && window_ != nullptr) {
    DeallocateHWnd(window_);
    window_ = nullptr;
  }
}

void TuiFormatController::Refresh() {
  if (formatController == nullptr) formatController = this;
  const TFormatSettings& fs = FormatSettings;

  const String number = k58::foundation::CurrencyNumberFormat();
  const String money = k58::foundation::CurrencySymbolFormat();
  currencyDisplayFormat_ = BuildCurrencyDisplayFormat() + ";" + NegativeCurrencySection(money, number);

  startOfWeek_ = static_cast<Byte>(GetLocaleFirstWeekDay());

  AnalyseDateTimeFormat(fs.ShortDateFormat, dateFormatInfo_);
  AnalyseDateTimeFormat(fs.LongTimeFormat, timeFormatInfo_);
  AnalyseDateTimeFormat(fs.ShortDateFormat + " " + fs.LongTimeFormat, dateTimeFormatInfo_);

  standardDateMask_ = StandardMask(dateFormatInfo_);
  regExprDateMask_ = RegExprMask(dateFormatInfo_, true);
  AddSmartDateAlternatives(regExprDateMask_, false);
  regExprDateTimeMask_ = RegExprMask(dateFormatInfo_, true) + "' '(" + RegExprMask(timeFormatInfo_, false) + ")?";
  AddSmartDateAlternatives(regExprDateTimeMask_, true);
  standardDateTimeMask_ = StandardMask(dateTimeFormatInfo_);
  maskedDateFormat_ = MaskedDisplayFormat(dateFormatInfo_);
  maskedDateTimeFormat_ = MaskedDisplayFormat(dateTimeFormatInfo_);

  paddedDateFormat_ = PadDateFormat(fs.ShortDateFormat);
}

void TuiFormatController::NotifyFormatChanged() {
  const std::vector<IuiFormatControllerListener*> current = listeners_;
  for (IuiFormatControllerListener* listener : current) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) listener->FormatChanged();
  }
}

void TuiFormatController::NotifyTimeChanged() {
  const std::vector<IuiFormatControllerListener*> current = listeners_;
  for (IuiFormatControllerListener* listener : current) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) continue;
    if (auto* timeListener = dynamic_cast<IuiFormatControllerListener2*>(listener)) timeListener->TimeChanged();
  }
}

void TuiFormatController::SetUsePlainDateFormats(bool Value) {
  if (usePlainDateFormats_ == Value) return;
  usePlainDateFormats_ = Value;
  NotifyFormatChanged();
}

void TuiFormatController::AnalyseDateTimeFormat(const String& AFormat, TuiDateTimeFormatInfo& AInfo) const {
  AInfo = TuiDateTimeFormatInfo();
  bool twelveHour = false;
  if (!ParseFormat(AFormat.empty() ? String("C") : AFormat, 0, AInfo, twelveHour)) {
    AInfo = TuiDateTimeFormatInfo();
    return;
  }
  if (AInfo.SeenKinds[dfkHour]) {
    for (TuiDateTimeFormatItem& item : AInfo.Items) {
      if (item.Kind != dfkHour) continue;
      item.Text = (twelveHour ? "12" : "24") + item.Text;
      break;
    }
    AInfo.TwelveHour = twelveHour;
  } else if (AInfo.SeenKinds[dfkAMPM]) {
    // A marker without an hour means nothing.
    std::erase_if(AInfo.Items, [](const TuiDateTimeFormatItem& item) { return item.Kind == dfkAMPM; });
    AInfo.SeenKinds[dfkAMPM] = false;
  }
}

bool TuiFormatController::ParseFormat(const String& AFormat, Integer ADepth, TuiDateTimeFormatInfo& AInfo,
                                      bool& ATwelveHour) const {
  if (AFormat.empty() || ADepth == 2) return true;
  const TFormatSettings& fs = FormatSettings;
  const String& s = AFormat;
  char previous = ' ';
  bool hourSeen = false;
  bool markerSeen = false;
  size_t i = 0;
  while (i < s.size()) {
    if (static_cast<unsigned char>(s[i]) >= 0x80) {
      // A character of several bytes is literal text (a broken one at the end counts as one).
      const size_t n = static_cast<size_t>(StrCharLength(s.data() + i, s.data() + s.size()));
      AddLiteral(AInfo, s.substr(i, n));
      i += n;
      continue;
    }
    const char original = s[i];
    const size_t at = i++;
    char c = AsciiUpper(original);
    if (IsAsciiLetter(c)) {
      if (c == 'M' && previous == 'H') c = 'N';
      previous = c;
    }
    size_t runEnd = i;
    while (runEnd < s.size() && s[runEnd] == original) ++runEnd;
    const size_t run = runEnd - at;
    switch (c) {
      case '"':
      case '\'': {
        const size_t close = s.find(original, i);
        AddLiteral(AInfo, s.substr(i, (close == String::npos ? s.size() : close) - i));
        i = close == String::npos ? s.size() : close + 1;
        break;
      }
      case '/':
        AddItem(AInfo, dfkDateSeparator, String());
        break;
      case ':':
        AddItem(AInfo, dfkTimeSeparator, String());
        break;
      case 'A':
        if (HasWordAt(s, at, "AM/PM")) {
          AddItem(AInfo, dfkAMPM, s.substr(at, 5));
          i = at + 5;
          markerSeen = true;
        } else if (HasWordAt(s, at, "A/P")) {
          AddItem(AInfo, dfkAMPM, s.substr(at, 3));
          i = at + 3;
          markerSeen = true;
        } else if (HasWordAt(s, at, "AMPM")) {
          AddItem(AInfo, dfkAMPM, "AMPM");
          i = at + 4;
          markerSeen = true;
        } else if (HasWordAt(s, at, "AAAA")) {
          AddItem(AInfo, dfkDay, "DDDD");
          i = at + 4;
        } else if (HasWordAt(s, at, "AAA")) {
          AddItem(AInfo, dfkDay, "DDD");
          i = at + 3;
        } else {
          AddLiteral(AInfo, String(1, original));
        }
        break;
      case 'C':
        i = runEnd;
        if (!ParseFormat(fs.ShortDateFormat, ADepth + 1, AInfo, ATwelveHour)) return false;
        AddLiteral(AInfo, " ");
        if (!ParseFormat(fs.LongTimeFormat, ADepth + 1, AInfo, ATwelveHour)) return false;
        break;
      case 'D':
        i = runEnd;
        if (run <= 4) {
          AddItem(AInfo, dfkDay, String(run, 'D'));
        } else if (!ParseFormat(run == 5 ? fs.ShortDateFormat : fs.LongDateFormat, ADepth + 1, AInfo, ATwelveHour)) {
          return false;
        }
        break;
      case 'E':
      case 'Y':
        i = runEnd;
        AddItem(AInfo, dfkYear, run > 2 ? "YYYY" : "YY");
        break;
      case 'G':
        return false;
      case 'H':
        i = runEnd;
        AddItem(AInfo, dfkHour, String(std::min<size_t>(run, 2), 'H'));
        hourSeen = true;
        break;
      case 'M':
        i = runEnd;
        AddItem(AInfo, dfkMonth, String(std::min<size_t>(run, 4), 'M'));
        break;
      case 'N':
        i = runEnd;
        AddItem(AInfo, dfkMinute, String(std::min<size_t>(run, 2), 'N'));
        break;
      case 'S':
        i = runEnd;
        AddItem(AInfo, dfkSecond, String(std::min<size_t>(run, 2), 'S'));
        break;
      case 'T':
        i = runEnd;
        if (!ParseFormat(run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, ADepth + 1, AInfo, ATwelveHour))
          return false;
        break;
      case 'Z':
        i = runEnd;
        AddItem(AInfo, dfkMilliseconds, String(std::min<size_t>(run, 3), 'Z'));
        break;
      default:
        AddLiteral(AInfo, String(1, original));
        break;
    }
  }
  if (hourSeen) ATwelveHour = markerSeen;
  return true;
}

Integer TuiFormatController::ItemTextLength(const TuiDateTimeFormatItem& AItem) const {
  switch (AItem.Kind) {
    case dfkLiteral:
      return Utf8Length(AItem.Text);
    case dfkYear:
      return AItem.Text == "YY" ? 2 : 4;
    case dfkMonth:
    case dfkDay:
      return AItem.Text.size() > 2 ? 3 : 2;
    case dfkHour:
    case dfkMinute:
    case dfkSecond:
      return 2;
    case dfkAMPM:
      return IsAP(AItem.Text) ? 1 : IsAMPM(AItem.Text) ? 2 : LongerMarkerLength();
    case dfkDateSeparator:
    case dfkTimeSeparator:
      return 1;
    default:
      return 0;
  }
}

bool TuiFormatController::FindDateTimeFormatItem(const TuiDateTimeFormatInfo& AInfo, Integer APos,
                                                 TuiFormatItemSpan& ASpan) const {
  if (APos < 1 || AInfo.Items.empty()) return false;
  Integer start = 1;
  for (const TuiDateTimeFormatItem& item : AInfo.Items) {
    const Integer length = ItemTextLength(item);
    if (APos < start + length) {
      ASpan.Kind = item.Kind;
      ASpan.Start = start;
      ASpan.Length = length;
      if (item.Kind == dfkAMPM) ASpan.AMPMStyle = IsAP(item.Text) ? ampsAP : IsAMPM(item.Text) ? ampsAMPM : ampsLocale;
      return true;
    }
    start += length;
  }
  return false;
}

Integer TuiFormatController::GetDateTimeFormatTextLength(const TuiDateTimeFormatInfo& AInfo) const {
  Integer length = 0;
  for (const TuiDateTimeFormatItem& item : AInfo.Items) length += ItemTextLength(item);
  return length;
}

Integer TuiFormatController::GetLocaleFirstWeekDay() const { return ::GetLocaleFirstWeekDay(); }

TuiFormatController* GetFormatController() {
  if (formatController == nullptr) new TuiFormatController();  // becomes the process-wide controller
  return formatController;
}

namespace k58::foundation {

void StartFormatsUnit() {}

void StopFormatsUnit() { FreeObject(formatController); }

}  // namespace k58::foundation
