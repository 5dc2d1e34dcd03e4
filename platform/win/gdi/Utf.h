// Decoding of the text the text calls receive: UTF-8 bytes or UTF-16 code units into code points,
// remembering how many units each code point took (Win32 gives per-unit arrays such as lpDx).
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/WinTypes.h"

namespace gdi {

struct DecodedText {
  std::vector<char32_t> cps;
  std::vector<int> units;  // units (bytes or UTF-16 code units) of each code point
};

// Invalid sequences decode to U+FFFD, one per bad unit; never reads past count units.
DecodedText DecodeUtf8(const char* text, int count);
DecodedText DecodeUtf16(const WCHAR* text, int count);
// Length of a zero-terminated string in units.
int Utf8Length(const char* text);
int Utf16Length(const WCHAR* text);
std::string EncodeUtf8(char32_t cp);
std::string Utf16ToUtf8(const WCHAR* text, int count);
std::u16string Utf8ToUtf16(const std::string& s);

}  // namespace gdi
