#include "platform/rtl/Numbers.h"

#include <locale.h>
#include <stdlib.h>

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/RtlInternal.h"
#include "platform/rtl/RtlMath.h"
#include "platform/rtl/Strings.h"

using k58::rtl::AsciiUpper;
using k58::rtl::DecimalDigits;

// ---------------------------------------------------------------------------------------------
// Decimal digits of binary floating-point values
// ---------------------------------------------------------------------------------------------
namespace k58::rtl {

DecimalDigits ShortestDigits(Extended value) {
  DecimalDigits r;
  if (value == 0) return r;
  char buf[128];
  std::to_chars_result res;
  const double asDouble = static_cast<double>(value);
  if (static_cast<Extended>(asDouble) == value) {
    res = std::to_chars(buf, buf + sizeof buf, asDouble, std::chars_format::scientific);
  } else {
    res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  }
  const std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
  const size_t e = text.find('e');
  for (size_t i = 0; i < e; ++i) {
    if (text[i] >= '0' && text[i] <= '9') r.digits += text[i];
  }
  int exp10 = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), exp10);
  r.exponent = exp10 + 1;
  while (!r.digits.empty() && r.digits.back() == '0') r.digits.pop_back();
  size_t lead = 0;
  while (lead < r.digits.size() && r.digits[lead] == '0') ++lead;
  r.digits.erase(0, lead);
  r.exponent -= static_cast<int>(lead);
  if (r.digits.empty()) r.exponent = 0;
  return r;
}

// Keeps the first 'keep' digits, rounding half away from zero on the next one.
static void RoundToKeep(DecimalDigits& d, int keep) {
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    d.exponent = 0;
    return;
  }
  const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
      d.digits[static_cast<size_t>(i)] = '0';
      --i;
    }
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      d.exponent += 1;
    } else {
      d.digits[static_cast<size_t>(i)] += 1;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
}

void RoundToDecimals(DecimalDigits& d, int decimals) {
  if (d.digits.empty()) return;
  RoundToKeep(d, d.exponent + decimals);
}

void RoundToSignificant(DecimalDigits& d, int significant) { RoundToKeep(d, significant); }

}  // namespace k58::rtl

namespace {

using k58::rtl::RoundToSignificant;
using k58::rtl::ShortestDigits;

locale_t CLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return loc;
}

// Digits of the integer part ("" for zero) and of 'decimals' fraction digits (padded with zeros).
void SplitDigits(const DecimalDigits& d, int decimals, String& intPart, String& fracPart) {
  intPart.clear();
  fracPart.clear();
  const int n = static_cast<int>(d.digits.size());
  for (int i = 0; i < d.exponent; ++i) intPart += i < n ? d.digits[static_cast<size_t>(i)] : '0';
  for (int k = 0; k < decimals; ++k) {
    const int i = d.exponent + k;
    fracPart += (i >= 0 && i < n) ? d.digits[static_cast<size_t>(i)] : '0';
  }
}

String GroupThousands(const String& digits, char separator) {
  String r;
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    r += digits[i];
    const size_t left = n - 1 - i;
    if (left > 0 && left % 3 == 0) r += separator;
  }
  return r;
}

String SpecialValueText(Extended value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// "1.5E-6" style text of digits d with the sign handled by the caller.
String ScientificText(const DecimalDigits& d, int mantissaDigits, bool padMantissa, bool plusSign,
                      int minExpDigits, char decimalSep) {
  String r;
  String digits = d.digits.empty() ? String("0") : d.digits;
  if (padMantissa && static_cast<int>(digits.size()) < mantissaDigits) digits.append(static_cast<size_t>(mantissaDigits) - digits.size(), '0');
  r += digits[0];
  if (digits.size() > 1) {
    r += decimalSep;
    r.append(digits, 1, String::npos);
  }
  const int exp10 = d.digits.empty() ? 0 : d.exponent - 1;
  r += 'E';
  if (exp10 < 0) {
    r += '-';
  } else if (plusSign) {
    r += '+';
  }
  String e = std::to_string(exp10 < 0 ? -exp10 : exp10);
  if (static_cast<int>(e.size()) < minExpDigits) e.insert(0, static_cast<size_t>(minExpDigits) - e.size(), '0');
  r += e;
  return r;
}

String FixedText(const DecimalDigits& d, int decimals, bool thousands, const TFormatSettings& fs) {
  String intPart, fracPart;
  SplitDigits(d, decimals, intPart, fracPart);
  if (intPart.empty()) intPart = "0";
  String r = thousands ? GroupThousands(intPart, fs.ThousandSeparator) : intPart;
  if (decimals > 0) {
    r += fs.DecimalSeparator;
    r += fracPart;
  }
  return r;
}

String CurrencyText(const String& amount, bool negative, const TFormatSettings& fs) {
  const String& c = fs.CurrencyString;
  if (!negative) {
    switch (fs.CurrencyFormat) {
      case 1: return amount + c;
      case 2: return c + " " + amount;
      case 3: return amount + " " + c;
      default: return c + amount;
    }
  }
  switch (fs.NegCurrFormat) {
    case 1: return "-" + c + amount;
    case 2: return c + "-" + amount;
    case 3: return c + amount + "-";
    case 4: return "(" + amount + c + ")";
    case 5: return "-" + amount + c;
    case 6: return amount + "-" + c;
    case 7: return amount + c + "-";
    case 8: return "-" + amount + " " + c;
    case 9: return "-" + c + " " + amount;
    case 10: return amount + " " + c + "-";
    case 11: return c + " " + amount + "-";
    case 12: return c + " -" + amount;
    case 13: return amount + "- " + c;
    case 14: return "(" + c + " " + amount + ")";
    case 15: return "(" + amount + " " + c + ")";
    default: return "(" + c + amount + ")";
  }
}

bool ParseInteger(const String& s, bool is64, Int64& out) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < n && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  } else if (i < n && (s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  }
  if (i >= n) return false;
  UInt64 v = 0;
  const UInt64 limitDec = is64 ? static_cast<UInt64>(std::numeric_limits<Int64>::max()) + (negative ? 1 : 0)
                               : static_cast<UInt64>(std::numeric_limits<Integer>::max()) + (negative ? 1 : 0);
  const UInt64 limitHex = is64 ? std::numeric_limits<UInt64>::max() : 0xFFFFFFFFull;
  for (; i < n; ++i) {
    const char c = s[i];
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    const unsigned base = hex ? 16 : 10;
    const UInt64 limit = hex ? limitHex : limitDec;
    if (v > (limit - digit) / base) return false;
    v = v * base + digit;
  }
  if (hex && !is64) {
    // Hex covers the full 32 bits: $FFFFFFFF is -1.
    const auto v32 = static_cast<int32_t>(static_cast<uint32_t>(v));
    out = negative ? -static_cast<Int64>(v32) : v32;
    if (!is64 && (out < std::numeric_limits<Integer>::min() || out > std::numeric_limits<Integer>::max())) return false;
    return true;
  }
  if (hex) {
    const auto v64 = static_cast<Int64>(v);
    if (negative && v64 == std::numeric_limits<Int64>::min()) return false;
    out = negative ? -v64 : v64;
    return true;
  }
  out = negative ? static_cast<Int64>(0 - v) : static_cast<Int64>(v);
  return true;
}

// Validates the class library's float syntax with the given decimal separator and rewrites the
// number in the C locale's syntax.
bool FloatSyntax(const String& s, char decimalSep, String& c) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n && k58::rtl::IsBlankOrControl(s[i])) ++i;
  size_t end = n;
  while (end > i && k58::rtl::IsBlankOrControl(s[end - 1])) --end;
  c.clear();
  if (i < end && (s[i] == '+' || s[i] == '-')) c += s[i++];
  bool digits = false;
  while (i < end && s[i] >= '0' && s[i] <= '9') {
    c += s[i++];
    digits = true;
  }
  if (i < end && s[i] == decimalSep) {
    c += '.';
    ++i;
    while (i < end && s[i] >= '0' && s[i] <= '9') {
      c += s[i++];
      digits = true;
    }
  }
  if (!digits) return false;
  if (i < end && (s[i] == 'e' || s[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < end && (s[i] == '+' || s[i] == '-')) c += s[i++];
    bool expDigits = false;
    while (i < end && s[i] >= '0' && s[i] <= '9') {
      c += s[i++];
      expDigits = true;
    }
    if (!expDigits) return false;
  }
  return i == end;
}

bool ParseFloat(const String& s, char decimalSep, Extended& out) {
  String c;
  if (!FloatSyntax(s, decimalSep, c)) return false;
  const Extended v = strtold_l(c.c_str(), nullptr, CLocale());
  if (std::isinf(v)) return false;
  out = v;
  return true;
}

// Straight to double, so the text is rounded once (not to long double first, then to double).
bool ParseDouble(const String& s, char decimalSep, double& out) {
  String c;
  if (!FloatSyntax(s, decimalSep, c)) return false;
  const double v = strtod_l(c.c_str(), nullptr, CLocale());
  if (std::isinf(v)) return false;
  out = v;
  return true;
}

[[noreturn]] void RaiseInvalidInteger(const String& s) { throw EConvertError(Format(rtlconsts::SInvalidInteger, s)); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Integers
// ---------------------------------------------------------------------------------------------
String IntToStr(Integer value) { return std::to_string(value); }
String IntToStr(Int64 value) { return std::to_string(value); }
String UIntToStr(UInt64 value) { return std::to_string(value); }

static String HexDigits(UInt64 v, Integer digits) {
  static const char* hex = "0123456789ABCDEF";
  String r;
  do {
    r.insert(r.begin(), hex[v & 15]);
    v >>= 4;
  } while (v != 0);
  if (digits > 32) digits = 32;
  if (static_cast<Integer>(r.size()) < digits) r.insert(0, static_cast<size_t>(digits) - r.size(), '0');
  return r;
}

String IntToHex(Integer value, Integer digits) { return HexDigits(static_cast<uint32_t>(value), digits); }
String IntToHex(Int64 value, Integer digits) { return HexDigits(static_cast<UInt64>(value), digits); }

Integer StrToInt(const String& s) {
  Int64 v;
  if (!ParseInteger(s, false, v)) RaiseInvalidInteger(s);
  return static_cast<Integer>(v);
}

Integer StrToIntDef(const String& s, Integer def) {
  Int64 v;
  return ParseInteger(s, false, v) ? static_cast<Integer>(v) : def;
}

bool TryStrToInt(const String& s, Integer& value) {
  Int64 v;
  if (!ParseInteger(s, false, v)) return false;
  value = static_cast<Integer>(v);
  return true;
}

Int64 StrToInt64(const String& s) {
  Int64 v;
  if (!ParseInteger(s, true, v)) RaiseInvalidInteger(s);
  return v;
}

Int64 StrToInt64Def(const String& s, Int64 def) {
  Int64 v;
  return ParseInteger(s, true, v) ? v : def;
}

bool TryStrToInt64(const String& s, Int64& value) { return ParseInteger(s, true, value); }

Integer HexToInt(const String& s) {
  if (s.empty() || s[0] == '-' || s[0] == '+' || s[0] == ' ') RaiseInvalidInteger(s);
  Int64 v;
  if (!ParseInteger("$" + s, false, v)) RaiseInvalidInteger(s);
  return static_cast<Integer>(v);
}

String BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs) return value ? "True" : "False";
  return value ? "-1" : "0";
}

bool TryStrToBool(const String& s, bool& value) {
  const String t = Trim(s);
  if (SameText(t, "True")) {
    value = true;
    return true;
  }
  if (SameText(t, "False")) {
    value = false;
    return true;
  }
  Extended f;
  if (TryStrToFloat(t, f)) {
    value = f != 0;
    return true;
  }
  return false;
}

bool StrToBool(const String& s) {
  bool v;
  if (!TryStrToBool(s, v)) throw EConvertError(Format(rtlconsts::SInvalidBoolean, s));
  return v;
}

// ---------------------------------------------------------------------------------------------
// Floating point from text
// ---------------------------------------------------------------------------------------------
bool TryStrToFloat(const String& s, Extended& value, const TFormatSettings& fs) {
  return ParseFloat(s, fs.DecimalSeparator, value);
}
bool TryStrToFloat(const String& s, Extended& value) { return TryStrToFloat(s, value, FormatSettings); }
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& fs) {
  return ParseDouble(s, fs.DecimalSeparator, value);
}
bool TryStrToFloat(const String& s, double& value) { return TryStrToFloat(s, value, FormatSettings); }

Extended StrToFloat(const String& s, const TFormatSettings& fs) {
  Extended v;
  if (!ParseFloat(s, fs.DecimalSeparator, v)) throw EConvertError(Format(rtlconsts::SInvalidFloat, s));
  return v;
}
Extended StrToFloat(const String& s) { return StrToFloat(s, FormatSettings); }
Extended StrToFloatDef(const String& s, Extended def, const TFormatSettings& fs) {
  Extended v;
  return ParseFloat(s, fs.DecimalSeparator, v) ? v : def;
}
Extended StrToFloatDef(const String& s, Extended def) { return StrToFloatDef(s, def, FormatSettings); }

bool TextToFloat(const String& s, void* value, TFloatValue valueType, const TFormatSettings& fs) {
  Extended v;
  if (!ParseFloat(s, fs.DecimalSeparator, v)) return false;
  if (valueType == fvCurrency) {
    const Extended scaled = v * 10000;
    if (!(scaled > -9.2233720368547758e18L && scaled < 9.2233720368547758e18L)) return false;
    *static_cast<Int64*>(value) = Round(scaled);
  } else {
    *static_cast<Extended*>(value) = v;
  }
  return true;
}
bool TextToFloat(const String& s, void* value, TFloatValue valueType) {
  return TextToFloat(s, value, valueType, FormatSettings);
}

// ---------------------------------------------------------------------------------------------
// Floating point to text
// ---------------------------------------------------------------------------------------------
String FloatToStrF(Extended value, TFloatFormat format, Integer precision, Integer digits,
                   const TFormatSettings& fs) {
  if (!std::isfinite(value)) return SpecialValueText(value);
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  if (digits < 0) digits = 0;
  const bool negative = std::signbit(value);
  DecimalDigits d = ShortestDigits(negative ? -value : value);
  String body;
  switch (format) {
    case ffGeneral: {
      RoundToSignificant(d, precision);
      if (d.digits.empty()) {
        body = "0";
      } else if (d.exponent >= -4 && d.exponent <= precision) {
        const int decimals = std::max(0, static_cast<int>(d.digits.size()) - d.exponent);
        body = FixedText(d, decimals, false, fs);
      } else {
        body = ScientificText(d, precision, false, false, std::min<Integer>(digits, 4), fs.DecimalSeparator);
      }
      break;
    }
    case ffExponent:
      RoundToSignificant(d, precision);
      body = ScientificText(d, precision, true, true, std::min<Integer>(digits, 4), fs.DecimalSeparator);
      break;
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      if (digits > 18) digits = 18;
      if (!d.digits.empty() && d.exponent > precision && format == ffFixed) {
        return FloatToStrF(value, ffGeneral, precision, 0, fs);
      }
      if (!d.digits.empty()) RoundToSignificant(d, std::min(precision, d.exponent + digits));
      body = FixedText(d, digits, format != ffFixed, fs);
      if (format == ffCurrency) return CurrencyText(body, negative && !d.digits.empty(), fs);
      break;
    }
  }
  if (negative && !d.digits.empty()) body.insert(body.begin(), '-');
  return body;
}

String FloatToStrF(Extended value, TFloatFormat format, Integer precision, Integer digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings);
}

String FloatToStr(Extended value, const TFormatSettings& fs) { return FloatToStrF(value, ffGeneral, 15, 0, fs); }
String FloatToStr(Extended value) { return FloatToStr(value, FormatSettings); }
