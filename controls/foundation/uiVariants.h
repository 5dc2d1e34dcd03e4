// Variants as ordered values and on streams: a three-way comparison that takes Null, arrays and values of
// different types, type tests, small array builders, fixed-width stream helpers and a compact binary
// stream format for variants.
//
// CompareVariants is total in the sense that it never raises for scalars, but it is not an order for
// values that cannot be compared (a text that is no number beside a number answers -1 both ways): sort
// with a stable merge sort (std::stable_sort), which stays within bounds and keeps equal runs in place
// whatever such pairs answer.
//
// Stream format: numbers little-endian; an item is a code byte and its payload (Null 0, array 1, integers
// 2/3/4 in 1/2/4 bytes, Double 5 as a 10-byte extended, strings 6 (1-byte length) and 12 (4-byte length),
// Boolean False 8 and True 9, Empty 13, Single 15, Currency 16, Date 17, wide string 18 (count of UTF-16
// units, then the units)); other types travel as their text. Arrays nest at most
// MaxVariantStreamNesting deep. Reading checks every count and length against the bytes left on the
// stream before it allocates: a damaged stream raises EReadError "Stream read error".
#pragma once

#include "platform/classes/ClassErrors.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Variants.h"

// ---- Comparison and tests -----------------------------------------------------------------------------

// < 0, 0, > 0. Arrays come after scalars; two arrays compare by their high bounds (the difference is the
// answer), then element by element. Null equals Null and comes first; values the variant rules cannot
// compare answer -1.
Integer CompareVariants(const Variant& V1, const Variant& V2);
bool AreVariantsEqual(const Variant& V1, const Variant& V2);
// Equality in which a Boolean beside a non-Null value is compared by its text (True is "True").
bool AreVariantsSame(const Variant& V1, const Variant& V2);
// varDate and the SQL time-stamp variant type.
bool IsDateTimeVarType(TVarType AVarType);
bool IsDateTimeVariant(const Variant& V);
// The variant rules' numbers, and FMTBcd values.
bool IsNumericVariant(const Variant& V);
// Null, or a string (8-bit or wide) that is empty; Empty is not.
bool IsNullOrEmptyTextVariant(const Variant& V);
// varCurrency and the FMTBcd variant type.
bool IsCurrencyVarType(TVarType AVarType);

// ---- Arrays (one dimension of varVariant, low bound 0) ------------------------------------------------

Variant MakeVariantPair(const Variant& V1, const Variant& V2);
Variant MakeVariantSingleArray(const Variant& V);
// AArray [0..H] becomes [0..H+1] with V at H+1.
void AppendToVariantArray(Variant& AArray, const Variant& V);

// ---- Fixed-width stream helpers -----------------------------------------------------------------------
// A short read raises EReadError "Stream read error" (also for a negative or too large length).

String ReadAnsiStringFromStream(TStream* AStream);
void ReadAnsiStringFromStreamVar(TStream* AStream, String& AValue);
void WriteAnsiStringToStream(TStream* AStream, const String& AValue);
WideString ReadWideStringFromStream(TStream* AStream);
void ReadWideStringFromStreamVar(TStream* AStream, WideString& AValue);
void WriteWideStringToStream(TStream* AStream, const WideString& AValue);
// Written 0 or 1; any byte but 0 reads as True.
bool ReadBooleanFromStream(TStream* AStream);
void ReadBooleanFromStreamVar(TStream* AStream, bool& AValue);
void WriteBooleanToStream(TStream* AStream, bool AValue);
Byte ReadByteFromStream(TStream* AStream);
void ReadByteFromStreamVar(TStream* AStream, Byte& AValue);
void WriteByteToStream(TStream* AStream, Byte AValue);
SmallInt ReadSmallIntFromStream(TStream* AStream);
void ReadSmallIntFromStreamVar(TStream* AStream, SmallInt& AValue);
void WriteSmallIntToStream(TStream* AStream, SmallInt AValue);
Word ReadWordFromStream(TStream* AStream);
void ReadWordFromStreamVar(TStream* AStream, Word& AValue);
void WriteWordToStream(TStream* AStream, Word AValue);
Integer ReadIntegerFromStream(TStream* AStream);
void ReadIntegerFromStreamVar(TStream* AStream, Integer& AValue);
void WriteIntegerToStream(TStream* AStream, Integer AValue);
Int64 ReadLargeIntFromStream(TStream* AStream);
void ReadLargeIntFromStreamVar(TStream* AStream, Int64& AValue);
void WriteLargeIntToStream(TStream* AStream, Int64 AValue);
Currency ReadCurrencyFromStream(TStream* AStream);
void ReadCurrencyFromStreamVar(TStream* AStream, Currency& AValue);
void WriteCurrencyToStream(TStream* AStream, Currency AValue);
TDateTime ReadDateTimeFromStream(TStream* AStream);
void ReadDateTimeFromStreamVar(TStream* AStream, TDateTime& AValue);
void WriteDateTimeToStream(TStream* AStream, TDateTime AValue);
// The 10-byte x87 extended format.
void ReadFloatFromStreamVar(TStream* AStream, Extended& AValue);
void WriteFloatToStream(TStream* AStream, Extended AValue);

// ---- Variant items ------------------------------------------------------------------------------------

inline constexpr Integer MaxVariantStreamNesting = 64;

// An array of more than one dimension, nested deeper than MaxVariantStreamNesting, or a value without a
// text form raises EWriteError "Stream write error"; bytes already written stay.
void WriteVariantToStream(TStream* AStream, const Variant& V);
// Integers come back as the smallest of ShortInt, Smallint and Integer that holds them; types that
// travel as text come back as strings. An unknown code raises EReadError "Stream read error".
Variant ReadVariantFromStream(TStream* AStream);

namespace k58::foundation {
// The 10-byte extended of a value and back; values beyond the double range become infinities.
void ExtendedToBytes(Extended AValue, Byte (&ABytes)[10]);
Extended BytesToExtended(const Byte (&ABytes)[10]);
double ExtendedToDouble(Extended AValue);
}  // namespace k58::foundation
