// Helpers shared by the run-time library's own sources; not for use outside platform/rtl.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/rtl/Types.h"

namespace k58::rtl {

inline bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Decimal digits of a finite non-negative value: value = 0.digits * 10^exponent, digits without
// leading or trailing zeros ("" for zero). Taken from the shortest text that reads back as the
// same double (or long double when the value is not a double).
struct DecimalDigits {
  std::string digits;
  int exponent = 0;
};
DecimalDigits ShortestDigits(Extended value);
// Rounds d half away from zero so that it keeps at most 'decimals' digits after the decimal point
// (decimals may be negative); trailing zeros are dropped.
void RoundToDecimals(DecimalDigits& d, int decimals);
// Rounds to at most 'significant' digits, half away from zero.
void RoundToSignificant(DecimalDigits& d, int significant);

// Translates a C library date/time picture ("%d.%m.%Y") into FormatDateTime's syntax ("dd/mm/yyyy"),
// with the date and time separators found between fields as '/' and ':' (0 when none).
String TranslateLocalePicture(const String& cPicture, char& dateSep, char& timeSep);

}  // namespace k58::rtl
