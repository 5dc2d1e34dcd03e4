#include "platform/win/gdi/Utf.h"

namespace gdi {

DecodedText DecodeUtf8(const char* text, int count) {
  DecodedText out;
  if (!text || count <= 0) return out;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  out.cps.reserve(count);
  out.units.reserve(count);
  int i = 0;
  while (i < count) {
    unsigned c = s[i];
    int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    char32_t cp = 0xFFFD;
    if (len == 1) {
      cp = c;
    } else if (len > 1 && i + len <= count) {
      char32_t v = c & (0x7F >> len);
      bool ok = true;
      for (int k = 1; k < len && ok; ++k) {
        unsigned b = s[i + k];
        ok = (b & 0xC0) == 0x80;
        v = (v << 6) | (b & 0x3F);
      }
      static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
      if (ok && v >= kMin[len] && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF))
        cp = v;
      else
        len = 1;
    } else {
      len = 1;
    }
    out.cps.push_back(cp);
    out.units.push_back(len);
    i += len;
  }
  return out;
}

DecodedText DecodeUtf16(const WCHAR* text, int count) {
  DecodedText out;
  if (!text || count <= 0) return out;
  out.cps.reserve(count);
  out.units.reserve(count);
  int i = 0;
  while (i < count) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      out.cps.push_back(0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      out.units.push_back(2);
      i += 2;
      continue;
    }
    out.cps.push_back(c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c);
    out.units.push_back(1);
    ++i;
  }
  return out;
}

int Utf8Length(const char* text) {
  if (!text) return 0;
  int n = 0;
  while (text[n]) ++n;
  return n;
}

int Utf16Length(const WCHAR* text) {
  if (!text) return 0;
  int n = 0;
  while (text[n]) ++n;
  return n;
}

std::string EncodeUtf8(char32_t cp) {
  std::string s;
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

std::string Utf16ToUtf8(const WCHAR* text, int count) {
  std::string s;
  for (char32_t cp : DecodeUtf16(text, count).cps) s += EncodeUtf8(cp);
  return s;
}

std::u16string Utf8ToUtf16(const std::string& s) {
  std::u16string out;
  for (char32_t cp : DecodeUtf8(s.data(), static_cast<int>(s.size())).cps) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

}  // namespace gdi
