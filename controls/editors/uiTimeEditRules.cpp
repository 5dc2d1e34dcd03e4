// The entry rules of masked time parts.
#include <vector>

#include "controls/editors/uiTimeEdit.h"
#include "platform/forms/Mask.h"
#include "platform/rtl/Strings.h"

namespace k58::editors {

namespace {

bool SameTimeChar(const String& A, const String& B) { return AnsiUpperCase(A) == AnsiUpperCase(B); }

String JoinTimeChars(const std::vector<String>& AChars) {
  String s;
  for (const String& c : AChars) s += c;
  return s;
}

bool IsTimeDigit(const String& C) { return C.size() == 1 && C[0] >= '0' && C[0] <= '9'; }

Integer TimeDigitOf(const String& C) { return IsTimeDigit(C) ? C[0] - '0' : 0; }

// The character at the one-based APosition, empty beyond the text.
String TimeCharAt(const std::vector<String>& AChars, Integer APosition) {
  return APosition >= 1 && APosition <= static_cast<Integer>(AChars.size()) ? AChars[static_cast<size_t>(APosition - 1)]
                                                                            : String();
}

TuiTimeCharResult PassTimeKey(const String& AText, Integer APosition, const String& AKey) {
  TuiTimeCharResult r;
  r.Accepted = true;
  r.Text = AText;
  r.Key = AKey;
  r.Caret = APosition;
  return r;
}

TuiTimeCharResult RewriteTimeText(const std::vector<String>& AChars, Integer ACaret, const String& AKey) {
  TuiTimeCharResult r;
  r.Accepted = true;
  r.Rewritten = true;
  r.Text = JoinTimeChars(AChars);
  r.Key = AKey;
  r.Caret = ACaret;
  return r;
}

void PutTimeChar(std::vector<String>& AChars, Integer APosition, const String& ACh) {
  if (APosition >= 1 && APosition <= static_cast<Integer>(AChars.size())) AChars[static_cast<size_t>(APosition - 1)] = ACh;
}

TuiTimeCharResult EnterAmPmChar(const String& AText, Integer APosition, const String& AKey, const TuiTimePart& APart,
                                const TFormatSettings& AFormat) {
  String am, pm;
  GetAmPmStrings(APart.AmPmKind, am, pm, AFormat);
  const std::vector<String> amChars = k58::forms::SplitChars(am);
  const std::vector<String> pmChars = k58::forms::SplitChars(pm);
  std::vector<String> chars = k58::forms::SplitChars(AText);
  const Integer k = FirstDifference(am, pm);
  const Integer s = APart.Start;
  const Integer p = APosition;
  const Integer differing = s + k - 1;
  if (p < differing) {
    const String c = TimeCharAt(amChars, p - s + 1);
    if (c.empty() || !SameTimeChar(AKey, c)) return {};
    return PassTimeKey(AText, APosition, c);
  }
  if (p > differing) {
    const String c = TimeCharAt(chars, p);
    if (c.empty() || !SameTimeChar(AKey, c)) return {};
    return PassTimeKey(AText, APosition, c);
  }
  const String a = TimeCharAt(amChars, k);
  const String b = TimeCharAt(pmChars, k);
  const std::vector<String>* designator = nullptr;
  if (!a.empty() && SameTimeChar(AKey, a))
    designator = &amChars;
  else if (!b.empty() && SameTimeChar(AKey, b))
    designator = &pmChars;
  if (designator == nullptr) return {};
  // The designator replaces the part; the text grows when it is longer than what the part held.
  Integer end = s - 1;
  for (const String& c : *designator) {
    ++end;
    if (end <= static_cast<Integer>(chars.size()))
      chars[static_cast<size_t>(end - 1)] = c;
    else
      chars.push_back(c);
  }
  for (Integer i = end + 1; i < s + APart.Length && i <= static_cast<Integer>(chars.size()); ++i) PutTimeChar(chars, i, " ");
  const Integer caret = std::min<Integer>(s + 2, static_cast<Integer>(chars.size()) + 1);
  return RewriteTimeText(chars, caret, String());
}

TuiTimeCharResult EnterTimeDigit(const String& AText, Integer APosition, const String& AKey, const TuiTimePart& APart) {
  if (!IsTimeDigit(AKey)) return {};
  std::vector<String> chars = k58::forms::SplitChars(AText);
  const Integer s = APart.Start;
  const Integer p = APosition;
  if (p < s || p > s + 1 || s + 1 > static_cast<Integer>(chars.size())) return {};
  Integer minValue = 0, maxValue = 0;
  GetTimePartRange(APart, minValue, maxValue);
  const bool first = p == s;
  const Integer key = TimeDigitOf(AKey);
  const Integer value = first ? key * 10 + TimeDigitOf(TimeCharAt(chars, s + 1)) : TimeDigitOf(TimeCharAt(chars, s)) * 10 + key;
  if (value >= minValue && value <= maxValue) return PassTimeKey(AText, APosition, AKey);
  if (first) {
    if (key == 0) {
      // "0" moves the digit that was here into the second place.
      const String old = TimeCharAt(chars, p);
      PutTimeChar(chars, s, "0");
      PutTimeChar(chars, s + 1, old);
      return RewriteTimeText(chars, p + 1, String());
    }
    if (key > maxValue / 10) {
      // Too big for a first digit: it is meant as the second one.
      PutTimeChar(chars, s, "0");
      return RewriteTimeText(chars, p + 1, AKey);
    }
    PutTimeChar(chars, s, AKey);
    PutTimeChar(chars, s + 1, "0");
    return RewriteTimeText(chars, p + 1, String());
  }
  if (key == 0) return {};
  PutTimeChar(chars, s, "0");
  return RewriteTimeText(chars, p, AKey);
}

}  // namespace

void GetAmPmStrings(Integer AKind, String& AAm, String& APm, const TFormatSettings& AFormat) {
  switch (AKind) {
    case apkAP:
      AAm = "A";
      APm = "P";
      return;
    case apkAMPM:
      AAm = "AM";
      APm = "PM";
      return;
    default:
      AAm = AFormat.TimeAMString.empty() ? String("AM") : AFormat.TimeAMString;
      APm = AFormat.TimePMString.empty() ? String("PM") : AFormat.TimePMString;
      return;
  }
}

Integer FirstDifference(const String& A, const String& P) {
  const std::vector<String> a = k58::forms::SplitChars(A);
  const std::vector<String> p = k58::forms::SplitChars(P);
  const size_t n = std::min(a.size(), p.size());
  for (size_t i = 0; i < n; ++i)
    if (!SameTimeChar(a[i], p[i])) return static_cast<Integer>(i) + 1;
  return static_cast<Integer>(n) + 1;
}

void GetTimePartRange(const TuiTimePart& APart, Integer& AMin, Integer& AMax) {
  if (APart.Kind == tpkHour) {
    AMin = APart.Use24Hour ? 0 : 1;
    AMax = APart.Use24Hour ? 23 : 12;
  } else {
    AMin = 0;
    AMax = 59;
  }
}

TuiTimeCharResult ProcessTimePartChar(const String& AText, Integer APosition, const String& AKey,
                                      const TuiTimePart& APart, const TFormatSettings& AFormat) {
  if (k58::forms::SplitChars(AKey).size() != 1) return {};
  if (APart.Kind == tpkAmPm) return EnterAmPmChar(AText, APosition, AKey, APart, AFormat);
  return EnterTimeDigit(AText, APosition, AKey, APart);
}

}  // namespace k58::editors
