// The 34-byte BCD record: decimal arithmetic on digit strings, text, number conversions and the FMTBcd
// variant type.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/rtl/CodePages.h"
#include "platform/rtl/FmtBcd.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/VarInternal.h"

namespace {

constexpr size_t kMaxDigits = 64;
constexpr Integer kMaxPlaces = 63;

// A decimal number: the digits ('0'..'9', no sign) times 10^-Scale. The digits hold at least Scale
// characters once normalised, so the integer part is the first size - Scale of them.
struct Decimal {
  bool Negative = false;
  String Digits;
  Integer Scale = 0;

  bool IsZero() const { return Digits.find_first_not_of('0') == String::npos; }
};

// Drops the leading zeros of the integer part and pads the fraction so that it has Scale digits.
void Normalise(Decimal& d) {
  if (d.Scale < 0) {
    d.Digits.append(static_cast<size_t>(-d.Scale), '0');
    d.Scale = 0;
  }
  if (d.Digits.size() < static_cast<size_t>(d.Scale)) d.Digits.insert(0, static_cast<size_t>(d.Scale) - d.Digits.size(), '0');
  size_t lead = 0;
  while (lead + static_cast<size_t>(d.Scale) < d.Digits.size() && d.Digits[lead] == '0') ++lead;
  d.Digits.erase(0, lead);
  if (d.Digits.empty()) d.Digits = "0";
  if (d.IsZero()) d.Negative = false;
}

// Rounds to NewScale digits behind the point (a negative NewScale rounds to tens, hundreds, ...): half
// away from zero, or half to even.
void RoundToScale(Decimal& d, Integer NewScale, bool HalfEven) {
  if (NewScale >= d.Scale) {
    d.Digits.append(static_cast<size_t>(NewScale - d.Scale), '0');
    d.Scale = NewScale;
    Normalise(d);
    return;
  }
  const size_t drop = static_cast<size_t>(d.Scale - NewScale);
  if (d.Digits.size() <= drop) d.Digits.insert(0, drop - d.Digits.size() + 1, '0');
  String kept = d.Digits.substr(0, d.Digits.size() - drop);
  const String dropped = d.Digits.substr(d.Digits.size() - drop);
  bool up = false;
  if (dropped[0] > '5') {
    up = true;
  } else if (dropped[0] == '5') {
    const bool rest = dropped.find_first_not_of('0', 1) != String::npos;
    up = rest || !HalfEven || ((kept.back() - '0') % 2 == 1);
  }
  if (up) {
    size_t i = kept.size();
    while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
    if (i == 0) {
      kept.insert(0, 1, '1');
    } else {
      ++kept[i - 1];
    }
  }
  d.Digits = std::move(kept);
  d.Scale = NewScale;
  Normalise(d);
}

// Brings a number within the record's limits: at most 63 digits behind the point and 64 in all.
void Fit(Decimal& d) {
  Normalise(d);
  if (d.Scale > kMaxPlaces) RoundToScale(d, kMaxPlaces, false);
  while (d.Digits.size() > kMaxDigits) {
    const Integer excess = static_cast<Integer>(d.Digits.size() - kMaxDigits);
    if (excess > d.Scale) throw EBcdOverflowException("BCD overflow");
    RoundToScale(d, d.Scale - excess, false);
  }
}

Decimal Unpack(const TBcd& b) {
  if (b.Precision > kMaxDigits) throw EBcdException("Invalid BCD value");
  Decimal d;
  d.Negative = (b.SignSpecialPlaces & 0x80) != 0;
  d.Scale = b.SignSpecialPlaces & 0x3F;
  d.Digits.reserve(b.Precision);
  for (Integer i = 0; i < b.Precision; ++i) {
    const Byte pair = b.Fraction[i / 2];
    const Byte digit = (i % 2 == 0) ? pair >> 4 : pair & 0x0F;
    if (digit > 9) throw EBcdException("Invalid BCD value");
    d.Digits.push_back(static_cast<char>('0' + digit));
  }
  Normalise(d);
  return d;
}

TBcd Pack(Decimal d) {
  Fit(d);
  TBcd b;
  b.Precision = static_cast<Byte>(d.Digits.size());
  b.SignSpecialPlaces = static_cast<Byte>((d.Negative ? 0x80 : 0) | d.Scale);
  for (size_t i = 0; i < d.Digits.size(); ++i) {
    const Byte digit = static_cast<Byte>(d.Digits[i] - '0');
    b.Fraction[i / 2] |= (i % 2 == 0) ? static_cast<Byte>(digit << 4) : digit;
  }
  return b;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Sign, digits with one optional separator, optional exponent; false for anything else.
bool Parse(const String& text, char separator, Decimal& d) {
  const String s = Trim(text);
  size_t i = 0;
  d = Decimal();
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) d.Negative = s[i++] == '-';
  bool any = false;
  bool point = false;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      d.Digits.push_back(s[i]);
      if (point) ++d.Scale;
      any = true;
    } else if (s[i] == separator && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!any) return false;
  Int64 exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= s.size() || !IsDigit(s[i])) return false;
    for (; i < s.size() && IsDigit(s[i]); ++i) exponent = std::min<Int64>(exponent * 10 + (s[i] - '0'), 100000);
    if (negative) exponent = -exponent;
  }
  if (i != s.size()) return false;
  Normalise(d);
  if (d.IsZero()) {
    d = Decimal();
    d.Digits = "0";
    return true;
  }
  // Far beyond the limits: nothing but rounding to zero or an overflow can come of it.
  const Int64 scale = d.Scale - exponent;
  const Int64 integerDigits = static_cast<Int64>(d.Digits.size()) - scale;
  if (integerDigits > static_cast<Int64>(kMaxDigits)) throw EBcdOverflowException("BCD overflow");
  if (-integerDigits > kMaxPlaces + 1) {
    d = Decimal();
    d.Digits = "0";
    return true;
  }
  d.Scale = static_cast<Integer>(scale);
  Normalise(d);
  return true;
}

String Text(const Decimal& d) {
  const size_t integerDigits = d.Digits.size() - static_cast<size_t>(d.Scale);
  String s = d.Negative && !d.IsZero() ? "-" : "";
  s += integerDigits == 0 ? String("0") : d.Digits.substr(0, integerDigits);
  if (d.Scale > 0) {
    s += FormatSettings.DecimalSeparator;
    s += d.Digits.substr(integerDigits);
  }
  return s;
}

void DropTrailingZeros(Decimal& d) {
  Normalise(d);  // so that the fraction has all its digits
  while (d.Scale > 0 && d.Digits.back() == '0') {
    d.Digits.pop_back();
    --d.Scale;
  }
  Normalise(d);
}

Integer CompareMagnitude(Decimal a, Decimal b) {
  const Integer scale = std::max(a.Scale, b.Scale);
  a.Digits.append(static_cast<size_t>(scale - a.Scale), '0');
  b.Digits.append(static_cast<size_t>(scale - b.Scale), '0');
  const size_t la = a.Digits.find_first_not_of('0');
  const size_t lb = b.Digits.find_first_not_of('0');
  const String x = la == String::npos ? String() : a.Digits.substr(la);
  const String y = lb == String::npos ? String() : b.Digits.substr(lb);
  if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
  const int c = x.compare(y);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// ---- The variant type ----

class TFMTBcdValue : public TCustomVarValue {
 public:
  explicit TFMTBcdValue(const TBcd& ABcd) : Bcd(ABcd) {}
  TBcd Bcd;
};

class TFMTBcdVariantType : public TCustomVariantType {
 public:
  TFMTBcdVariantType() : TCustomVariantType("FMTBcd") {}

  static const TBcd& ValueOf(const Variant& v) { return static_cast<const TFMTBcdValue*>(v.CustomValue())->Bcd; }

  Variant CastTo(const Variant& source, TVarType target) const override {
    const TBcd& bcd = ValueOf(source);
    try {
      switch (target) {
        case varString:
          return Variant(BcdToStr(bcd));
        case varOleStr:
          return Variant(Utf8ToWide(BcdToStr(bcd)));
        case varSingle:
        case varDouble:
        case varDate:
          return VarAsType(Variant(BcdToDouble(bcd)), target);
        case varCurrency:
          return Variant(BcdToCurrency(bcd));
        case varBoolean:
          return Variant(!Unpack(bcd).IsZero());
        default:
          if (k58::rtl::IsIntKind(target)) return VarAsType(Variant(BcdToInt64(bcd)), target);
          break;
      }
    } catch (const EBcdOverflowException&) {
      k58::rtl::RaiseConvertOverflow(VarType(), target);
    } catch (const EBcdException&) {
      k58::rtl::RaiseCastError(VarType(), target);
    }
    k58::rtl::RaiseCastError(VarType(), target);
  }

  Variant CastFrom(const Variant& source) const override {
    const TVarType kind = VariantAccess::Kind(source);
    try {
      switch (kind) {
        case varEmpty:
          return VarFMTBcdCreate(IntegerToBcd(0));
        case varString:
        case varOleStr: {
          TBcd bcd;
          if (TryStrToBcd(source.AsString(), bcd)) return VarFMTBcdCreate(bcd);
          break;
        }
        case varCurrency:
          return VarFMTBcdCreate(CurrencyToBcd(source.AsCurrency()));
        case varSingle:
        case varDouble:
        case varDate:
          return VarFMTBcdCreate(DoubleToBcd(source.AsDouble()));
        default:
          if (k58::rtl::IsIntKind(kind) || kind == varBoolean) return VarFMTBcdCreate(IntegerToBcd(k58::rtl::IntValue(source)));
          if (source.IsCustom()) return VarFMTBcdCreate(DoubleToBcd(source.AsDouble()));
          break;
      }
    } catch (const EBcdOverflowException&) {
      k58::rtl::RaiseConvertOverflow(kind, VarType());
    } catch (const EBcdException&) {
      k58::rtl::RaiseCastError(kind, VarType());
    }
    k58::rtl::RaiseCastError(kind, VarType());
  }

  int Compare(const Variant& a, const Variant& b) const override { return BcdCompare(ValueOf(a), ValueOf(b)); }
  bool IsNumeric() const override { return true; }
};

const TFMTBcdVariantType& BcdType() {
  static const TFMTBcdVariantType type;
  return type;
}

}  // namespace

bool TryStrToBcd(const String& AValue, TBcd& ABcd) {
  Decimal d;
  try {
    if (!Parse(AValue, FormatSettings.DecimalSeparator, d)) return false;
    ABcd = Pack(d);
  } catch (const EBcdException&) {
    return false;
  }
  return true;
}

TBcd StrToBcd(const String& AValue) {
  Decimal d;
  if (!Parse(AValue, FormatSettings.DecimalSeparator, d)) throw EBcdException(Format("'%s' is not a valid BCD value", AValue));
  return Pack(d);
}

String BcdToStr(const TBcd& ABcd) { return BcdToStrF(ABcd, ffGeneral, 0, 0); }

String BcdToStrF(const TBcd& ABcd, TFloatFormat AFormat, Integer APrecision, Integer ADigits) {
  Decimal d = Unpack(ABcd);
  if (AFormat == ffFixed) {
    RoundToScale(d, std::clamp<Integer>(ADigits, 0, 1000), false);
    return Text(d);
  }
  DropTrailingZeros(d);
  const Integer significant = static_cast<Integer>(d.Digits.find_first_not_of('0') == String::npos
                                                        ? 0
                                                        : d.Digits.size() - d.Digits.find_first_not_of('0'));
  if (APrecision > 0 && significant > APrecision) {
    RoundToScale(d, d.Scale - (significant - APrecision), false);
    DropTrailingZeros(d);
  }
  return Text(d);
}

TBcd DoubleToBcd(double AValue) {
  if (!std::isfinite(AValue)) throw EBcdException("Invalid BCD value");
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, AValue);
  Decimal d;
  if (!Parse(String(buffer, result.ptr), '.', d)) throw EBcdException("Invalid BCD value");
  return Pack(d);
}

double BcdToDouble(const TBcd& ABcd) {
  const Decimal d = Unpack(ABcd);
  const String text = d.Digits + "e-" + std::to_string(d.Scale);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return d.Negative ? -value : value;
}

TBcd IntegerToBcd(Int64 AValue) {
  Decimal d;
  d.Negative = AValue < 0;
  const UInt64 magnitude = AValue < 0 ? 0 - static_cast<UInt64>(AValue) : static_cast<UInt64>(AValue);
  d.Digits = std::to_string(magnitude);
  return Pack(d);
}

Int64 BcdToInt64(const TBcd& ABcd) {
  Decimal d = Unpack(ABcd);
  RoundToScale(d, 0, true);
  if (d.Digits.size() > 19) throw EBcdOverflowException("BCD overflow");
  const UInt64 magnitude = std::stoull(d.Digits);
  const UInt64 limit = d.Negative ? UInt64{1} << 63 : (UInt64{1} << 63) - 1;
  if (magnitude > limit) throw EBcdOverflowException("BCD overflow");
  return d.Negative ? static_cast<Int64>(0 - magnitude) : static_cast<Int64>(magnitude);
}

TBcd CurrencyToBcd(Currency AValue) {
  Decimal d;
  d.Negative = AValue.Scaled < 0;
  const UInt64 magnitude = AValue.Scaled < 0 ? 0 - static_cast<UInt64>(AValue.Scaled) : static_cast<UInt64>(AValue.Scaled);
  d.Digits = std::to_string(magnitude);
  d.Scale = 4;
  DropTrailingZeros(d);
  return Pack(d);
}

Currency BcdToCurrency(const TBcd& ABcd) {
  Decimal d = Unpack(ABcd);
  RoundToScale(d, 4, true);
  if (d.Digits.size() > 19) throw EBcdOverflowException("BCD overflow");
  const UInt64 magnitude = std::stoull(d.Digits);
  const UInt64 limit = d.Negative ? UInt64{1} << 63 : (UInt64{1} << 63) - 1;
  if (magnitude > limit) throw EBcdOverflowException("BCD overflow");
  return Currency::FromScaled(d.Negative ? static_cast<Int64>(0 - magnitude) : static_cast<Int64>(magnitude));
}

Integer BcdCompare(const TBcd& A, const TBcd& B) {
  const Decimal a = Unpack(A);
  const Decimal b = Unpack(B);
  const bool negA = a.Negative && !a.IsZero();
  const bool negB = b.Negative && !b.IsZero();
  if (negA != negB) return negA ? -1 : 1;
  const Integer magnitude = CompareMagnitude(a, b);
  return negA ? -magnitude : magnitude;
}

TVarType VarFMTBcd() { return BcdType().VarType(); }

Variant VarFMTBcdCreate(const TBcd& ABcd) { return Variant::FromCustom(BcdType(), new TFMTBcdValue(ABcd)); }

bool VarIsFMTBcd(const Variant& AValue) { return AValue.CustomType() == &BcdType(); }

TBcd VarToBcd(const Variant& AValue) {
  if (VarIsFMTBcd(AValue)) return TFMTBcdVariantType::ValueOf(AValue);
  return TFMTBcdVariantType::ValueOf(VarAsType(AValue, VarFMTBcd()));
}
