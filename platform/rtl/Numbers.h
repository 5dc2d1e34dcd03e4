// Integer and floating-point conversion to and from text, with the locale separators of
// FormatSettings (or an explicit TFormatSettings).
#pragma once

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Types.h"

// ---- Integers ----
String IntToStr(Integer value);
String IntToStr(Int64 value);
String UIntToStr(UInt64 value);
inline String IntToStr(long long value) { return IntToStr(static_cast<Int64>(value)); }
inline String IntToStr(Cardinal value) { return IntToStr(static_cast<Int64>(value)); }
inline String IntToStr(unsigned long value) { return UIntToStr(value); }
inline String IntToStr(unsigned long long value) { return UIntToStr(value); }
// Upper-case hexadecimal with at least Digits digits: IntToHex(255, 4) = "00FF". Negative values
// show their two's complement (32 bits for Integer, 64 for Int64).
String IntToHex(Integer value, Integer digits);
String IntToHex(Int64 value, Integer digits);

// Decimal, or hexadecimal with a "$", "0x" or "x" prefix; leading blanks and a sign allowed; the
// whole text must be the number. Out of range or malformed raises EConvertError
// "'<text>' is not a valid integer value".
Integer StrToInt(const String& s);
Integer StrToIntDef(const String& s, Integer def);
bool TryStrToInt(const String& s, Integer& value);
Int64 StrToInt64(const String& s);
Int64 StrToInt64Def(const String& s, Int64 def);
bool TryStrToInt64(const String& s, Int64& value);
// Hexadecimal digits without prefix ("1F", "ff"); raises EConvertError like StrToInt.
Integer HexToInt(const String& s);

// "True"/"False" (or "-1"/"0" when useBoolStrs is false, as the class library).
String BoolToStr(bool value, bool useBoolStrs = false);
// Accepts "True"/"False" (any case) and numbers (0 = false); raises EConvertError otherwise.
bool StrToBool(const String& s);
bool TryStrToBool(const String& s, bool& value);

// ---- Floating point ----
// Blanks around the number are allowed; the decimal separator is the locale's only (a '.' under a
// ',' locale is an error); an optional exponent "E[+|-]digits". Empty text is an error.
// Raises EConvertError "'<text>' is not a valid floating point value".
Extended StrToFloat(const String& s);
Extended StrToFloat(const String& s, const TFormatSettings& fs);
Extended StrToFloatDef(const String& s, Extended def);
Extended StrToFloatDef(const String& s, Extended def, const TFormatSettings& fs);
bool TryStrToFloat(const String& s, Extended& value);
bool TryStrToFloat(const String& s, Extended& value, const TFormatSettings& fs);
bool TryStrToFloat(const String& s, double& value);
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& fs);
enum TFloatValue { fvExtended, fvCurrency };
// Parses text into an Extended (fvExtended) or a Currency scaled Int64 (fvCurrency); false on error.
bool TextToFloat(const String& s, void* value, TFloatValue valueType);
bool TextToFloat(const String& s, void* value, TFloatValue valueType, const TFormatSettings& fs);

// General format with 15 significant digits: "0.1", "1234.5", "1E15", "1E-5", "-INF", "NAN".
String FloatToStr(Extended value);
String FloatToStr(Extended value, const TFormatSettings& fs);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
// ffGeneral: shortest of fixed/scientific with Precision significant digits (Digits = minimum
//   exponent digits); ffExponent: "d.dddE+dddd" with Precision digits, Digits exponent digits;
// ffFixed / ffNumber (with thousands separators) / ffCurrency: Digits decimals.
String FloatToStrF(Extended value, TFloatFormat format, Integer precision, Integer digits);
String FloatToStrF(Extended value, TFloatFormat format, Integer precision, Integer digits,
                   const TFormatSettings& fs);

// Picture format: up to three sections "positive;negative;zero" of 0 # . , E+ E- e+ e- and
// literals ('text', "text", other characters). Rounds decimally, half away from zero, on the
// shortest decimal text of the value: FormatFloat("0.0", 88.45) = "88.5". An empty format gives
// FloatToStr's text.
String FormatFloat(const String& format, Extended value);
String FormatFloat(const String& format, Extended value, const TFormatSettings& fs);
