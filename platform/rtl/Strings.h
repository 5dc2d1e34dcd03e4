// String routines of the run-time library.
//
// Positions are 1-based, as the class library counts them: Copy(s, 2, 4) is characters 2 to 5.
// On String (UTF-8) these routines count bytes; on WideString they count UTF-16 units. Where user
// text is counted in characters, use the code-point routines (Utf8Length, Utf8Copy, ...): they count
// Unicode code points, so a Chinese character counts one.
#pragma once

#include <cstdint>

#include "platform/rtl/Types.h"

// ---- Length, copy, search, insert, delete (bytes on String, UTF-16 units on WideString) ----
inline Integer Length(const String& s) { return static_cast<Integer>(s.size()); }
inline Integer Length(const WideString& s) { return static_cast<Integer>(s.size()); }

// Count characters from Index; out-of-range arguments are clipped as the class library does (an
// Index below 1 starts at 1, a Count past the end stops at the end, a negative Count gives "").
String Copy(const String& s, Integer index, Integer count);
WideString Copy(const WideString& s, Integer index, Integer count);
// Position of the first occurrence of sub in s, 0 when absent or sub is empty.
Integer Pos(const String& sub, const String& s);
Integer Pos(const WideString& sub, const WideString& s);
// As Pos, starting the search at Offset (1-based); 0 when Offset is out of range.
Integer PosEx(const String& sub, const String& s, Integer offset = 1);
// Removes Count characters from Index; nothing when Index is out of range.
void Delete(String& s, Integer index, Integer count);
void Delete(WideString& s, Integer index, Integer count);
// Inserts source before Index (clipped to 1 .. Length(s) + 1).
void Insert(const String& source, String& s, Integer index);
void Insert(const WideString& source, WideString& s, Integer index);

String StringOfChar(char ch, Integer count);
WideString StringOfChar(WideChar ch, Integer count);
// Position of the last character of s that is in delimiters, 0 when none.
Integer LastDelimiter(const String& delimiters, const String& s);

// ---- Trimming: removes leading/trailing blanks and control characters (bytes <= ' ') ----
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);
WideString Trim(const WideString& s);

// ---- Case ----
// ASCII only: bytes >= 0x80 stay as they are.
String UpperCase(const String& s);
String LowerCase(const String& s);
// Unicode-aware on UTF-8 text (simple case mapping per code point; invalid bytes are kept).
String AnsiUpperCase(const String& s);
String AnsiLowerCase(const String& s);
WideString WideUpperCase(const WideString& s);
WideString WideLowerCase(const WideString& s);

// ---- Comparison: < 0, 0 or > 0 ----
// Byte-wise, case-sensitive.
Integer CompareStr(const String& a, const String& b);
// ASCII case folding, other bytes compared as they are.
Integer CompareText(const String& a, const String& b);
bool SameStr(const String& a, const String& b);
bool SameText(const String& a, const String& b);
// Unicode-aware: compares code points (case-folded for ...Text); the same result on every machine.
Integer AnsiCompareStr(const String& a, const String& b);
Integer AnsiCompareText(const String& a, const String& b);
bool AnsiSameStr(const String& a, const String& b);
bool AnsiSameText(const String& a, const String& b);
Integer WideCompareStr(const WideString& a, const WideString& b);
Integer WideCompareText(const WideString& a, const WideString& b);
bool WideSameText(const WideString& a, const WideString& b);

// ---- Quoting ----
// Encloses in single quotes, doubling quotes inside: O'Hara -> 'O''Hara'.
String QuotedStr(const String& s);
String AnsiQuotedStr(const String& s, char quote);
// Removes the enclosing quotes and undoubles inner ones; text not starting with quote comes back as
// it is; a missing closing quote ends at the end of the text.
String AnsiDequotedStr(const String& s, char quote);
// Extracts the quoted text starting at p (which must point at quote), advancing p past it.
String AnsiExtractQuotedStr(const char*& p, char quote);

// ---- Replace ----
enum TReplaceFlag : uint8_t { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = uint8_t;
// With rfIgnoreCase the pattern matches with ASCII case folding.
String StringReplace(const String& s, const String& oldPattern, const String& newPattern,
                     TReplaceFlags flags);

// True when s is a Pascal identifier: a letter or '_' followed by letters, digits or '_'.
bool IsValidIdent(const String& s);

// ---- Characters of UTF-8 text (the system code page) ----
// Number of code points; an invalid byte counts as one.
Integer Utf8Length(const String& s);
// Count code points from code point Index (1-based), clipped like Copy.
String Utf8Copy(const String& s, Integer index, Integer count);
// Byte position (1-based) of code point Index; Length(s) + 1 past the end.
Integer Utf8BytePos(const String& s, Integer index);
// Code-point index (1-based) of the character that contains byte position bytePos.
Integer Utf8CharIndex(const String& s, Integer bytePos);
// Byte length of the character starting at p (1..4; 1 for an invalid or truncated sequence).
Integer StrCharLength(const char* p, const char* end);
// Length in bytes of the character at byte position index of s (1-based).
Integer CharLength(const String& s, Integer index);
// Kind of the byte at a 1-based position of UTF-8 text: a whole character, the first byte of a
// multi-byte character, or a following byte.
enum TMbcsByteType { mbSingleByte, mbLeadByte, mbTrailByte };
TMbcsByteType ByteType(const String& s, Integer index);
