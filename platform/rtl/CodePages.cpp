#include "platform/rtl/CodePages.h"

#include <errno.h>
#include <iconv.h>

#include <string>
#include <string_view>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/Utf.h"

namespace {

// Converts with iconv, replacing what cannot be converted: an invalid input byte is skipped and
// 'replacement' (already in the target encoding) written in its place; a character the target
// lacks is skipped (one input character) and replaced the same way.
String IconvConvert(const String& in, const char* from, const char* to, const String& replacement,
                    size_t inUnit) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw EConvertError(Format(rtlconsts::SCodePageError, from, to));
  }
  String out;
  out.reserve(in.size() * 2);
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char buf[1024];
  while (inLeft > 0) {
    char* outPtr = buf;
    size_t outLeft = sizeof buf;
    const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buf, static_cast<size_t>(outPtr - buf));
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    if (errno == EILSEQ || errno == EINVAL) {
      // Skip the offending unit (for UTF-8 input, the whole character when it is well formed).
      size_t skip = inUnit;
      if (inUnit == 1 && std::string_view(from) == "UTF-8") {
        skip = 0;
        k58::rtl::DecodeUtf8(std::string_view(inPtr, inLeft), skip);
      }
      if (skip > inLeft) skip = inLeft;
      inPtr += skip;
      inLeft -= skip;
      out += replacement;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      continue;
    }
    break;
  }
  // Flush any shift state.
  char* outPtr = buf;
  size_t outLeft = sizeof buf;
  iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  out.append(buf, static_cast<size_t>(outPtr - buf));
  iconv_close(cd);
  return out;
}

// GBK decoding by hand around iconv so that a bad pair costs one byte, not the rest of the text.
String GbkToUtf8Impl(const String& gbk) {
  String out;
  out.reserve(gbk.size() * 3 / 2);
  size_t i = 0;
  size_t runStart = 0;
  auto flushRun = [&](size_t upTo) {
    if (upTo > runStart) {
      out += IconvConvert(gbk.substr(runStart, upTo - runStart), "GBK", "UTF-8", "\xEF\xBF\xBD", 1);
    }
  };
  while (i < gbk.size()) {
    const auto b = static_cast<unsigned char>(gbk[i]);
    if (b <= 0x80) {  // ASCII, and 0x80 for the euro sign
      ++i;
      continue;
    }
    const bool lead = b >= 0x81 && b <= 0xFE;
    const bool pair = lead && i + 1 < gbk.size() && static_cast<unsigned char>(gbk[i + 1]) >= 0x40 &&
                      static_cast<unsigned char>(gbk[i + 1]) <= 0xFE && static_cast<unsigned char>(gbk[i + 1]) != 0x7F;
    if (pair) {
      i += 2;
      continue;
    }
    // A byte that cannot start a character (or a lead byte without its trail byte).
    flushRun(i);
    out += "\xEF\xBF\xBD";
    ++i;
    runStart = i;
  }
  flushRun(i);
  return out;
}

}  // namespace

WideString Utf8ToWide(const String& s) { return k58::rtl::Utf8ToUtf16(s); }

String WideToUtf8(const WideString& s) { return k58::rtl::Utf16ToUtf8(s); }

String CodePointToUtf8(uint32_t codePoint) {
  String out;
  k58::rtl::AppendUtf8(out, codePoint);
  return out;
}

bool IsValidUtf8(const String& s) {
  char32_t cp;
  for (size_t pos = 0; pos < s.size();) {
    // Most text read at start-up (settings, language files) is plain ASCII.
    if (static_cast<unsigned char>(s[pos]) < 0x80) {
      ++pos;
      continue;
    }
    if (!k58::rtl::TryDecodeUtf8(s, pos, cp)) return false;
  }
  return true;
}

String GbkToUtf8(const String& gbk) { return GbkToUtf8Impl(gbk); }

String Utf8ToGbk(const String& utf8) { return IconvConvert(utf8, "UTF-8", "GBK", "?", 1); }

WideString GbkToWide(const String& gbk) { return Utf8ToWide(GbkToUtf8(gbk)); }

String WideToGbk(const WideString& s) { return Utf8ToGbk(WideToUtf8(s)); }

String DecodeFileText(const String& bytes) {
  if (IsValidUtf8(bytes)) {
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    return bytes;
  }
  return GbkToUtf8(bytes);
}

String ConvertCodePage(const String& s, unsigned fromCodePage, unsigned toCodePage) {
  auto norm = [](unsigned cp) { return cp == CP_ACP ? CP_UTF8 : cp; };
  fromCodePage = norm(fromCodePage);
  toCodePage = norm(toCodePage);
  auto known = [](unsigned cp) { return cp == CP_UTF8 || cp == CP_GBK; };
  if (!known(fromCodePage) || !known(toCodePage)) {
    throw EConvertError(Format(rtlconsts::SCodePageError, std::to_string(fromCodePage), std::to_string(toCodePage)));
  }
  if (fromCodePage == toCodePage) {
    if (fromCodePage == CP_UTF8 && !IsValidUtf8(s)) return WideToUtf8(Utf8ToWide(s));
    return s;
  }
  return fromCodePage == CP_GBK ? GbkToUtf8(s) : Utf8ToGbk(s);
}

bool IsDBCSLeadByteEx(unsigned codePage, Byte b) {
  if (codePage == CP_GBK) return b >= 0x81 && b <= 0xFE;
  if (codePage == CP_ACP || codePage == CP_UTF8) return b >= 0xC2 && b <= 0xF4;
  return false;
}

bool IsDBCSLeadByte(Byte b) { return IsDBCSLeadByteEx(CP_ACP, b); }
