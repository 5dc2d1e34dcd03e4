// Currency: conversion from floating point and to and from text.
#include "platform/rtl/VarCurrency.h"

#include <cmath>
#include <limits>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/VarInternal.h"

Currency Currency::FromDouble(double value) {
  if (!std::isfinite(value)) k58::rtl::RaiseConvertOverflow(varDouble, varCurrency);
  // The product in extended precision keeps values such as 0.00015 on the right side of the tie.
  long double scaled = static_cast<long double>(value) * Scale;
  long double floor = std::floor(scaled);
  long double diff = scaled - floor;
  long double rounded = floor;
  if (diff > 0.5L || (diff == 0.5L && std::fmod(floor, 2.0L) != 0.0L)) rounded = floor + 1.0L;
  if (rounded < -9223372036854775808.0L || rounded >= 9223372036854775808.0L)
    k58::rtl::RaiseConvertOverflow(varDouble, varCurrency);
  return FromScaled(static_cast<Int64>(rounded));
}

Currency Currency::FromInt64(Int64 value) {
  const Int64 limit = std::numeric_limits<Int64>::max() / Scale;
  if (value > limit || value < -limit) k58::rtl::RaiseConvertOverflow(varInt64, varCurrency);
  return FromScaled(value * Scale);
}

String CurrToStr(Currency value) {
  UInt64 magnitude = value.Scaled < 0 ? UInt64{0} - static_cast<UInt64>(value.Scaled)
                                      : static_cast<UInt64>(value.Scaled);
  String text;
  if (value.Scaled < 0) text += '-';
  text += std::to_string(magnitude / Currency::Scale);
  UInt64 fraction = magnitude % Currency::Scale;
  if (fraction != 0) {
    String digits = std::to_string(fraction + Currency::Scale).substr(1);  // four digits with leading zeros
    while (digits.back() == '0') digits.pop_back();
    text += FormatSettings.DecimalSeparator;
    text += digits;
  }
  return text;
}

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Exact parse of [sign] digits [separator digits]; more than four decimals round half to even.
bool ParseDecimal(const String& text, Int64& scaled) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  bool negative = false;
  if (begin < end && (text[begin] == '-' || text[begin] == '+')) negative = text[begin++] == '-';
  UInt64 magnitude = 0;  // value * 10000, accumulated in unsigned arithmetic
  const UInt64 limit = static_cast<UInt64>(std::numeric_limits<Int64>::max()) + 1;
  int digits = 0;
  int decimals = 0;
  bool inFraction = false;
  int roundDigit = -1;     // the fifth decimal
  bool beyondNonZero = false;  // any non-zero decimal after the fifth
  for (size_t i = begin; i < end; ++i) {
    char c = text[i];
    if (c == FormatSettings.DecimalSeparator && !inFraction) {
      inFraction = true;
      continue;
    }
    if (c < '0' || c > '9') return false;
    ++digits;
    unsigned digit = static_cast<unsigned>(c - '0');
    if (inFraction) {
      if (decimals < 4) {
        magnitude += digit * (decimals == 0 ? 1000u : decimals == 1 ? 100u : decimals == 2 ? 10u : 1u);
      } else if (decimals == 4) {
        roundDigit = static_cast<int>(digit);
      } else if (digit != 0) {
        beyondNonZero = true;
      }
      ++decimals;
    } else {
      if (magnitude > (limit - digit * 10000u) / 10) return false;
      magnitude = magnitude * 10 + digit * 10000u;
    }
    if (magnitude > limit) return false;
  }
  if (digits == 0) return false;
  if (roundDigit > 5 || (roundDigit == 5 && (beyondNonZero || (magnitude & 1) != 0))) ++magnitude;
  if (magnitude > limit || (!negative && magnitude == limit)) return false;
  scaled = negative ? static_cast<Int64>(UInt64{0} - magnitude) : static_cast<Int64>(magnitude);
  return true;
}

}  // namespace

bool TryStrToCurr(const String& text, Currency& value) {
  Int64 scaled = 0;
  if (ParseDecimal(text, scaled)) {
    value = Currency::FromScaled(scaled);
    return true;
  }
  // Exponent forms ("1E3") go through floating point.
  Extended number = 0;
  if (!TryStrToFloat(text, number)) return false;
  double d = static_cast<double>(number);
  long double product = static_cast<long double>(d) * Currency::Scale;
  if (!std::isfinite(d) || product < -9223372036854775808.0L || product >= 9223372036854775808.0L) return false;
  value = Currency::FromDouble(d);
  return true;
}

Currency StrToCurr(const String& text) {
  Currency value;
  if (!TryStrToCurr(text, value)) {
    const String pattern = rtlconsts::SInvalidFloat;
    const size_t at = pattern.find("%s");
    throw EConvertError(pattern.substr(0, at) + text + pattern.substr(at + 2));
  }
  return value;
}
