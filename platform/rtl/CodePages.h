// Code-page conversion between UTF-8 (String, the system code page), UTF-16 (WideString) and the
// Chinese double-byte code page 936 (GBK), which language files and Chinese default texts use.
#pragma once

#include "platform/rtl/Types.h"

inline constexpr unsigned CP_ACP = 0;      // the system code page: UTF-8
inline constexpr unsigned CP_GBK = 936;
inline constexpr unsigned CP_UTF8 = 65001;

// UTF-8 <-> UTF-16. Invalid UTF-8 decodes to U+FFFD per bad byte (never reading past the end);
// unpaired surrogates encode as U+FFFD.
WideString Utf8ToWide(const String& s);
String WideToUtf8(const WideString& s);
// One code point to UTF-8 (U+FFFD for values outside Unicode or surrogates).
String CodePointToUtf8(uint32_t codePoint);

// True when s is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(const String& s);

// GBK bytes -> UTF-8. Invalid or truncated sequences become U+FFFD.
String GbkToUtf8(const String& gbk);
// UTF-8 -> GBK bytes. Characters GBK lacks become '?'.
String Utf8ToGbk(const String& utf8);
// UTF-16 <-> GBK with the same rules.
WideString GbkToWide(const String& gbk);
String WideToGbk(const WideString& s);

// Text read from a file whose encoding is not known: UTF-8 when it is valid UTF-8 (a leading BOM
// is dropped), otherwise GBK. The result is UTF-8.
String DecodeFileText(const String& bytes);

// Generic conversion between two code pages (CP_ACP, CP_UTF8, CP_GBK); '?' or U+FFFD for what
// cannot be converted. Raises EConvertError for a code page it does not know.
String ConvertCodePage(const String& s, unsigned fromCodePage, unsigned toCodePage);

// Lead-byte test of a double-byte code page: for 936 the bytes 0x81..0xFE. For the system code page
// (UTF-8), which has no double-byte characters, the first byte of a multi-byte UTF-8 sequence
// counts as a lead byte; to step through UTF-8 text use StrCharLength (Strings.h).
bool IsDBCSLeadByteEx(unsigned codePage, Byte b);
bool IsDBCSLeadByte(Byte b);
