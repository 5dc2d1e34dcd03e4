// Decimal numbers of up to 64 digits in the database run time's 34-byte BCD record, their text in fixed
// and general notation, conversions to and from numbers, and the FMTBcd custom variant type.
//
// The record: Precision (1..64) digits, kept as nibbles in Fraction, the first digit in the high nibble
// of byte 0; SignSpecialPlaces holds the sign in bit 7 (set for negative numbers) and the number of
// digits behind the decimal point in bits 0..5. Texts use the locale decimal separator of FormatSettings
// and no thousands separators. Values that need more than 64 digits (or more than 63 behind the point)
// keep their leading digits, rounded; more than 64 digits before the point is an overflow.
#pragma once

#include "platform/rtl/Exception.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/Variants.h"

struct TBcd {
  Byte Precision = 0;
  Byte SignSpecialPlaces = 0;
  Byte Fraction[32] = {};
};
static_assert(sizeof(TBcd) == 34, "the BCD record is 34 bytes");

// Texts that are no number, and records with a digit nibble above 9.
K58_DECLARE_EXCEPTION(EBcdException, Exception);
// A value with more than 64 digits before the decimal point.
K58_DECLARE_EXCEPTION(EBcdOverflowException, EBcdException);

// Optional sign, digits with an optional decimal separator, an optional exponent ("1.5E3"); blanks
// around the text are allowed. False for anything else.
bool TryStrToBcd(const String& AValue, TBcd& ABcd);
// As TryStrToBcd; raises EBcdException "'text' is not a valid BCD value" (or the overflow error).
TBcd StrToBcd(const String& AValue);
// General notation with every significant digit ("-12.5", "0.001", "300").
String BcdToStr(const TBcd& ABcd);
// ffGeneral: at most Precision significant digits (0: all), trailing zeros behind the point dropped;
// ffFixed: Digits digits behind the point. Rounding is half away from zero. Other formats are ffGeneral.
String BcdToStrF(const TBcd& ABcd, TFloatFormat AFormat, Integer APrecision, Integer ADigits);

// Raises EBcdException for NaN and infinities. The digits are the shortest that read back as the same
// double.
TBcd DoubleToBcd(double AValue);
double BcdToDouble(const TBcd& ABcd);
TBcd IntegerToBcd(Int64 AValue);
// Rounded half to even; EBcdOverflowException outside the Int64 range.
Int64 BcdToInt64(const TBcd& ABcd);
TBcd CurrencyToBcd(Currency AValue);
// Rounded half to even to four decimals; EBcdOverflowException outside the currency range.
Currency BcdToCurrency(const TBcd& ABcd);
// Three-way comparison of the values: < 0, 0, > 0 (zero has no sign).
Integer BcdCompare(const TBcd& A, const TBcd& B);

// The FMTBcd variant type: its code (assigned when first asked for), values made from a record, and
// the record of any variant that converts (EVariantTypeCastError otherwise). The type counts as
// numeric; beside other numbers it meets them as a Double; two of its values compare exactly.
TVarType VarFMTBcd();
Variant VarFMTBcdCreate(const TBcd& ABcd);
bool VarIsFMTBcd(const Variant& AValue);
TBcd VarToBcd(const Variant& AValue);
