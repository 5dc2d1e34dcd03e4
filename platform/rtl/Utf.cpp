// UTF-8/UTF-16 codecs and case folding.
#include "platform/rtl/Utf.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>

namespace k58::rtl {

namespace {

bool IsSurrogate(char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }

// The C library's Unicode tables, whatever locale the user runs in.
locale_t Utf8Locale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (!l) l = newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(0));
    return l;
  }();
  return loc;
}

}  // namespace

bool TryDecodeUtf8(std::string_view s, size_t& pos, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    cp = b0;
    ++pos;
    return true;
  }
  int len;
  char32_t value;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, value = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, value = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, value = b0 & 0x07, min = 0x10000;
  } else {
    len = 0, value = 0, min = 0;
  }
  bool ok = len > 0 && s.size() - pos >= static_cast<size_t>(len);
  for (int i = 1; ok && i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    ok = (b & 0xC0) == 0x80;
    value = (value << 6) | (b & 0x3F);
  }
  ok = ok && value >= min && value <= 0x10FFFF && !IsSurrogate(value);
  cp = ok ? value : kReplacementChar;
  pos += ok ? len : 1;
  return ok;
}

char32_t DecodeUtf16(std::u16string_view s, size_t& pos) {
  char32_t c = s[pos++];
  if (c >= 0xD800 && c <= 0xDBFF && pos < s.size() && s[pos] >= 0xDC00 && s[pos] <= 0xDFFF)
    c = 0x10000 + ((c - 0xD800) << 10) + (s[pos++] - 0xDC00);
  return c;
}

bool JoinTypedUnit(char16_t& pendingHigh, char16_t unit, char32_t& cp) {
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    pendingHigh = unit;
    return false;
  }
  const char16_t high = pendingHigh;
  pendingHigh = 0;
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    if (high == 0) return false;
    cp = 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (unit - 0xDC00);
    return true;
  }
  cp = unit;
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || IsSurrogate(cp)) cp = kReplacementChar;
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

size_t Utf8Fit(std::string_view s, size_t max) {
  size_t n = std::min(s.size(), max);
  while (n > 0 && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return n;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp >= 0x10000 && cp <= 0x10FFFF) {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  } else {
    out += static_cast<char16_t>(cp > 0x10FFFF ? kReplacementChar : cp);
  }
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) AppendUtf16(out, DecodeUtf8(s, pos));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 3);
  for (size_t pos = 0; pos < s.size();) AppendUtf8(out, DecodeUtf16(s, pos));
  return out;
}

std::u32string Utf8ToUtf32(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) out += DecodeUtf8(s, pos);
  return out;
}

std::string Utf32ToUtf8(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t cp : s) AppendUtf8(out, cp);
  return out;
}

char32_t ToUpper(char32_t cp) {
  if (cp < 0x80) return cp >= 'a' && cp <= 'z' ? cp - 32 : cp;
  locale_t loc = Utf8Locale();
  return loc ? static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), loc)) : cp;
}

char32_t ToLower(char32_t cp) {
  if (cp < 0x80) return cp >= 'A' && cp <= 'Z' ? cp + 32 : cp;
  locale_t loc = Utf8Locale();
  return loc ? static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), loc)) : cp;
}

namespace {

template <typename Map>
std::string MapText(std::string_view s, Map map) {
  std::string out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) {
    const size_t at = pos;
    char32_t cp;
    if (TryDecodeUtf8(s, pos, cp)) {
      AppendUtf8(out, map(cp));
    } else {
      out += s[at];
    }
  }
  return out;
}

}  // namespace

std::string ToUpper(std::string_view s) { return MapText(s, [](char32_t cp) { return ToUpper(cp); }); }
std::string ToLower(std::string_view s) { return MapText(s, [](char32_t cp) { return ToLower(cp); }); }

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t x = FoldCase(DecodeUtf8(a, i));
    const char32_t y = FoldCase(DecodeUtf8(b, j));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  return j < b.size() ? -1 : 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  size_t i = 0, j = 0;
  while (j < prefix.size()) {
    if (i >= text.size() || FoldCase(DecodeUtf8(text, i)) != FoldCase(DecodeUtf8(prefix, j))) return false;
  }
  return true;
}

}  // namespace k58::rtl
