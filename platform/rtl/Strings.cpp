#include "platform/rtl/Strings.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>

#include "platform/rtl/CodePages.h"
#include "platform/rtl/RtlInternal.h"

namespace rtl::detail {

Utf8Char DecodeUtf8(const char* p, const char* end) {
  const auto b0 = static_cast<unsigned char>(p[0]);
  if (b0 < 0x80) return {b0, 1, true};
  int len;
  uint32_t cp;
  uint32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
    cp = b0 & 0x1F;
    min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    cp = b0 & 0x0F;
    min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    cp = b0 & 0x07;
    min = 0x10000;
  } else {
    return {0xFFFD, 1, false};
  }
  if (end - p < len) return {0xFFFD, 1, false};
  for (int i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(p[i]);
    if ((b & 0xC0) != 0x80) return {0xFFFD, 1, false};
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {0xFFFD, 1, false};
  return {cp, len, true};
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace rtl::detail

using rtl::detail::AsciiLower;
using rtl::detail::AsciiUpper;
using rtl::detail::DecodeUtf8;
using rtl::detail::IsBlankOrControl;

namespace {

// Clips a 1-based (index, count) pair to a string of length len; returns the 0-based start and count.
bool ClipRange(size_t len, Integer index, Integer count, size_t& start, size_t& n) {
  if (count <= 0) return false;
  Int64 first = index < 1 ? 1 : index;
  if (first > static_cast<Int64>(len)) return false;
  start = static_cast<size_t>(first - 1);
  n = std::min<size_t>(static_cast<size_t>(count), len - start);
  return true;
}

template <typename S>
S CopyImpl(const S& s, Integer index, Integer count) {
  size_t start, n;
  if (!ClipRange(s.size(), index, count, start, n)) return S();
  return s.substr(start, n);
}

template <typename S>
void DeleteImpl(S& s, Integer index, Integer count) {
  if (index < 1 || count <= 0 || static_cast<size_t>(index) > s.size()) return;
  size_t start = static_cast<size_t>(index - 1);
  s.erase(start, std::min<size_t>(static_cast<size_t>(count), s.size() - start));
}

template <typename S>
void InsertImpl(const S& source, S& s, Integer index) {
  Int64 at = index < 1 ? 1 : index;
  if (at > static_cast<Int64>(s.size()) + 1) at = static_cast<Int64>(s.size()) + 1;
  s.insert(static_cast<size_t>(at - 1), source);
}

template <typename S>
Integer PosImpl(const S& sub, const S& s, size_t from) {
  if (sub.empty() || from > s.size()) return 0;
  const size_t p = s.find(sub, from);
  return p == S::npos ? 0 : static_cast<Integer>(p + 1);
}

// Case mapping independent of the user's locale: the C library's Unicode tables.
locale_t Utf8Locale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (!l) l = newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(0));
    return l;
  }();
  return loc;
}

uint32_t MapCase(uint32_t cp, bool upper) {
  if (cp < 0x80) return static_cast<unsigned char>(upper ? AsciiUpper(static_cast<char>(cp))
                                                         : AsciiLower(static_cast<char>(cp)));
  locale_t loc = Utf8Locale();
  if (!loc) return cp;
  const wint_t r = upper ? towupper_l(static_cast<wint_t>(cp), loc) : towlower_l(static_cast<wint_t>(cp), loc);
  return static_cast<uint32_t>(r);
}

String MapCaseUtf8(const String& s, bool upper) {
  String out;
  out.reserve(s.size());
  const char* p = s.data();
  const char* end = p + s.size();
  while (p < end) {
    auto c = DecodeUtf8(p, end);
    if (!c.valid) {
      out += *p;  // keep bytes that are not UTF-8 as they are
    } else {
      rtl::detail::AppendUtf8(out, MapCase(c.cp, upper));
    }
    p += c.length;
  }
  return out;
}

// Code points of UTF-16 text; unpaired surrogates come through as themselves.
template <typename F>
void ForEachUtf16(const WideString& s, F f) {
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    f(c);
  }
}

void AppendUtf16(WideString& out, uint32_t cp) {
  if (cp >= 0x10000 && cp <= 0x10FFFF) {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  } else {
    out += static_cast<char16_t>(cp);
  }
}

WideString MapCaseUtf16(const WideString& s, bool upper) {
  WideString out;
  out.reserve(s.size());
  ForEachUtf16(s, [&](uint32_t cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      out += static_cast<char16_t>(cp);
    } else {
      AppendUtf16(out, MapCase(cp, upper));
    }
  });
  return out;
}

int Sign(Int64 v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Compares code-point sequences, optionally folding case.
template <typename NextA, typename NextB>
Integer CompareCodePoints(NextA nextA, NextB nextB, bool ignoreCase) {
  for (;;) {
    uint32_t a, b;
    const bool hasA = nextA(a);
    const bool hasB = nextB(b);
    if (!hasA || !hasB) return hasA ? 1 : (hasB ? -1 : 0);
    if (ignoreCase) {
      a = MapCase(a, true);
      b = MapCase(b, true);
    }
    if (a != b) return a < b ? -1 : 1;
  }
}

// Yields the code points of UTF-8 text; bytes that are not UTF-8 yield 0xDC00 + byte so that they
// order consistently and never equal a real character.
struct Utf8Reader {
  const char* p;
  const char* end;
  bool operator()(uint32_t& cp) {
    if (p >= end) return false;
    auto c = DecodeUtf8(p, end);
    cp = c.valid ? c.cp : 0xDC00u + static_cast<unsigned char>(*p);
    p += c.length;
    return true;
  }
};

struct Utf16Reader {
  const WideString& s;
  size_t i = 0;
  bool operator()(uint32_t& cp) {
    if (i >= s.size()) return false;
    cp = s[i++];
    if (cp >= 0xD800 && cp <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i] - 0xDC00);
      ++i;
    }
    return true;
  }
};

}  // namespace

String Copy(const String& s, Integer index, Integer count) { return CopyImpl(s, index, count); }
WideString Copy(const WideString& s, Integer index, Integer count) { return CopyImpl(s, index, count); }
Integer Pos(const String& sub, const String& s) { return PosImpl(sub, s, 0); }
Integer Pos(const WideString& sub, const WideString& s) { return PosImpl(sub, s, 0); }
Integer PosEx(const String& sub, const String& s, Integer offset) {
  if (offset < 1) return 0;
  return PosImpl(sub, s, static_cast<size_t>(offset - 1));
}
void Delete(String& s, Integer index, Integer count) { DeleteImpl(s, index, count); }
void Delete(WideString& s, Integer index, Integer count) { DeleteImpl(s, index, count); }
void Insert(const String& source, String& s, Integer index) { InsertImpl(source, s, index); }
void Insert(const WideString& source, WideString& s, Integer index) { InsertImpl(source, s, index); }

String StringOfChar(char ch, Integer count) { return count > 0 ? String(static_cast<size_t>(count), ch) : String(); }
WideString StringOfChar(WideChar ch, Integer count) {
  return count > 0 ? WideString(static_cast<size_t>(count), ch) : WideString();
}

Integer LastDelimiter(const String& delimiters, const String& s) {
  const size_t p = s.find_last_of(delimiters);
  return p == String::npos ? 0 : static_cast<Integer>(p + 1);
}

String TrimLeft(const String& s) {
  size_t i = 0;
  while (i < s.size() && IsBlankOrControl(s[i])) ++i;
  return s.substr(i);
}

String TrimRight(const String& s) {
  size_t n = s.size();
  while (n > 0 && IsBlankOrControl(s[n - 1])) --n;
  return s.substr(0, n);
}

String Trim(const String& s) { return TrimRight(TrimLeft(s)); }

WideString Trim(const WideString& s) {
  size_t i = 0, n = s.size();
  while (i < n && s[i] <= u' ') ++i;
  while (n > i && s[n - 1] <= u' ') --n;
  return s.substr(i, n - i);
}

String UpperCase(const String& s) {
  String r(s);
  for (char& c : r) c = AsciiUpper(c);
  return r;
}

String LowerCase(const String& s) {
  String r(s);
  for (char& c : r) c = AsciiLower(c);
  return r;
}

String AnsiUpperCase(const String& s) { return MapCaseUtf8(s, true); }
String AnsiLowerCase(const String& s) { return MapCaseUtf8(s, false); }
WideString WideUpperCase(const WideString& s) { return MapCaseUtf16(s, true); }
WideString WideLowerCase(const WideString& s) { return MapCaseUtf16(s, false); }

Integer CompareStr(const String& a, const String& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int d = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
    if (d != 0) return d;
  }
  return Sign(static_cast<Int64>(a.size()) - static_cast<Int64>(b.size()));
}

Integer CompareText(const String& a, const String& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int d = static_cast<unsigned char>(AsciiUpper(a[i])) - static_cast<unsigned char>(AsciiUpper(b[i]));
    if (d != 0) return d;
  }
  return Sign(static_cast<Int64>(a.size()) - static_cast<Int64>(b.size()));
}

bool SameStr(const String& a, const String& b) { return a == b; }
bool SameText(const String& a, const String& b) { return a.size() == b.size() && CompareText(a, b) == 0; }

Integer AnsiCompareStr(const String& a, const String& b) {
  return CompareCodePoints(Utf8Reader{a.data(), a.data() + a.size()}, Utf8Reader{b.data(), b.data() + b.size()}, false);
}
Integer AnsiCompareText(const String& a, const String& b) {
  return CompareCodePoints(Utf8Reader{a.data(), a.data() + a.size()}, Utf8Reader{b.data(), b.data() + b.size()}, true);
}
bool AnsiSameStr(const String& a, const String& b) { return a == b; }
bool AnsiSameText(const String& a, const String& b) { return AnsiCompareText(a, b) == 0; }
Integer WideCompareStr(const WideString& a, const WideString& b) {
  return CompareCodePoints(Utf16Reader{a}, Utf16Reader{b}, false);
}
Integer WideCompareText(const WideString& a, const WideString& b) {
  return CompareCodePoints(Utf16Reader{a}, Utf16Reader{b}, true);
}
bool WideSameText(const WideString& a, const WideString& b) { return WideCompareText(a, b) == 0; }

String QuotedStr(const String& s) { return AnsiQuotedStr(s, '\''); }

String AnsiQuotedStr(const String& s, char quote) {
  String r;
  r.reserve(s.size() + 2);
  r += quote;
  for (char c : s) {
    r += c;
    if (c == quote) r += quote;
  }
  r += quote;
  return r;
}

String AnsiExtractQuotedStr(const char*& p, char quote) {
  String r;
  if (p == nullptr || *p != quote) return r;
  ++p;
  while (*p != '\0') {
    if (*p == quote) {
      if (p[1] == quote) {
        r += quote;
        p += 2;
        continue;
      }
      ++p;
      break;
    }
    r += *p++;
  }
  return r;
}

String AnsiDequotedStr(const String& s, char quote) {
  if (s.empty() || s[0] != quote) return s;
  String r;
  size_t i = 1;
  while (i < s.size()) {
    if (s[i] == quote) {
      if (i + 1 < s.size() && s[i + 1] == quote) {
        r += quote;
        i += 2;
        continue;
      }
      break;
    }
    r += s[i++];
  }
  return r;
}

String StringReplace(const String& s, const String& oldPattern, const String& newPattern, TReplaceFlags flags) {
  if (oldPattern.empty()) return s;
  const bool ignoreCase = (flags & rfIgnoreCase) != 0;
  const String hay = ignoreCase ? UpperCase(s) : s;
  const String needle = ignoreCase ? UpperCase(oldPattern) : oldPattern;
  String r;
  size_t from = 0;
  for (;;) {
    const size_t p = hay.find(needle, from);
    if (p == String::npos) break;
    r.append(s, from, p - from);
    r += newPattern;
    from = p + needle.size();
    if ((flags & rfReplaceAll) == 0) break;
  }
  r.append(s, from, String::npos);
  return r;
}

bool IsValidIdent(const String& s) {
  if (s.empty()) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(s[0])) return false;
  return std::all_of(s.begin() + 1, s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

Integer Utf8Length(const String& s) {
  Integer n = 0;
  const char* p = s.data();
  const char* end = p + s.size();
  while (p < end) {
    p += DecodeUtf8(p, end).length;
    ++n;
  }
  return n;
}

Integer Utf8BytePos(const String& s, Integer index) {
  if (index < 1) index = 1;
  const char* begin = s.data();
  const char* p = begin;
  const char* end = p + s.size();
  for (Integer i = 1; i < index && p < end; ++i) p += DecodeUtf8(p, end).length;
  return static_cast<Integer>(p - begin) + 1;
}

String Utf8Copy(const String& s, Integer index, Integer count) {
  if (count <= 0) return String();
  const Integer from = Utf8BytePos(s, index);
  if (from > Length(s)) return String();
  const char* p = s.data() + (from - 1);
  const char* end = s.data() + s.size();
  const char* q = p;
  for (Integer i = 0; i < count && q < end; ++i) q += DecodeUtf8(q, end).length;
  return String(p, q);
}

Integer Utf8CharIndex(const String& s, Integer bytePos) {
  const char* p = s.data();
  const char* end = p + s.size();
  const char* target = p + std::clamp<Int64>(static_cast<Int64>(bytePos) - 1, 0, static_cast<Int64>(s.size()));
  Integer index = 1;
  while (p < end) {
    const char* next = p + DecodeUtf8(p, end).length;
    if (target < next) return index;
    p = next;
    ++index;
  }
  return index;
}

Integer StrCharLength(const char* p, const char* end) {
  if (p == nullptr || p >= end) return 0;
  return DecodeUtf8(p, end).length;
}

Integer CharLength(const String& s, Integer index) {
  if (index < 1 || index > Length(s)) return 0;
  return StrCharLength(s.data() + index - 1, s.data() + s.size());
}

TMbcsByteType ByteType(const String& s, Integer index) {
  if (index < 1 || index > Length(s)) return mbSingleByte;
  const char* begin = s.data();
  const char* end = begin + s.size();
  const char* target = begin + index - 1;
  // Walk back to the start of the character: at most 3 continuation bytes precede it.
  const char* start = target;
  for (int back = 0; back < 3 && start > begin && (static_cast<unsigned char>(*start) & 0xC0) == 0x80; ++back) --start;
  while (start <= target) {
    const auto c = DecodeUtf8(start, end);
    if (start + c.length > target) {
      if (c.length == 1) return mbSingleByte;
      return start == target ? mbLeadByte : mbTrailByte;
    }
    start += c.length;
  }
  return mbSingleByte;
}
