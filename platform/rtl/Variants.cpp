// Variant: construction, copying, type inspection, conversions and custom types.
#include "platform/rtl/Variants.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <mutex>

#include "platform/rtl/CodePages.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/VarInternal.h"

using namespace k58::rtl;

// ---------------------------------------------------------------------------------------------------------
// Errors

namespace k58::rtl {

String KindName(TVarType kind) {
  if (kind == kVarObject) return "Object";
  return VarTypeAsText(kind);
}

void RaiseCastError(TVarType fromKind, TVarType toType) {
  throw EVariantTypeCastError("Could not convert variant of type (" + KindName(fromKind) + ") into type (" +
                              KindName(toType) + ")");
}

void RaiseConvertOverflow(TVarType fromKind, TVarType toType) {
  throw EVariantOverflowError("Overflow while converting variant of type (" + KindName(fromKind) +
                              ") into type (" + KindName(toType) + ")");
}

void RaiseOverflow() { throw EVariantOverflowError("Variant overflow"); }
void RaiseInvalidOp() { throw EVariantInvalidOpError("Invalid variant operation"); }
void RaiseBadIndex() { throw EVariantBadIndexError("Variant or safe array index out of bounds"); }
void RaiseInvalidArg() { throw EVariantInvalidArgError("Invalid argument"); }
void RaiseNotAnArray() { throw EVariantNotAnArrayError("Variant is not an array"); }
void RaiseArrayCreate() { throw EVariantArrayCreateError("Error creating variant or safe array"); }

bool RoundHalfEven(double value, Int64& result) {
  if (!std::isfinite(value)) return false;
  double floor = std::floor(value);
  double diff = value - floor;  // exact for doubles
  double rounded = floor;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1.0;
  // Int64 covers [-2^63, 2^63).
  if (rounded < -9223372036854775808.0 || rounded >= 9223372036854775808.0) return false;
  result = static_cast<Int64>(rounded);
  return true;
}

bool ParseNumber(const String& text, Variant& result) {
  Int64 i = 0;
  if (TryStrToInt64(text, i)) {
    if (i >= std::numeric_limits<Integer>::min() && i <= std::numeric_limits<Integer>::max())
      result = Variant(static_cast<Integer>(i));
    else
      result = Variant(i);
    return true;
  }
  double d = 0;
  if (TryStrToFloat(text, d)) {
    result = Variant(d);
    return true;
  }
  return false;
}

Int64 IntValue(const Variant& v) {
  const auto& d = VariantAccess::Data(v);
  switch (VariantAccess::Kind(v)) {
    case varSmallint: return d.i16;
    case varInteger: return d.i32;
    case varShortInt: return d.i8;
    case varByte: return d.u8;
    case varWord: return d.u16;
    case varLongWord: return d.u32;
    case varInt64: return d.i64;
    case varBoolean: return d.b ? -1 : 0;
    default: return 0;
  }
}

}  // namespace k58::rtl

// ---------------------------------------------------------------------------------------------------------
// Construction and copying

Variant& Variant::AssignShared(const Variant& other) noexcept {
  static_assert(kObjectKind == kVarObject, "one code for object references");
  if (this != &other) {
    other.Retain();
    ReleasePayload();
    vt_ = other.vt_;
    d_ = other.d_;
  }
  return *this;
}

bool Variant::HasPayload() const noexcept {
  return vt_ == varString || vt_ == varOleStr || (vt_ & varArray) != 0 || IsCustomCode(vt_);
}

void Variant::Retain() const noexcept {
  if (HasPayload())
    d_.heap->AddRef();
  else if (vt_ == varDispatch && d_.disp != nullptr)
    d_.disp->AddRef();
}

void Variant::ReleasePayload() noexcept {
  if (HasPayload()) {
    if (d_.heap->Release()) delete d_.heap;
  } else if (vt_ == varDispatch && d_.disp != nullptr) {
    d_.disp->Release();
  }
  vt_ = varEmpty;
  d_.i64 = 0;
}

void Variant::Clear() noexcept { ReleasePayload(); }

Variant::Variant(ShortInt value) noexcept : vt_(varShortInt) { d_.i64 = 0; d_.i8 = value; }
Variant::Variant(Byte value) noexcept : vt_(varByte) { d_.i64 = 0; d_.u8 = value; }
Variant::Variant(SmallInt value) noexcept : vt_(varSmallint) { d_.i64 = 0; d_.i16 = value; }
Variant::Variant(Word value) noexcept : vt_(varWord) { d_.i64 = 0; d_.u16 = value; }
Variant::Variant(LongWord value) noexcept : vt_(varLongWord) { d_.i64 = 0; d_.u32 = value; }
Variant::Variant(Single value) noexcept : vt_(varSingle) { d_.i64 = 0; d_.sgl = value; }
Variant::Variant(Extended value) noexcept : vt_(varDouble) { d_.dbl = static_cast<double>(value); }
Variant::Variant(Currency value) noexcept : vt_(varCurrency) { d_.i64 = value.Scaled; }
Variant::Variant(const char* value) : Variant(String(value != nullptr ? value : "")) {}
Variant::Variant(const String& value) : vt_(varString) { d_.heap = new StringPayload(value); }
Variant::Variant(String&& value) : vt_(varString) { d_.heap = new StringPayload(std::move(value)); }
Variant::Variant(const char16_t* value) : Variant(WideString(value != nullptr ? value : u"")) {}
Variant::Variant(const WideString& value) : vt_(varOleStr) { d_.heap = new WideStringPayload(value); }
Variant::Variant(WideString&& value) : vt_(varOleStr) { d_.heap = new WideStringPayload(std::move(value)); }
namespace {
constexpr UInt64 kObjectAddressMask = (UInt64{1} << 48) - 1;
std::atomic<TVariantObjectTagger> objectTagger{nullptr};
}  // namespace

void SetVariantObjectTagger(TVariantObjectTagger tagger) noexcept { objectTagger.store(tagger); }

Variant::Variant(TObject* object) noexcept : vt_(kVarObject) {
  const auto address = static_cast<UInt64>(reinterpret_cast<uintptr_t>(object));
  const TVariantObjectTagger tagger = objectTagger.load(std::memory_order_relaxed);
  const UInt64 tag = object != nullptr && tagger != nullptr ? tagger(object) : 0;
  d_.i64 = static_cast<Int64>((address & kObjectAddressMask) | tag << 48);
}

Word Variant::ObjectTag() const noexcept {
  return vt_ == kVarObject ? static_cast<Word>(static_cast<UInt64>(d_.i64) >> 48) : 0;
}
Variant::Variant(IDispatch* dispatch) noexcept : vt_(varDispatch) {
  d_.disp = dispatch;
  if (dispatch != nullptr) dispatch->AddRef();
}

Variant Variant::FromDateTime(TDateTime value) noexcept {
  Variant v;
  v.vt_ = varDate;
  v.d_.dbl = value;
  return v;
}

Variant Variant::FromCustom(const TCustomVariantType& type, TCustomVarValue* value) noexcept {
  if (value == nullptr) return Variant();
  return VariantAccess::FromPayload(type.VarType(), value);
}

Variant Null() { return VariantAccess::OfKind(varNull); }

Variant Unassigned() { return Variant(); }

// ---------------------------------------------------------------------------------------------------------
// Inspection

bool Variant::IsObject() const noexcept { return vt_ == kVarObject; }
bool Variant::IsCustom() const noexcept { return IsCustomCode(vt_); }

const String& Variant::StringRef() const {
  if (vt_ != varString) RaiseCastError(vt_, varString);
  return static_cast<const StringPayload*>(d_.heap)->text;
}

const WideString& Variant::WideStringRef() const {
  if (vt_ != varOleStr) RaiseCastError(vt_, varOleStr);
  return static_cast<const WideStringPayload*>(d_.heap)->text;
}

const TCustomVarValue* Variant::CustomValue() const noexcept {
  return IsCustomCode(vt_) ? static_cast<const TCustomVarValue*>(d_.heap) : nullptr;
}

const TCustomVariantType* Variant::CustomType() const noexcept {
  return IsCustomCode(vt_) ? FindCustomVariantType(vt_) : nullptr;
}

bool VarIsClear(const Variant& v) noexcept {
  return v.IsEmpty() || (v.IsDispatch() && VariantAccess::Data(v).disp == nullptr);
}

bool VarIsStr(const Variant& v) noexcept { return v.IsString() || v.IsOleStr(); }

bool VarIsOrdinal(const Variant& v) noexcept {
  TVarType kind = VariantAccess::Kind(v);
  return IsIntKind(kind) || kind == varBoolean;
}

bool VarIsFloat(const Variant& v) noexcept {
  TVarType kind = VariantAccess::Kind(v);
  return kind == varSingle || kind == varDouble || kind == varCurrency;
}

bool VarIsNumeric(const Variant& v) noexcept {
  if (VarIsOrdinal(v) || VarIsFloat(v)) return true;
  const TCustomVariantType* type = v.CustomType();
  return type != nullptr && type->IsNumeric();
}

String VarTypeAsText(TVarType varType) {
  if (varType & varArray) return "Array " + VarTypeAsText(varType & ~varArray);
  if (varType & varByRef) return "Ref " + VarTypeAsText(varType & ~varByRef);
  switch (varType) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varSmallint: return "Smallint";
    case varInteger: return "Integer";
    case varSingle: return "Single";
    case varDouble: return "Double";
    case varCurrency: return "Currency";
    case varDate: return "Date";
    case varOleStr: return "OleStr";
    case varDispatch: return "Dispatch";
    case varError: return "Error";
    case varBoolean: return "Boolean";
    case varVariant: return "Variant";
    case varUnknown: return "Unknown";
    case varShortInt: return "ShortInt";
    case varByte: return "Byte";
    case varWord: return "Word";
    case varLongWord: return "LongWord";
    case varInt64: return "Int64";
    case varStrArg: return "StrArg";
    case varString: return "String";
    case varAny: return "Any";
    default: break;
  }
  if (const TCustomVariantType* type = FindCustomVariantType(varType)) return type->Name();
  char buf[8];
  std::snprintf(buf, sizeof buf, "$%.4X", static_cast<unsigned>(varType));
  return buf;
}

// ---------------------------------------------------------------------------------------------------------
// Conversions

namespace {

// The value of a custom kind turned into the simple type target.
Variant CustomTo(const Variant& v, TVarType target) {
  const TCustomVariantType* type = v.CustomType();
  if (type == nullptr) RaiseCastError(VariantAccess::Kind(v), target);
  Variant result = type->CastTo(v, target);
  if (result.IsCustom()) RaiseCastError(VariantAccess::Kind(v), target);
  return result;
}

// Text held by a string kind (wide strings as UTF-8).
String StringOf(const Variant& v) {
  if (v.IsString()) return v.StringRef();
  return WideToUtf8(v.WideStringRef());
}

// Integer conversion shared by AsInteger, AsInt64 and VarAsType; target names the type in messages.
Int64 ToInt64(const Variant& v, TVarType target) {
  const auto& d = VariantAccess::Data(v);
  TVarType kind = VariantAccess::Kind(v);
  Int64 result = 0;
  switch (kind) {
    case varEmpty:
      return 0;
    case varBoolean:
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return IntValue(v);
    case varSingle:
    case varDouble:
    case varDate: {
      double value = kind == varSingle ? static_cast<double>(d.sgl) : d.dbl;
      if (std::isnan(value)) RaiseCastError(kind, target);
      if (!RoundHalfEven(value, result)) RaiseConvertOverflow(kind, target);
      return result;
    }
    case varCurrency: {
      Int64 whole = d.i64 / Currency::Scale;
      Int64 rest = d.i64 % Currency::Scale;
      Int64 half = Currency::Scale / 2;
      if (rest > half || (rest == half && (whole & 1) != 0)) ++whole;
      if (rest < -half || (rest == -half && (whole & 1) != 0)) --whole;
      return whole;
    }
    case varString:
    case varOleStr: {
      String text = StringOf(v);
      if (TryStrToInt64(text, result)) return result;
      double value = 0;
      if (TryStrToFloat(text, value)) {
        if (!RoundHalfEven(value, result)) RaiseConvertOverflow(kind, target);
        return result;
      }
      RaiseCastError(kind, target);
    }
    case kVarObject:
      if (d.obj == nullptr) return 0;
      RaiseCastError(kind, target);
    default:
      if (IsCustomCode(kind)) return ToInt64(CustomTo(v, varInt64), target);
      RaiseCastError(kind, target);
  }
}

double ToDouble(const Variant& v, TVarType target) {
  const auto& d = VariantAccess::Data(v);
  TVarType kind = VariantAccess::Kind(v);
  switch (kind) {
    case varEmpty:
      return 0;
    case varBoolean:
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return static_cast<double>(IntValue(v));
    case varSingle:
      return d.sgl;
    case varDouble:
    case varDate:
      return d.dbl;
    case varCurrency:
      return Currency::FromScaled(d.i64).ToDouble();
    case varString:
    case varOleStr: {
      String text = StringOf(v);
      double value = 0;
      if (TryStrToFloat(text, value)) return value;
      Int64 i = 0;
      if (TryStrToInt64(text, i)) return static_cast<double>(i);
      RaiseCastError(kind, target);
    }
    case kVarObject:
      if (d.obj == nullptr) return 0;
      RaiseCastError(kind, target);
    default:
      if (IsCustomCode(kind)) return ToDouble(CustomTo(v, varDouble), target);
      RaiseCastError(kind, target);
  }
}

void CheckRange(Int64 value, Int64 low, Int64 high, TVarType kind, TVarType target) {
  if (value < low || value > high) RaiseConvertOverflow(kind, target);
}

// Digits of an object's identity; only its text form is ever shown.
String ObjectText(const TObject* object) {
  if (object == nullptr) return "0";
  return std::to_string(static_cast<UInt64>(reinterpret_cast<uintptr_t>(object)));
}

}  // namespace

Integer Variant::AsInteger() const {
  Int64 value = ToInt64(*this, varInteger);
  CheckRange(value, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max(), vt_, varInteger);
  return static_cast<Integer>(value);
}

Int64 Variant::AsInt64() const { return ToInt64(*this, varInt64); }

double Variant::AsDouble() const { return ToDouble(*this, varDouble); }

TDateTime Variant::AsDateTime() const {
  if (vt_ == varString || vt_ == varOleStr) {
    String text = StringOf(*this);
    TDateTime value = 0;
    if (TryStrToDateTime(text, value)) return value;
    double number = 0;
    if (TryStrToFloat(text, number)) return number;
    RaiseCastError(vt_, varDate);
  }
  if (IsCustomCode(vt_)) return CustomTo(*this, varDate).AsDateTime();
  return ToDouble(*this, varDate);
}

Currency Variant::AsCurrency() const {
  switch (vt_) {
    case varCurrency:
      return Currency::FromScaled(d_.i64);
    case varEmpty:
      return Currency();
    case varBoolean:
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: {
      Int64 value = IntValue(*this);
      const Int64 limit = std::numeric_limits<Int64>::max() / Currency::Scale;
      if (value > limit || value < -limit) RaiseConvertOverflow(vt_, varCurrency);
      return Currency::FromScaled(value * Currency::Scale);
    }
    case varString:
    case varOleStr: {
      Currency value;
      if (TryStrToCurr(StringOf(*this), value)) return value;
      RaiseCastError(vt_, varCurrency);
    }
    default:
      if (IsCustomCode(vt_)) return CustomTo(*this, varCurrency).AsCurrency();
      break;
  }
  double value = ToDouble(*this, varCurrency);
  if (!std::isfinite(value)) RaiseConvertOverflow(vt_, varCurrency);
  long double scaled = static_cast<long double>(value) * Currency::Scale;
  if (scaled < -9223372036854775808.0L || scaled >= 9223372036854775808.0L) RaiseConvertOverflow(vt_, varCurrency);
  return Currency::FromDouble(value);
}

bool Variant::AsBoolean() const {
  switch (vt_) {
    case varEmpty:
      return false;
    case varBoolean:
      return d_.b;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return IntValue(*this) != 0;
    case varCurrency:
      return d_.i64 != 0;
    case varSingle:
      return d_.sgl != 0;
    case varDouble:
    case varDate:
      return d_.dbl != 0;
    case varString:
    case varOleStr: {
      bool value = false;
      if (TryStrToBool(StringOf(*this), value)) return value;
      RaiseCastError(vt_, varBoolean);
    }
    default:
      if (IsCustomCode(vt_)) return CustomTo(*this, varBoolean).AsBoolean();
      RaiseCastError(vt_, varBoolean);
  }
}

String Variant::AsString() const {
  switch (vt_) {
    case varEmpty:
      return String();
    case varBoolean:
      return d_.b ? "True" : "False";
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return std::to_string(IntValue(*this));
    case varSingle:
      return FloatToStrF(d_.sgl, ffGeneral, 7, 0);
    case varDouble:
      return FloatToStr(d_.dbl);
    case varDate:
      return DateTimeToStr(d_.dbl);
    case varCurrency:
      return CurrToStr(Currency::FromScaled(d_.i64));
    case varString:
      return StringRef();
    case varOleStr:
      return WideToUtf8(WideStringRef());
    case kVarObject:
      return ObjectText(AsObject());
    default:
      if (IsCustomCode(vt_)) return CustomTo(*this, varString).AsString();
      RaiseCastError(vt_, varString);
  }
}

WideString Variant::AsWideString() const {
  if (vt_ == varOleStr) return WideStringRef();
  if (IsCustomCode(vt_)) return CustomTo(*this, varOleStr).AsWideString();
  if (vt_ == varNull) RaiseCastError(vt_, varOleStr);
  return Utf8ToWide(AsString());
}

TObject* Variant::AsObject() const {
  if (vt_ == kVarObject) {
    return reinterpret_cast<TObject*>(static_cast<uintptr_t>(static_cast<UInt64>(d_.i64) & kObjectAddressMask));
  }
  if (vt_ == varEmpty) return nullptr;
  RaiseCastError(vt_, kVarObject);
}

IDispatch* Variant::AsDispatch() const {
  if (vt_ == varDispatch) return d_.disp;
  if (vt_ == varEmpty) return nullptr;
  RaiseCastError(vt_, varDispatch);
}

Variant VarAsType(const Variant& v, TVarType varType) {
  TVarType kind = VariantAccess::Kind(v);
  if (v.Type() == varType) return v;
  if (varType == varVariant) return v;
  if (varType == varEmpty) return Variant();
  if (varType == varNull) return Null();
  if (kind == varNull) RaiseCastError(kind, varType);
  if (v.IsCustom() && !IsCustomCode(varType)) return VarAsType(CustomTo(v, varType), varType);
  switch (varType) {
    case varSmallint: {
      Int64 value = ToInt64(v, varType);
      CheckRange(value, -32768, 32767, kind, varType);
      return Variant(static_cast<SmallInt>(value));
    }
    case varInteger:
      return Variant(v.AsInteger());
    case varShortInt: {
      Int64 value = ToInt64(v, varType);
      CheckRange(value, -128, 127, kind, varType);
      return Variant(static_cast<ShortInt>(value));
    }
    case varByte: {
      Int64 value = ToInt64(v, varType);
      CheckRange(value, 0, 255, kind, varType);
      return Variant(static_cast<Byte>(value));
    }
    case varWord: {
      Int64 value = ToInt64(v, varType);
      CheckRange(value, 0, 65535, kind, varType);
      return Variant(static_cast<Word>(value));
    }
    case varLongWord: {
      Int64 value = ToInt64(v, varType);
      CheckRange(value, 0, 4294967295LL, kind, varType);
      return Variant(static_cast<LongWord>(value));
    }
    case varInt64:
      return Variant(v.AsInt64());
    case varSingle: {
      double value = ToDouble(v, varType);
      if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        RaiseConvertOverflow(kind, varType);
      return Variant(static_cast<Single>(value));
    }
    case varDouble:
      return Variant(v.AsDouble());
    case varDate:
      return Variant::FromDateTime(v.AsDateTime());
    case varCurrency:
      return Variant(v.AsCurrency());
    case varBoolean:
      return Variant(v.AsBoolean());
    case varString:
      return Variant(v.AsString());
    case varOleStr:
      return Variant(v.AsWideString());
    case varDispatch:
      return Variant(v.AsDispatch());
    default:
      break;
  }
  if (IsCustomCode(varType)) {
    if (const TCustomVariantType* type = FindCustomVariantType(varType)) {
      Variant result = type->CastFrom(v);
      if (VariantAccess::Kind(result) != varType) RaiseCastError(kind, varType);
      return result;
    }
  }
  RaiseCastError(kind, varType);
}

String VarToStr(const Variant& v) { return VarToStrDef(v, String()); }

String VarToStrDef(const Variant& v, const String& defaultText) {
  if (v.IsNull()) return defaultText;
  return v.AsString();
}

WideString VarToWideStr(const Variant& v) {
  if (v.IsNull()) return WideString();
  return v.AsWideString();
}

// ---------------------------------------------------------------------------------------------------------
// Custom variant types

namespace {

struct CustomTypeRegistry {
  std::mutex lock;
  const TCustomVariantType* types[kLastCustomType - kFirstCustomType + 1] = {};
};

CustomTypeRegistry& Registry() {
  static CustomTypeRegistry registry;
  return registry;
}

}  // namespace

TCustomVariantType::TCustomVariantType(String name) : name_(std::move(name)) {
  CustomTypeRegistry& registry = Registry();
  std::lock_guard guard(registry.lock);
  for (TVarType code = kFirstCustomType; code <= kLastCustomType; ++code) {
    const TCustomVariantType*& slot = registry.types[code - kFirstCustomType];
    if (slot == nullptr) {
      slot = this;
      varType_ = code;
      return;
    }
  }
  throw EVariantError("Custom variant type (" + name_ + ") cannot be registered: no free type code");
}

TCustomVariantType::~TCustomVariantType() {
  CustomTypeRegistry& registry = Registry();
  std::lock_guard guard(registry.lock);
  registry.types[varType_ - kFirstCustomType] = nullptr;
}

int TCustomVariantType::Compare(const Variant& a, const Variant& b) const {
  TVarType simple = OperandType();
  if (IsCustomCode(simple)) RaiseInvalidOp();  // must name a simple type
  switch (VarCompareValue(VarAsType(a, simple), VarAsType(b, simple))) {
    case vrEqual: return 0;
    case vrLessThan: return -1;
    case vrGreaterThan: return 1;
    case vrNotEqual: break;
  }
  RaiseInvalidOp();
}

const TCustomVariantType* FindCustomVariantType(TVarType varType) noexcept {
  if (!IsCustomCode(varType)) return nullptr;
  CustomTypeRegistry& registry = Registry();
  std::lock_guard guard(registry.lock);
  return registry.types[varType - kFirstCustomType];
}

const TCustomVariantType* FindCustomVariantType(const String& name) noexcept {
  CustomTypeRegistry& registry = Registry();
  std::lock_guard guard(registry.lock);
  for (const TCustomVariantType* type : registry.types)
    if (type != nullptr && type->Name() == name) return type;
  return nullptr;
}
