// Variant comparison, type tests, array builders and the stream helpers.
#include "controls/foundation/uiVariants.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "platform/rtl/FmtBcd.h"
#include "platform/rtl/SqlTimeStamp.h"

static_assert(LDBL_MANT_DIG == 64, "Extended is the x87 80-bit format");
static_assert(std::endian::native == std::endian::little, "the stream format is little-endian, as the host");

namespace {

// Codes of the variant stream.
enum : Byte {
  vscNull = 0,
  vscArray = 1,
  vscShortInt = 2,
  vscSmallInt = 3,
  vscInteger = 4,
  vscDouble = 5,
  vscString = 6,
  vscFalse = 8,
  vscTrue = 9,
  vscLongString = 12,
  vscEmpty = 13,
  vscSingle = 15,
  vscCurrency = 16,
  vscDate = 17,
  vscWideString = 18,
};

// UTF-16 units travel in blocks whose byte count fits an Integer (the host is little-endian).
constexpr size_t kUnitsPerChunk = size_t{1} << 20;

[[noreturn]] void RaiseReadError() { throw EReadError(classesconsts::SReadError); }
[[noreturn]] void RaiseWriteError() { throw EWriteError(classesconsts::SWriteError); }

// A length read from the stream must fit in what is left of it before anything is allocated.
void CheckLength(TStream* AStream, Int64 ABytes) {
  if (ABytes < 0 || ABytes > AStream->Size() - AStream->Position()) RaiseReadError();
}

template <class T>
T ReadRaw(TStream* AStream) {
  T value;
  AStream->ReadBuffer(&value, sizeof value);
  return value;
}

template <class T>
void WriteRaw(TStream* AStream, T AValue) {
  AStream->WriteBuffer(&AValue, sizeof AValue);
}

// The payload of a string item behind its length.
String ReadStringBytes(TStream* AStream, Int64 ALength) {
  CheckLength(AStream, ALength);
  String s(static_cast<size_t>(ALength), '\0');
  if (ALength > 0) AStream->ReadBuffer(s.data(), static_cast<Integer>(ALength));
  return s;
}

void WriteStringItem(TStream* AStream, const String& AValue) {
  if (AValue.size() <= 255) {
    WriteRaw<Byte>(AStream, vscString);
    WriteRaw<Byte>(AStream, static_cast<Byte>(AValue.size()));
  } else {
    WriteRaw<Byte>(AStream, vscLongString);
    WriteRaw<Integer>(AStream, static_cast<Integer>(AValue.size()));
  }
  if (!AValue.empty()) AStream->WriteBuffer(AValue.data(), static_cast<Integer>(AValue.size()));
}

void WriteIntegerItem(TStream* AStream, Integer AValue) {
  if (AValue >= -128 && AValue <= 127) {
    WriteRaw<Byte>(AStream, vscShortInt);
    WriteRaw<ShortInt>(AStream, static_cast<ShortInt>(AValue));
  } else if (AValue >= -32768 && AValue <= 32767) {
    WriteRaw<Byte>(AStream, vscSmallInt);
    WriteRaw<SmallInt>(AStream, static_cast<SmallInt>(AValue));
  } else {
    WriteRaw<Byte>(AStream, vscInteger);
    WriteRaw<Integer>(AStream, AValue);
  }
}

void WriteItem(TStream* AStream, const Variant& V, Integer ADepth) {
  if (V.IsArray()) {
    if (VarArrayDimCount(V) > 1 || ADepth >= MaxVariantStreamNesting) RaiseWriteError();
    const Integer low = VarArrayLowBound(V, 1);
    const Integer high = VarArrayHighBound(V, 1);
    WriteRaw<Byte>(AStream, vscArray);
    WriteIntegerItem(AStream, high - low + 1);
    for (Integer i = low; i <= high; ++i) WriteItem(AStream, VarArrayGet(V, {i}), ADepth + 1);
    return;
  }
  const TVarType type = V.IsObject() ? varUnknown : static_cast<TVarType>(VarType(V) & varTypeMask);
  switch (type) {
    case varEmpty:
      WriteRaw<Byte>(AStream, vscEmpty);
      return;
    case varNull:
      WriteRaw<Byte>(AStream, vscNull);
      return;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
      WriteIntegerItem(AStream, V.AsInteger());
      return;
    case varSingle:
      WriteRaw<Byte>(AStream, vscSingle);
      WriteRaw<Single>(AStream, static_cast<Single>(V.AsDouble()));
      return;
    case varDouble:
      WriteRaw<Byte>(AStream, vscDouble);
      WriteFloatToStream(AStream, V.AsDouble());
      return;
    case varCurrency:
      WriteRaw<Byte>(AStream, vscCurrency);
      WriteCurrencyToStream(AStream, V.AsCurrency());
      return;
    case varDate:
      WriteRaw<Byte>(AStream, vscDate);
      WriteDateTimeToStream(AStream, V.AsDateTime());
      return;
    case varOleStr:
      WriteRaw<Byte>(AStream, vscWideString);
      WriteWideStringToStream(AStream, V.WideStringRef());
      return;
    case varBoolean:
      WriteRaw<Byte>(AStream, V.AsBoolean() ? vscTrue : vscFalse);
      return;
    case varString:
      WriteStringItem(AStream, V.StringRef());
      return;
    default:
      break;
  }
  String text;
  try {
    text = V.AsString();
  } catch (const EVariantError&) {
    RaiseWriteError();
  }
  WriteStringItem(AStream, text);
}

// An integer item's value (codes 2, 3 and 4 only).
Integer ReadIntegerItem(TStream* AStream) {
  switch (ReadRaw<Byte>(AStream)) {
    case vscShortInt:
      return ReadRaw<ShortInt>(AStream);
    case vscSmallInt:
      return ReadRaw<SmallInt>(AStream);
    case vscInteger:
      return ReadRaw<Integer>(AStream);
    default:
      RaiseReadError();
  }
}

Variant ReadItem(TStream* AStream, Integer ADepth) {
  switch (ReadRaw<Byte>(AStream)) {
    case vscNull:
      return Null();
    case vscArray: {
      if (ADepth >= MaxVariantStreamNesting) RaiseReadError();
      const Integer count = ReadIntegerItem(AStream);
      // Every item takes at least its code byte.
      CheckLength(AStream, count);
      Variant result = VarArrayCreate({0, count - 1}, varVariant);
      for (Integer i = 0; i < count; ++i) VarArrayPut(result, ReadItem(AStream, ADepth + 1), {i});
      return result;
    }
    case vscShortInt:
      return Variant(ReadRaw<ShortInt>(AStream));
    case vscSmallInt:
      return Variant(ReadRaw<SmallInt>(AStream));
    case vscInteger:
      return Variant(ReadRaw<Integer>(AStream));
    case vscDouble: {
      Extended value = 0;
      ReadFloatFromStreamVar(AStream, value);
      return Variant(k58::foundation::ExtendedToDouble(value));
    }
    case vscString:
      return Variant(ReadStringBytes(AStream, ReadRaw<Byte>(AStream)));
    case vscLongString:
      return Variant(ReadStringBytes(AStream, ReadRaw<Integer>(AStream)));
    case vscFalse:
      return Variant(false);
    case vscTrue:
      return Variant(true);
    case vscEmpty:
      return Variant();
    case vscSingle:
      return Variant(ReadRaw<Single>(AStream));
    case vscCurrency:
      return Variant(ReadCurrencyFromStream(AStream));
    case vscDate:
      return Variant::FromDateTime(ReadDateTimeFromStream(AStream));
    case vscWideString:
      return Variant(ReadWideStringFromStream(AStream));
    default:
      RaiseReadError();
  }
}

// Integers of 32 bits and less, without a conversion.
bool IsSmallIntKind(TVarType AType) {
  return AType == varSmallint || AType == varInteger || AType == varShortInt || AType == varByte ||
         AType == varWord;
}

}  // namespace

// ---- Comparison and tests -----------------------------------------------------------------------------

Integer CompareVariants(const Variant& V1, const Variant& V2) {
  const bool array1 = V1.IsArray();
  const bool array2 = V2.IsArray();
  if (array1 || array2) {
    if (!array2) return 1;
    if (!array1) return -1;
    const Integer high = VarArrayHighBound(V1, 1);
    const Integer difference = high - VarArrayHighBound(V2, 1);
    if (difference != 0) return difference;
    for (Integer i = 0; i <= high; ++i) {
      const Integer r = CompareVariants(VarArrayGet(V1, {i}), VarArrayGet(V2, {i}));
      if (r != 0) return r;
    }
    return 0;
  }
  // Same-kind strings and small integers, the common keys, without the general rules' copies.
  const TVarType t1 = VarType(V1);
  const TVarType t2 = VarType(V2);
  if (t1 == varString && t2 == varString) {
    const int c = V1.StringRef().compare(V2.StringRef());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  if (IsSmallIntKind(t1) && IsSmallIntKind(t2) && !V1.IsObject() && !V2.IsObject()) {
    const Integer a = V1.AsInteger();
    const Integer b = V2.AsInteger();
    return a < b ? -1 : (a > b ? 1 : 0);
  }
  try {
    switch (VarCompareValue(V1, V2)) {
      case vrEqual:
        return 0;
      case vrGreaterThan:
        return 1;
      case vrLessThan:
      case vrNotEqual:
        return -1;
    }
  } catch (const EVariantError&) {
    // values the rules cannot order
  }
  return -1;
}

bool AreVariantsEqual(const Variant& V1, const Variant& V2) { return CompareVariants(V1, V2) == 0; }

bool AreVariantsSame(const Variant& V1, const Variant& V2) {
  if (V1.IsNull() || V2.IsNull() || (VarType(V1) != varBoolean && VarType(V2) != varBoolean))
    return AreVariantsEqual(V1, V2);
  try {
    return VarCompareValue(VarAsType(V1, varString), VarAsType(V2, varString)) == vrEqual;
  } catch (const EVariantError&) {
    return false;
  }
}

bool IsDateTimeVarType(TVarType AVarType) { return AVarType == varDate || AVarType == VarSQLTimeStamp(); }
bool IsDateTimeVariant(const Variant& V) { return IsDateTimeVarType(VarType(V)); }
bool IsNumericVariant(const Variant& V) { return VarIsNumeric(V) || VarIsFMTBcd(V); }

bool IsNullOrEmptyTextVariant(const Variant& V) {
  if (V.IsNull()) return true;
  if (V.IsString()) return V.StringRef().empty();
  if (V.IsOleStr()) return V.WideStringRef().empty();
  return false;
}

bool IsCurrencyVarType(TVarType AVarType) { return AVarType == varCurrency || AVarType == VarFMTBcd(); }

// ---- Arrays -------------------------------------------------------------------------------------------

Variant MakeVariantPair(const Variant& V1, const Variant& V2) { return VarArrayOf({V1, V2}); }

Variant MakeVariantSingleArray(const Variant& V) { return VarArrayOf({V}); }

void AppendToVariantArray(Variant& AArray, const Variant& V) {
  const Integer high = VarArrayHighBound(AArray, 1);
  Variant result = VarArrayCreate({0, high + 1}, varVariant);
  for (Integer i = 0; i <= high; ++i) VarArrayPut(result, VarArrayGet(AArray, {i}), {i});
  VarArrayPut(result, V, {high + 1});
  AArray = std::move(result);
}

// ---- Fixed-width stream helpers -----------------------------------------------------------------------

String ReadAnsiStringFromStream(TStream* AStream) { return ReadStringBytes(AStream, ReadRaw<Integer>(AStream)); }
void ReadAnsiStringFromStreamVar(TStream* AStream, String& AValue) { AValue = ReadAnsiStringFromStream(AStream); }
void WriteAnsiStringToStream(TStream* AStream, const String& AValue) {
  WriteRaw<Integer>(AStream, static_cast<Integer>(AValue.size()));
  if (!AValue.empty()) AStream->WriteBuffer(AValue.data(), static_cast<Integer>(AValue.size()));
}

WideString ReadWideStringFromStream(TStream* AStream) {
  const Integer count = ReadRaw<Integer>(AStream);
  CheckLength(AStream, count < 0 ? -1 : Int64{count} * 2);
  WideString s(static_cast<size_t>(count), u'\0');
  for (size_t done = 0; done < s.size();) {
    const size_t chunk = std::min<size_t>(s.size() - done, kUnitsPerChunk);
    AStream->ReadBuffer(s.data() + done, static_cast<Integer>(chunk * 2));
    done += chunk;
  }
  return s;
}
void ReadWideStringFromStreamVar(TStream* AStream, WideString& AValue) { AValue = ReadWideStringFromStream(AStream); }
void WriteWideStringToStream(TStream* AStream, const WideString& AValue) {
  WriteRaw<Integer>(AStream, static_cast<Integer>(AValue.size()));
  for (size_t done = 0; done < AValue.size();) {
    const size_t chunk = std::min<size_t>(AValue.size() - done, kUnitsPerChunk);
    AStream->WriteBuffer(AValue.data() + done, static_cast<Integer>(chunk * 2));
    done += chunk;
  }
}

bool ReadBooleanFromStream(TStream* AStream) { return ReadRaw<Byte>(AStream) != 0; }
void ReadBooleanFromStreamVar(TStream* AStream, bool& AValue) { AValue = ReadBooleanFromStream(AStream); }
void WriteBooleanToStream(TStream* AStream, bool AValue) { WriteRaw<Byte>(AStream, AValue ? 1 : 0); }

Byte ReadByteFromStream(TStream* AStream) { return ReadRaw<Byte>(AStream); }
void ReadByteFromStreamVar(TStream* AStream, Byte& AValue) { AValue = ReadByteFromStream(AStream); }
void WriteByteToStream(TStream* AStream, Byte AValue) { WriteRaw<Byte>(AStream, AValue); }

SmallInt ReadSmallIntFromStream(TStream* AStream) { return ReadRaw<SmallInt>(AStream); }
void ReadSmallIntFromStreamVar(TStream* AStream, SmallInt& AValue) { AValue = ReadSmallIntFromStream(AStream); }
void WriteSmallIntToStream(TStream* AStream, SmallInt AValue) { WriteRaw<SmallInt>(AStream, AValue); }

Word ReadWordFromStream(TStream* AStream) { return static_cast<Word>(ReadSmallIntFromStream(AStream)); }
void ReadWordFromStreamVar(TStream* AStream, Word& AValue) { AValue = ReadWordFromStream(AStream); }
void WriteWordToStream(TStream* AStream, Word AValue) { WriteSmallIntToStream(AStream, static_cast<SmallInt>(AValue)); }

Integer ReadIntegerFromStream(TStream* AStream) { return ReadRaw<Integer>(AStream); }
void ReadIntegerFromStreamVar(TStream* AStream, Integer& AValue) { AValue = ReadIntegerFromStream(AStream); }
void WriteIntegerToStream(TStream* AStream, Integer AValue) { WriteRaw<Integer>(AStream, AValue); }

Int64 ReadLargeIntFromStream(TStream* AStream) { return ReadRaw<Int64>(AStream); }
void ReadLargeIntFromStreamVar(TStream* AStream, Int64& AValue) { AValue = ReadLargeIntFromStream(AStream); }
void WriteLargeIntToStream(TStream* AStream, Int64 AValue) { WriteRaw<Int64>(AStream, AValue); }

Currency ReadCurrencyFromStream(TStream* AStream) { return Currency::FromScaled(ReadRaw<Int64>(AStream)); }
void ReadCurrencyFromStreamVar(TStream* AStream, Currency& AValue) { AValue = ReadCurrencyFromStream(AStream); }
void WriteCurrencyToStream(TStream* AStream, Currency AValue) { WriteRaw<Int64>(AStream, AValue.Scaled); }

TDateTime ReadDateTimeFromStream(TStream* AStream) { return ReadRaw<double>(AStream); }
void ReadDateTimeFromStreamVar(TStream* AStream, TDateTime& AValue) { AValue = ReadDateTimeFromStream(AStream); }
void WriteDateTimeToStream(TStream* AStream, TDateTime AValue) { WriteRaw<double>(AStream, AValue); }

void ReadFloatFromStreamVar(TStream* AStream, Extended& AValue) {
  Byte bytes[10];
  AStream->ReadBuffer(bytes, sizeof bytes);
  AValue = k58::foundation::BytesToExtended(bytes);
}

void WriteFloatToStream(TStream* AStream, Extended AValue) {
  Byte bytes[10];
  k58::foundation::ExtendedToBytes(AValue, bytes);
  AStream->WriteBuffer(bytes, sizeof bytes);
}

// ---- Variant items ------------------------------------------------------------------------------------

void WriteVariantToStream(TStream* AStream, const Variant& V) { WriteItem(AStream, V, 0); }

Variant ReadVariantFromStream(TStream* AStream) { return ReadItem(AStream, 0); }

namespace k58::foundation {

void ExtendedToBytes(Extended AValue, Byte (&ABytes)[10]) { std::memcpy(ABytes, &AValue, sizeof ABytes); }

Extended BytesToExtended(const Byte (&ABytes)[10]) {
  Extended value = 0;
  std::memcpy(&value, ABytes, sizeof ABytes);
  return value;
}

double ExtendedToDouble(Extended AValue) {
  if (std::isnan(AValue)) return std::nan("");
  if (AValue > DBL_MAX) return HUGE_VAL;
  if (AValue < -DBL_MAX) return -HUGE_VAL;
  return static_cast<double>(AValue);
}

}  // namespace k58::foundation
