#include "platform/classes/TypInfo.h"

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <mutex>

#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;

namespace {

inline constexpr const char* SInvalidPropertyType = "Invalid property type: %s";
inline constexpr const char* SInvalidPropertyElement = "Invalid property element: %s";

// Type information objects live for the whole run; they are made once and never freed.
template <class... A>
const TTypeInfo* Keep(A&&... args) {
  return new TTypeInfo(std::forward<A>(args)...);
}

[[noreturn]] void BadKind(const TPropInfo* prop) {
  throw EPropertyConvertError(Format(SInvalidPropertyType, prop->PropType->Name()));
}

[[noreturn]] void BadValue() { throw EPropertyConvertError(SInvalidPropertyValue); }

[[noreturn]] void NoSuchProperty(const String& name) { throw EPropertyError(Format(SUnknownProperty, name)); }

const TPropInfo* Require(TObject* instance, const String& propName) {
  const TPropInfo* prop = GetPropInfo(instance, propName);
  if (prop == nullptr) NoSuchProperty(propName);
  return prop;
}

// The accessors cast the instance to the declaring class, so the instance must be one.
void CheckInstance(TObject* instance, const TPropInfo* prop) {
  if (instance == nullptr || prop == nullptr || !instance->InheritsFrom(prop->Owner)) {
    throw EPropertyError(Format(SUnknownProperty, prop ? prop->Name : String("?")));
  }
}

void CheckWritable(const TPropInfo* prop) {
  if (!prop->IsWritable()) throw EPropertyError(SReadOnlyProperty);
}

// Boolean and its renamings.
bool IsBooleanType(const TTypeInfo* type) {
  return type->Kind == tkEnumeration && type->EnumNames.size() == 2 && type->EnumNames[0] == "False" &&
         type->EnumNames[1] == "True";
}

bool IsDateType(const TTypeInfo* type) {
  String name = type->Name();
  return SameText(name, "TDateTime") || SameText(name, "TDate") || SameText(name, "TTime");
}

void CheckOrdinalRange(const TPropInfo* prop, Int64 value) {
  const TTypeInfo* type = prop->PropType;
  switch (type->Kind) {
    case tkEnumeration:
    case tkInteger:
    case tkChar:
    case tkWChar:
      if (value < type->MinValue || value > type->MaxValue) BadValue();
      break;
    case tkSet: {
      const size_t count = type->CompType ? type->CompType->EnumNames.size() : 32;
      const uint64_t allowed = count >= 32 ? 0xFFFFFFFFull : ((1ull << count) - 1);
      if (value < 0 || (static_cast<uint64_t>(value) & ~allowed) != 0) BadValue();
      break;
    }
    default:
      break;
  }
}

}  // namespace

namespace k58::classes {
void DescriptionError(const char* className, const char* propName, const char* what) {
  std::fprintf(stderr, "class library: %s.%s: %s\n", className, propName, what);
  std::abort();
}

void SetOrdinalDefault(TPropInfo& prop, const char* className, Int64 value) {
  const TTypeInfo* type = prop.PropType;
  if (type->IsOrdinal()) {
    prop.HasOrdDefault = true;
    prop.OrdDefault = value;
  } else if (type->Kind == tkInt64) {
    prop.Int64Default = value;
  } else if (type->Kind == tkFloat) {
    prop.FloatDefault = static_cast<Extended>(value);
  } else {
    DescriptionError(className, prop.Name.c_str(), "default of another kind");
  }
  prop.NoDefault = false;
}

void SetFloatDefault(TPropInfo& prop, const char* className, Extended value) {
  if (prop.Kind() != tkFloat) DescriptionError(className, prop.Name.c_str(), "default of another kind");
  prop.FloatDefault = value;
  prop.NoDefault = false;
}

void SetStringDefault(TPropInfo& prop, const char* className, const String& value) {
  if (prop.Kind() != tkLString && prop.Kind() != tkString) {
    DescriptionError(className, prop.Name.c_str(), "default of another kind");
  }
  prop.StrDefault = value;
  prop.NoDefault = false;
}

void SetWideStringDefault(TPropInfo& prop, const char* className, const WideString& value) {
  if (prop.Kind() != tkWString) DescriptionError(className, prop.Name.c_str(), "default of another kind");
  prop.WStrDefault = value;
  prop.NoDefault = false;
}
}  // namespace k58::classes

// ---- Type information ----

String TTypeInfo::Name() const {
  if (Kind == tkClass && name_.empty() && ClassRef) return ClassRef()->Name();
  return name_;
}

const TTypeInfo* AliasTypeInfo(const TTypeInfo* base, const String& name) {
  static std::mutex lock;
  // Never destroyed: type information outlives every static object that may look at it.
  static auto& aliases = *new std::map<std::pair<const TTypeInfo*, String>, const TTypeInfo*>();
  std::lock_guard<std::mutex> guard(lock);
  auto key = std::make_pair(base, name);
  auto it = aliases.find(key);
  if (it != aliases.end()) return it->second;
  auto* alias = new TTypeInfo(base->Kind, name);
  alias->OrdType = base->OrdType;
  alias->MinValue = base->MinValue;
  alias->MaxValue = base->MaxValue;
  alias->EnumNames = base->EnumNames;
  alias->CompType = base->CompType;
  alias->FloatType = base->FloatType;
  alias->ClassRef = base->ClassRef;
  alias->MethodType = base->MethodType;
  aliases.emplace(key, alias);
  return alias;
}

const TTypeInfo* BooleanTypeInfo() {
  static const TTypeInfo* info = [] {
    auto* t = new TTypeInfo(tkEnumeration, "Boolean");
    t->OrdType = otUByte;
    t->MinValue = 0;
    t->MaxValue = 1;
    t->EnumNames = {"False", "True"};
    return t;
  }();
  return info;
}

const TTypeInfo* OrdinalTypeInfo(TOrdType ordType) {
  static const TTypeInfo* infos[6] = {};
  static std::once_flag once;
  std::call_once(once, [] {
    struct Row {
      const char* name;
      Int64 min;
      Int64 max;
    };
    const Row rows[6] = {{"ShortInt", -128, 127},
                         {"Byte", 0, 255},
                         {"SmallInt", -32768, 32767},
                         {"Word", 0, 65535},
                         {"Integer", std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()},
                         {"Cardinal", 0, std::numeric_limits<uint32_t>::max()}};
    for (int i = 0; i < 6; ++i) {
      auto* t = new TTypeInfo(tkInteger, rows[i].name);
      t->OrdType = static_cast<TOrdType>(i);
      t->MinValue = rows[i].min;
      t->MaxValue = rows[i].max;
      infos[i] = t;
    }
  });
  return infos[ordType];
}

const TTypeInfo* Int64TypeInfo(bool isUnsigned) {
  static const TTypeInfo* signedInfo = [] {
    auto* t = new TTypeInfo(tkInt64, "Int64");
    t->MinValue = std::numeric_limits<Int64>::min();
    t->MaxValue = std::numeric_limits<Int64>::max();
    return t;
  }();
  static const TTypeInfo* unsignedInfo = [] {
    auto* t = new TTypeInfo(tkInt64, "UInt64");
    t->MinValue = 0;
    t->MaxValue = std::numeric_limits<Int64>::max();
    return t;
  }();
  return isUnsigned ? unsignedInfo : signedInfo;
}

const TTypeInfo* FloatTypeInfo(TFloatType floatType) {
  static const TTypeInfo* infos[5] = {};
  static std::once_flag once;
  std::call_once(once, [] {
    const char* names[5] = {"Single", "Double", "Extended", "Comp", "Currency"};
    for (int i = 0; i < 5; ++i) {
      auto* t = new TTypeInfo(tkFloat, names[i]);
      t->FloatType = static_cast<TFloatType>(i);
      infos[i] = t;
    }
  });
  return infos[floatType];
}

const TTypeInfo* CharTypeInfo() {
  static const TTypeInfo* info = [] {
    auto* t = new TTypeInfo(tkChar, "Char");
    t->OrdType = otUByte;
    t->MaxValue = 255;
    return t;
  }();
  return info;
}

const TTypeInfo* WideCharTypeInfo() {
  static const TTypeInfo* info = [] {
    auto* t = new TTypeInfo(tkWChar, "WideChar");
    t->OrdType = otUWord;
    t->MaxValue = 65535;
    return t;
  }();
  return info;
}

const TTypeInfo* StringTypeInfo() {
  static const TTypeInfo* info = Keep(tkLString, "String");
  return info;
}

const TTypeInfo* WideStringTypeInfo() {
  static const TTypeInfo* info = Keep(tkWString, "WideString");
  return info;
}

const TTypeInfo* VariantTypeInfo() {
  static const TTypeInfo* info = Keep(tkVariant, "Variant");
  return info;
}

const TTypeInfo* ClassTypeInfo(TClass (*classRef)()) {
  static std::mutex lock;
  static auto& infos = *new std::map<TClass (*)(), const TTypeInfo*>();
  std::lock_guard<std::mutex> guard(lock);
  auto it = infos.find(classRef);
  if (it != infos.end()) return it->second;
  auto* t = new TTypeInfo(tkClass, String());
  t->ClassRef = classRef;
  infos.emplace(classRef, t);
  return t;
}

const TTypeInfo* MakeEnumTypeInfo(const char* name, const char* valueNames, std::initializer_list<int> values) {
  auto* t = new TTypeInfo(tkEnumeration, name);
  String list(valueNames);
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == String::npos) comma = list.size();
    String item = Trim(list.substr(start, comma - start));
    if (!item.empty()) t->EnumNames.push_back(item);
    start = comma + 1;
  }
  int expected = 0;
  for (int v : values) {
    if (v != expected) {
      std::fprintf(stderr, "class library: enumeration %s must count from 0 in order\n", name);
      std::abort();
    }
    ++expected;
  }
  if (t->EnumNames.size() != values.size()) {
    std::fprintf(stderr, "class library: enumeration %s has unreadable value names\n", name);
    std::abort();
  }
  t->MinValue = 0;
  t->MaxValue = static_cast<Int64>(values.size()) - 1;
  t->OrdType = values.size() <= 256 ? otUByte : otUWord;
  return t;
}

String GetEnumName(const TTypeInfo* typeInfo, Integer value) {
  if (typeInfo == nullptr) return String();
  if (typeInfo->Kind == tkEnumeration && value >= 0 && static_cast<size_t>(value) < typeInfo->EnumNames.size()) {
    return typeInfo->EnumNames[static_cast<size_t>(value)];
  }
  return IntToStr(value);
}

Integer GetEnumValue(const TTypeInfo* typeInfo, const String& name) {
  if (typeInfo == nullptr || typeInfo->Kind != tkEnumeration) return -1;
  for (size_t i = 0; i < typeInfo->EnumNames.size(); ++i) {
    if (SameText(typeInfo->EnumNames[i], name)) return static_cast<Integer>(i);
  }
  return -1;
}

const TTypeInfo* MakeSetTypeInfo(const char* name, const TTypeInfo* elementType) {
  auto* t = new TTypeInfo(tkSet, name);
  t->CompType = elementType;
  t->OrdType = otULong;
  if (elementType->EnumNames.size() > 32) {
    std::fprintf(stderr, "class library: set %s has more than 32 elements\n", name);
    std::abort();
  }
  return t;
}

String SetToString(const TTypeInfo* setType, uint32_t value, bool brackets) {
  String result;
  const TTypeInfo* element = setType ? setType->CompType : nullptr;
  for (unsigned bit = 0; bit < 32; ++bit) {
    if ((value & (1u << bit)) == 0) continue;
    if (!result.empty()) result += ',';
    result += element ? GetEnumName(element, static_cast<Integer>(bit)) : IntToStr(static_cast<Integer>(bit));
  }
  return brackets ? "[" + result + "]" : result;
}

uint32_t StringToSet(const TTypeInfo* setType, const String& value) {
  String text = Trim(value);
  if (!text.empty() && text.front() == '[') text.erase(0, 1);
  if (!text.empty() && text.back() == ']') text.pop_back();
  uint32_t result = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == String::npos) comma = text.size();
    String item = Trim(text.substr(start, comma - start));
    if (!item.empty()) {
      Integer ordinal = GetEnumValue(setType ? setType->CompType : nullptr, item);
      if (ordinal < 0 || ordinal >= 32) throw EPropertyConvertError(Format(SInvalidPropertyElement, item));
      result |= 1u << ordinal;
    }
    start = comma + 1;
  }
  return result;
}

const TTypeInfo* MakeMethodTypeInfo(const char* name, const std::type_info& delegateType) {
  auto* t = new TTypeInfo(tkMethod, name);
  t->MethodType = &delegateType;
  return t;
}

// ---- Named integer values ----

namespace {
struct IntegerConsts {
  TIdentToInt identToInt;
  TIntToIdent intToIdent;
};
std::mutex& ConstsLock() {
  static std::mutex lock;
  return lock;
}
std::map<String, IntegerConsts>& ConstsByType() {
  static std::map<String, IntegerConsts> consts;
  return consts;
}
}  // namespace

// Kept by type name, so an alias of the same name made elsewhere finds them too.
void RegisterIntegerConsts(const TTypeInfo* integerType, TIdentToInt identToInt, TIntToIdent intToIdent) {
  std::lock_guard<std::mutex> guard(ConstsLock());
  ConstsByType()[UpperCase(integerType->Name())] = IntegerConsts{std::move(identToInt), std::move(intToIdent)};
}

TIdentToInt FindIdentToInt(const TTypeInfo* integerType) {
  std::lock_guard<std::mutex> guard(ConstsLock());
  auto it = ConstsByType().find(UpperCase(integerType->Name()));
  return it == ConstsByType().end() ? TIdentToInt() : it->second.identToInt;
}

TIntToIdent FindIntToIdent(const TTypeInfo* integerType) {
  std::lock_guard<std::mutex> guard(ConstsLock());
  auto it = ConstsByType().find(UpperCase(integerType->Name()));
  return it == ConstsByType().end() ? TIntToIdent() : it->second.intToIdent;
}

bool IdentToInt(const String& ident, Integer& value, std::initializer_list<TIdentMapEntry> map) {
  for (const TIdentMapEntry& entry : map) {
    if (SameText(entry.Name, ident)) {
      value = entry.Value;
      return true;
    }
  }
  return false;
}

bool IntToIdent(Integer value, String& ident, std::initializer_list<TIdentMapEntry> map) {
  for (const TIdentMapEntry& entry : map) {
    if (entry.Value == value) {
      ident = entry.Name;
      return true;
    }
  }
  return false;
}

// ---- Properties ----

bool TPropInfo::IsReadable() const {
  return GetOrd || GetFloat || GetStr || GetWStr || GetVar || GetObj || GetMethod;
}

bool TPropInfo::IsWritable() const {
  return SetOrd || SetFloat || SetStr || SetWStr || SetVar || SetObj || SetMethod;
}

const TPropInfo* GetPropInfo(const TObject* instance, const String& propName) {
  return instance ? instance->ClassType()->FindProperty(propName) : nullptr;
}

const TPropInfo* GetPropInfo(TClass cls, const String& propName) {
  return cls ? cls->FindProperty(propName) : nullptr;
}

bool IsPublishedProp(const TObject* instance, const String& propName) {
  return GetPropInfo(instance, propName) != nullptr;
}

TTypeKind PropType(const TObject* instance, const String& propName) {
  const TPropInfo* prop = GetPropInfo(instance, propName);
  if (prop == nullptr) NoSuchProperty(propName);
  return prop->Kind();
}

Int64 GetOrdProp(TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (!prop->PropType->IsOrdinal()) BadKind(prop);
  return prop->GetOrd(instance);
}

void SetOrdProp(TObject* instance, const TPropInfo* prop, Int64 value) {
  CheckInstance(instance, prop);
  if (!prop->PropType->IsOrdinal()) BadKind(prop);
  CheckWritable(prop);
  CheckOrdinalRange(prop, value);
  prop->SetOrd(instance, value);
}

String GetEnumProp(TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkEnumeration) BadKind(prop);
  return GetEnumName(prop->PropType, static_cast<Integer>(prop->GetOrd(instance)));
}

void SetEnumProp(TObject* instance, const TPropInfo* prop, const String& value) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkEnumeration) BadKind(prop);
  Integer ordinal = GetEnumValue(prop->PropType, value);
  if (ordinal < 0) BadValue();
  SetOrdProp(instance, prop, ordinal);
}

String GetSetProp(TObject* instance, const TPropInfo* prop, bool brackets) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkSet) BadKind(prop);
  return SetToString(prop->PropType, static_cast<uint32_t>(prop->GetOrd(instance)), brackets);
}

void SetSetProp(TObject* instance, const TPropInfo* prop, const String& value) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkSet) BadKind(prop);
  SetOrdProp(instance, prop, StringToSet(prop->PropType, value));
}

Extended GetFloatProp(TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkFloat) BadKind(prop);
  return prop->GetFloat(instance);
}

void SetFloatProp(TObject* instance, const TPropInfo* prop, Extended value) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkFloat) BadKind(prop);
  CheckWritable(prop);
  prop->SetFloat(instance, value);
}

Int64 GetInt64Prop(TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkInt64 && !prop->PropType->IsOrdinal()) BadKind(prop);
  return prop->GetOrd(instance);
}

void SetInt64Prop(TObject* instance, const TPropInfo* prop, Int64 value) {
  CheckInstance(instance, prop);
  if (prop->Kind() == tkInt64) {
    CheckWritable(prop);
    if (value < prop->PropType->MinValue) BadValue();
    prop->SetOrd(instance, value);
    return;
  }
  SetOrdProp(instance, prop, value);
}

String GetStrProp(TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  switch (prop->Kind()) {
    case tkString:
    case tkLString:
      return prop->GetStr(instance);
    case tkWString:
      return WideToUtf8(prop->GetWStr(instance));
    case tkChar:
      return String(1, static_cast<char>(prop->GetOrd(instance)));
    case tkWChar:
      return CodePointToUtf8(static_cast<uint32_t>(prop->GetOrd(instance)));
    default:
      BadKind(prop);
  }
}

void SetStrProp(TObject* instance, const TPropInfo* prop, const String& value) {
  CheckInstance(instance, prop);
  CheckWritable(prop);
  switch (prop->Kind()) {
    case tkString:
    case tkLString:
      prop->SetStr(instance, value);
      return;
    case tkWString:
      prop->SetWStr(instance, Utf8ToWide(value));
      return;
    case tkChar:
      if (value.size() != 1) BadValue();
      prop->SetOrd(instance, static_cast<unsigned char>(value[0]));
      return;
    case tkWChar: {
      WideString wide = Utf8ToWide(value);
      if (wide.size() != 1) BadValue();
      prop->SetOrd(instance, wide[0]);
      return;
    }
    default:
      BadKind(prop);
  }
}

WideString GetWideStrProp(TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->Kind() == tkWString) return prop->GetWStr(instance);
  if (prop->Kind() == tkWChar) return WideString(1, static_cast<char16_t>(prop->GetOrd(instance)));
  return Utf8ToWide(GetStrProp(instance, prop));
}

void SetWideStrProp(TObject* instance, const TPropInfo* prop, const WideString& value) {
  CheckInstance(instance, prop);
  CheckWritable(prop);
  if (prop->Kind() == tkWString) {
    prop->SetWStr(instance, value);
  } else if (prop->Kind() == tkWChar) {
    if (value.size() != 1) BadValue();
    prop->SetOrd(instance, value[0]);
  } else {
    SetStrProp(instance, prop, WideToUtf8(value));
  }
}

Variant GetVariantProp(TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkVariant) BadKind(prop);
  return prop->GetVar(instance);
}

void SetVariantProp(TObject* instance, const TPropInfo* prop, const Variant& value) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkVariant) BadKind(prop);
  CheckWritable(prop);
  prop->SetVar(instance, value);
}

TObject* GetObjectProp(TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkClass) BadKind(prop);
  return prop->GetObj(instance);
}

void SetObjectProp(TObject* instance, const TPropInfo* prop, TObject* value) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkClass) BadKind(prop);
  CheckWritable(prop);
  if (value != nullptr && !value->InheritsFrom(prop->PropType->ClassType())) BadValue();
  prop->SetObj(instance, value);
}

TMethodValue GetMethodProp(TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkMethod) BadKind(prop);
  return prop->GetMethod(instance);
}

void SetMethodProp(TObject* instance, const TPropInfo* prop, const TMethodValue& value) {
  CheckInstance(instance, prop);
  if (prop->Kind() != tkMethod) BadKind(prop);
  CheckWritable(prop);
  if (!value.IsNil() &&
      (value.DelegateType() == nullptr || *value.DelegateType() != *prop->PropType->MethodType)) {
    BadValue();
  }
  prop->SetMethod(instance, value);
}

Int64 GetOrdProp(TObject* instance, const String& name) { return GetOrdProp(instance, Require(instance, name)); }
void SetOrdProp(TObject* instance, const String& name, Int64 value) {
  SetOrdProp(instance, Require(instance, name), value);
}
String GetEnumProp(TObject* instance, const String& name) { return GetEnumProp(instance, Require(instance, name)); }
void SetEnumProp(TObject* instance, const String& name, const String& value) {
  SetEnumProp(instance, Require(instance, name), value);
}
String GetSetProp(TObject* instance, const String& name, bool brackets) {
  return GetSetProp(instance, Require(instance, name), brackets);
}
void SetSetProp(TObject* instance, const String& name, const String& value) {
  SetSetProp(instance, Require(instance, name), value);
}
Extended GetFloatProp(TObject* instance, const String& name) {
  return GetFloatProp(instance, Require(instance, name));
}
void SetFloatProp(TObject* instance, const String& name, Extended value) {
  SetFloatProp(instance, Require(instance, name), value);
}
Int64 GetInt64Prop(TObject* instance, const String& name) { return GetInt64Prop(instance, Require(instance, name)); }
void SetInt64Prop(TObject* instance, const String& name, Int64 value) {
  SetInt64Prop(instance, Require(instance, name), value);
}
String GetStrProp(TObject* instance, const String& name) { return GetStrProp(instance, Require(instance, name)); }
void SetStrProp(TObject* instance, const String& name, const String& value) {
  SetStrProp(instance, Require(instance, name), value);
}
WideString GetWideStrProp(TObject* instance, const String& name) {
  return GetWideStrProp(instance, Require(instance, name));
}
void SetWideStrProp(TObject* instance, const String& name, const WideString& value) {
  SetWideStrProp(instance, Require(instance, name), value);
}
Variant GetVariantProp(TObject* instance, const String& name) {
  return GetVariantProp(instance, Require(instance, name));
}
void SetVariantProp(TObject* instance, const String& name, const Variant& value) {
  SetVariantProp(instance, Require(instance, name), value);
}
TObject* GetObjectProp(TObject* instance, const String& name) {
  return GetObjectProp(instance, Require(instance, name));
}
void SetObjectProp(TObject* instance, const String& name, TObject* value) {
  SetObjectProp(instance, Require(instance, name), value);
}
TMethodValue GetMethodProp(TObject* instance, const String& name) {
  return GetMethodProp(instance, Require(instance, name));
}
void SetMethodProp(TObject* instance, const String& name, const TMethodValue& value) {
  SetMethodProp(instance, Require(instance, name), value);
}

Variant GetPropValue(TObject* instance, const String& propName, bool preferStrings) {
  const TPropInfo* prop = Require(instance, propName);
  const TTypeInfo* type = prop->PropType;
  switch (type->Kind) {
    case tkInteger: {
      Int64 v = GetOrdProp(instance, prop);
      if (type->OrdType == otULong) return Variant(static_cast<LongWord>(v));
      return Variant(static_cast<Integer>(v));
    }
    case tkChar:
    case tkWChar:
      return Variant(GetStrProp(instance, prop));
    case tkEnumeration: {
      Int64 v = GetOrdProp(instance, prop);
      if (IsBooleanType(type)) return Variant(v != 0);
      if (preferStrings) return Variant(GetEnumName(type, static_cast<Integer>(v)));
      return Variant(static_cast<Integer>(v));
    }
    case tkSet: {
      Int64 v = GetOrdProp(instance, prop);
      if (preferStrings) return Variant(SetToString(type, static_cast<uint32_t>(v)));
      return Variant(static_cast<Integer>(static_cast<uint32_t>(v)));
    }
    case tkFloat: {
      Extended v = GetFloatProp(instance, prop);
      if (IsDateType(type)) return Variant::FromDateTime(static_cast<TDateTime>(v));
      if (type->FloatType == ftSingle) return Variant(static_cast<Single>(v));
      return Variant(static_cast<Double>(v));
    }
    case tkString:
    case tkLString:
      return Variant(GetStrProp(instance, prop));
    case tkWString:
      return Variant(GetWideStrProp(instance, prop));
    case tkVariant:
      return GetVariantProp(instance, prop);
    case tkInt64:
      return Variant(GetInt64Prop(instance, prop));
    case tkClass:
      return Variant::FromObject(GetObjectProp(instance, prop));
    default:
      BadKind(prop);
  }
}

void SetPropValue(TObject* instance, const String& propName, const Variant& value) {
  const TPropInfo* prop = Require(instance, propName);
  const TTypeInfo* type = prop->PropType;
  switch (type->Kind) {
    case tkInteger:
      SetOrdProp(instance, prop, value.AsInt64());
      return;
    case tkChar:
    case tkWChar:
      if (VarIsStr(value)) {
        SetStrProp(instance, prop, VarToStr(value));
      } else {
        SetOrdProp(instance, prop, value.AsInt64());
      }
      return;
    case tkEnumeration:
      if (VarIsStr(value)) {
        SetEnumProp(instance, prop, VarToStr(value));
      } else if (IsBooleanType(type)) {
        SetOrdProp(instance, prop, value.AsBoolean() ? 1 : 0);
      } else {
        SetOrdProp(instance, prop, value.AsInt64());
      }
      return;
    case tkSet:
      if (VarIsStr(value)) {
        SetSetProp(instance, prop, VarToStr(value));
      } else {
        SetOrdProp(instance, prop, static_cast<Int64>(static_cast<uint32_t>(value.AsInteger())));
      }
      return;
    case tkFloat:
      SetFloatProp(instance, prop, IsDateType(type) ? value.AsDateTime() : value.AsDouble());
      return;
    case tkString:
    case tkLString:
      SetStrProp(instance, prop, VarToStr(value));
      return;
    case tkWString:
      SetWideStrProp(instance, prop, VarToWideStr(value));
      return;
    case tkVariant:
      SetVariantProp(instance, prop, value);
      return;
    case tkInt64:
      SetInt64Prop(instance, prop, value.AsInt64());
      return;
    case tkClass:
      SetObjectProp(instance, prop, value.AsObject());
      return;
    default:
      BadKind(prop);
  }
}

bool IsStoredProp(TObject* instance, const TPropInfo* prop) {
  switch (prop->StoredKind) {
    case TStoredKind::Always:
      return true;
    case TStoredKind::Never:
      return false;
    case TStoredKind::Predicate:
      return prop->StoredFn(instance);
  }
  return true;
}

bool IsDefaultPropValue(TObject* instance, const TPropInfo* prop) {
  CheckInstance(instance, prop);
  switch (prop->Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
      return prop->HasOrdDefault && prop->GetOrd(instance) == prop->OrdDefault;
    case tkInt64:
      return !prop->NoDefault && prop->GetOrd(instance) == prop->Int64Default;
    case tkFloat:
      return !prop->NoDefault && prop->GetFloat(instance) == prop->FloatDefault;
    case tkString:
    case tkLString:
      return !prop->NoDefault && prop->GetStr(instance) == prop->StrDefault;
    case tkWString:
      return !prop->NoDefault && prop->GetWStr(instance) == prop->WStrDefault;
    case tkVariant:
      return !prop->NoDefault && VarIsEmpty(prop->GetVar(instance));
    case tkClass:
      return prop->GetObj(instance) == nullptr;
    case tkMethod:
      return prop->GetMethod(instance).IsNil();
    default:
      return true;
  }
}
