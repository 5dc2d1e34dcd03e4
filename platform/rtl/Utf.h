// The one home of the text primitives every layer shares: UTF-8 and UTF-16 decoding and encoding,
// conversion between them, and case folding for comparisons that ignore case.
//
// Decoding never reads past the end and never fails: a byte that does not start a well-formed
// sequence (a stray continuation byte, an overlong form, an encoded surrogate, a value past U+10FFFF,
// a sequence cut short) decodes to U+FFFD and costs exactly that one byte. Encoding writes U+FFFD
// for a value that is not a Unicode scalar value (a surrogate or past U+10FFFF).
#pragma once

#include <string>
#include <string_view>

namespace k58::rtl {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes the code point at s[pos] (pos < s.size()) and moves pos past it. Answers false for a
// malformed byte, which gives U+FFFD and moves pos by one.
bool TryDecodeUtf8(std::string_view s, size_t& pos, char32_t& cp);
// The same, U+FFFD for a malformed byte.
inline char32_t DecodeUtf8(std::string_view s, size_t& pos) {
  char32_t cp;
  TryDecodeUtf8(s, pos, cp);
  return cp;
}
// Decodes the code point at s[pos] (pos < s.size()) and moves pos past it: a surrogate pair gives
// one code point; an unpaired surrogate comes back as itself (callers that need a scalar value
// replace it, as AppendUtf8 does).
char32_t DecodeUtf16(std::u16string_view s, size_t& pos);

// Typed characters arrive one UTF-16 unit at a time (WM_CHAR sends a character past U+FFFF as two).
// Feed each unit: a high surrogate waits in pendingHigh and answers false; a low one completes the
// waiting pair (false when none waits); any other unit is a character by itself. Every unit but a
// high surrogate clears pendingHigh.
bool JoinTypedUnit(char16_t& pendingHigh, char16_t unit, char32_t& cp);

void AppendUtf8(std::string& out, char32_t cp);
// How many bytes of s, at most max, fit without cutting a character in two (for fixed buffers).
size_t Utf8Fit(std::string_view s, size_t max);
void AppendUtf16(std::u16string& out, char32_t cp);

std::u16string Utf8ToUtf16(std::string_view s);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view s);
std::u32string Utf8ToUtf32(std::string_view s);
std::string Utf32ToUtf8(std::u32string_view s);

// Simple (one to one) case mappings of the Unicode tables, independent of the user's locale.
char32_t ToUpper(char32_t cp);
char32_t ToLower(char32_t cp);
// The form two characters are compared in when case is ignored: the lower-case letter.
inline char32_t FoldCase(char32_t cp) { return ToLower(cp); }
// Texts with every code point mapped as above; malformed bytes are kept as they are.
std::string ToUpper(std::string_view s);
std::string ToLower(std::string_view s);
inline std::string FoldCase(std::string_view s) { return ToLower(s); }

// Compares UTF-8 texts code point by code point with case folded; <0, 0 or >0. Malformed bytes
// compare as U+FFFD.
int CompareNoCase(std::string_view a, std::string_view b);
// Whether text begins with prefix, compared as CompareNoCase does.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace k58::rtl
