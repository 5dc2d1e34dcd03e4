#include "platform/rtl/Strings.h"

#include <algorithm>

#include "platform/rtl/CodePages.h"
#include "platform/rtl/RtlInternal.h"
#include "platform/rtl/Utf.h"

using k58::rtl::AsciiLower;
using k58::rtl::AsciiUpper;
using k58::rtl::IsBlankOrControl;

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

uint32_t MapCase(uint32_t cp, bool upper) { return upper ? k58::rtl::ToUpper(cp) : k58::rtl::ToLower(cp); }

WideString MapCaseUtf16(const WideString& s, bool upper) {
  WideString out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) {
    const char32_t cp = k58::rtl::DecodeUtf16(s, pos);
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      out += static_cast<char16_t>(cp);  // an unpaired surrogate stays as it is
    } else {
      k58::rtl::AppendUtf16(out, MapCase(cp, upper));
    }
  }
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
  std::string_view s;
  size_t pos = 0;
  bool operator()(uint32_t& cp) {
    if (pos >= s.size()) return false;
    const size_t at = pos;
    char32_t c;
    cp = k58::rtl::TryDecodeUtf8(s, pos, c) ? c : 0xDC00u + static_cast<unsigned char>(s[at]);
    return true;
  }
};

struct Utf16Reader {
  std::u16string_view s;
  size_t pos = 0;
  bool operator()(uint32_t& cp) {
    if (pos >= s.size()) return false;
    cp = k58::rtl::DecodeUtf16(s, pos);
    return true;
  }
};

// The length in bytes of the UTF-8 character at s[pos] (1 for a malformed byte).
size_t CharBytes(std::string_view s, size_t pos) {
  const size_t at = pos;
  k58::rtl::DecodeUtf8(s, pos);
  return pos - at;
}

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

String AnsiUpperCase(const String& s) { return k58::rtl::ToUpper(s); }
String AnsiLowerCase(const String& s) { return k58::rtl::ToLower(s); }
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
  return CompareCodePoints(Utf8Reader{a}, Utf8Reader{b}, false);
}
Integer AnsiCompareText(const String& a, const String& b) {
  return CompareCodePoints(Utf8Reader{a}, Utf8Reader{b}, true);
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
  for (size_t pos = 0; pos < s.size(); ++n) k58::rtl::DecodeUtf8(s, pos);
  return n;
}

Integer Utf8BytePos(const String& s, Integer index) {
  size_t pos = 0;
  for (Integer i = 1; i < index && pos < s.size(); ++i) k58::rtl::DecodeUtf8(s, pos);
  return static_cast<Integer>(pos) + 1;
}

String Utf8Copy(const String& s, Integer index, Integer count) {
  if (count <= 0) return String();
  const Integer from = Utf8BytePos(s, index);
  if (from > Length(s)) return String();
  size_t pos = static_cast<size_t>(from - 1);
  for (Integer i = 0; i < count && pos < s.size(); ++i) k58::rtl::DecodeUtf8(s, pos);
  return s.substr(static_cast<size_t>(from - 1), pos - static_cast<size_t>(from - 1));
}

Integer Utf8CharIndex(const String& s, Integer bytePos) {
  const auto target = static_cast<size_t>(std::clamp<Int64>(static_cast<Int64>(bytePos) - 1, 0, static_cast<Int64>(s.size())));
  Integer index = 1;
  for (size_t pos = 0; pos < s.size(); ++index) {
    k58::rtl::DecodeUtf8(s, pos);
    if (target < pos) return index;
  }
  return index;
}

Integer StrCharLength(const char* p, const char* end) {
  if (p == nullptr || p >= end) return 0;
  return static_cast<Integer>(CharBytes(std::string_view(p, static_cast<size_t>(end - p)), 0));
}

Integer CharLength(const String& s, Integer index) {
  if (index < 1 || index > Length(s)) return 0;
  return static_cast<Integer>(CharBytes(s, static_cast<size_t>(index - 1)));
}

TMbcsByteType ByteType(const String& s, Integer index) {
  if (index < 1 || index > Length(s)) return mbSingleByte;
  const auto target = static_cast<size_t>(index - 1);
  // Walk back to the start of the character: at most 3 continuation bytes precede it.
  size_t start = target;
  for (int back = 0; back < 3 && start > 0 && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80; ++back) --start;
  while (start <= target) {
    const size_t length = CharBytes(s, start);
    if (start + length > target) {
      if (length == 1) return mbSingleByte;
      return start == target ? mbLeadByte : mbTrailByte;
    }
    start += length;
  }
  return mbSingleByte;
}
