// Run-time type information of published properties.
//
// Each published property has a TTypeInfo with a kind and the exact type name ("TColor", "TFontName",
// "TAlign", "TNotifyEvent", "Boolean"), because the script engine and the report serializer look types up by
// name. Enumerations and sets keep their value names for streaming.
//
// C++ types map to type information through TypeInfoTraits: the built-in scalar types, String, WideString,
// Variant, pointers to classes of the class library, and the enumerations, sets and event types declared
// with the macros below.
//   enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
//   K58_ENUM_TYPE(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
//   enum TAnchorKind { akLeft, akTop, akRight, akBottom };
//   K58_ENUM_TYPE(TAnchorKind, akLeft, akTop, akRight, akBottom)
//   K58_SET_TYPE(TAnchors, TAnchorKind)                // using TAnchors = TSet<TAnchorKind>
//   K58_EVENT_TYPE(TKeyPressEvent, void(TObject* Sender, char& Key))
// A type that only renames another one ("TCaption" is a String, "TColor" an Integer) is given at the
// property's registration: .Type("TColor"). The macros specialise a template, so they are used at the
// global namespace scope, where the class library's types live anyway.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "platform/classes/Accessor.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/Delegate.h"
#include "platform/classes/Object.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/Variants.h"

enum TTypeKind {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod, tkWChar,
  tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray
};
enum TOrdType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

class TTypeInfo {
 public:
  TTypeKind Kind = tkUnknown;
  // Integer kinds, characters, enumerations: the storage width and the range.
  TOrdType OrdType = otSLong;
  Int64 MinValue = 0;
  Int64 MaxValue = 0;
  // Enumerations: value names in ordinal order.
  std::vector<String> EnumNames;
  // Sets: the element type (an enumeration).
  const TTypeInfo* CompType = nullptr;
  // Floats.
  TFloatType FloatType = ftDouble;
  // Classes: the declared class (resolved on first use, so declarations can refer to each other).
  TClass (*ClassRef)() = nullptr;
  // Events: the delegate type the property holds.
  const std::type_info* MethodType = nullptr;

  TTypeInfo() = default;
  TTypeInfo(TTypeKind kind, String name) : Kind(kind), name_(std::move(name)) {}

  // The type's name; for class types the class's name.
  String Name() const;
  TClass ClassType() const { return ClassRef ? ClassRef() : nullptr; }
  bool IsOrdinal() const {
    return Kind == tkInteger || Kind == tkChar || Kind == tkWChar || Kind == tkEnumeration || Kind == tkSet;
  }

 private:
  String name_;
};

// The type information of T; specialised for every type a published property may have.
template <class T>
struct TypeInfoTraits;

template <class T>
const TTypeInfo* TypeInfoOf() {
  return TypeInfoTraits<T>::Get();
}

// A type of the same kind as base under another name ("TCaption" for String); one object per name.
const TTypeInfo* AliasTypeInfo(const TTypeInfo* base, const String& name);

// ---- Built-in types ----
const TTypeInfo* BooleanTypeInfo();
const TTypeInfo* OrdinalTypeInfo(TOrdType ordType);
const TTypeInfo* Int64TypeInfo(bool isUnsigned);
const TTypeInfo* FloatTypeInfo(TFloatType floatType);
const TTypeInfo* CharTypeInfo();
const TTypeInfo* WideCharTypeInfo();
const TTypeInfo* StringTypeInfo();
const TTypeInfo* WideStringTypeInfo();
const TTypeInfo* VariantTypeInfo();

template <> struct TypeInfoTraits<bool> { static const TTypeInfo* Get() { return BooleanTypeInfo(); } };
template <> struct TypeInfoTraits<int8_t> { static const TTypeInfo* Get() { return OrdinalTypeInfo(otSByte); } };
template <> struct TypeInfoTraits<uint8_t> { static const TTypeInfo* Get() { return OrdinalTypeInfo(otUByte); } };
template <> struct TypeInfoTraits<int16_t> { static const TTypeInfo* Get() { return OrdinalTypeInfo(otSWord); } };
template <> struct TypeInfoTraits<uint16_t> { static const TTypeInfo* Get() { return OrdinalTypeInfo(otUWord); } };
template <> struct TypeInfoTraits<int32_t> { static const TTypeInfo* Get() { return OrdinalTypeInfo(otSLong); } };
template <> struct TypeInfoTraits<uint32_t> { static const TTypeInfo* Get() { return OrdinalTypeInfo(otULong); } };
template <> struct TypeInfoTraits<int64_t> { static const TTypeInfo* Get() { return Int64TypeInfo(false); } };
template <> struct TypeInfoTraits<uint64_t> { static const TTypeInfo* Get() { return Int64TypeInfo(true); } };
template <> struct TypeInfoTraits<float> { static const TTypeInfo* Get() { return FloatTypeInfo(ftSingle); } };
template <> struct TypeInfoTraits<double> { static const TTypeInfo* Get() { return FloatTypeInfo(ftDouble); } };
template <> struct TypeInfoTraits<long double> { static const TTypeInfo* Get() { return FloatTypeInfo(ftExtended); } };
template <> struct TypeInfoTraits<char> { static const TTypeInfo* Get() { return CharTypeInfo(); } };
template <> struct TypeInfoTraits<char16_t> { static const TTypeInfo* Get() { return WideCharTypeInfo(); } };
template <> struct TypeInfoTraits<String> { static const TTypeInfo* Get() { return StringTypeInfo(); } };
template <> struct TypeInfoTraits<WideString> { static const TTypeInfo* Get() { return WideStringTypeInfo(); } };
template <> struct TypeInfoTraits<Variant> { static const TTypeInfo* Get() { return VariantTypeInfo(); } };

// Class types: the declared class of a property is T.
const TTypeInfo* ClassTypeInfo(TClass (*classRef)());
template <class T>
  requires std::is_base_of_v<TObject, T>
struct TypeInfoTraits<T*> {
  static const TTypeInfo* Get() { return ClassTypeInfo(&T::StaticClass); }
};

// ---- Enumerations ----
// Builds the type of an enumeration from the text of its value list ("alNone, alTop, ...") and the values,
// which must count 0, 1, 2, ... as the class library's enumerations do.
const TTypeInfo* MakeEnumTypeInfo(const char* name, const char* valueNames, std::initializer_list<int> values);

#define K58_ENUM_TYPE(Type, ...)                                                                  \
  template <>                                                                                     \
  struct TypeInfoTraits<Type> {                                                                   \
    static const TTypeInfo* Get() {                                                               \
      static const TTypeInfo* info = MakeEnumTypeInfo(#Type, #__VA_ARGS__, {__VA_ARGS__});        \
      return info;                                                                                \
    }                                                                                             \
  };

String GetEnumName(const TTypeInfo* typeInfo, Integer value);
// Ordinal of the name (ignoring case), -1 when the enumeration has no such value.
Integer GetEnumValue(const TTypeInfo* typeInfo, const String& name);

// ---- Sets ----
// A set of elements of an enumeration; element i is bit i, as sets are stored and streamed. Up to 64
// elements; a published set has at most 32.
template <class E>
class TSet {
 public:
  using Element = E;
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> elements) {
    for (E e : elements) bits_ |= Bit(e);
  }
  static constexpr TSet FromBits(uint64_t bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr uint64_t Bits() const { return bits_; }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }
  friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.bits_ | b.bits_); }
  friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.bits_ & ~b.bits_); }
  friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.bits_ & b.bits_); }
  friend constexpr bool operator==(TSet a, TSet b) { return a.bits_ == b.bits_; }
  // a is a subset of b.
  friend constexpr bool operator<=(TSet a, TSet b) { return (a.bits_ & ~b.bits_) == 0; }

 private:
  static constexpr uint64_t Bit(E e) {
    return static_cast<unsigned>(e) < 64 ? (uint64_t(1) << static_cast<unsigned>(e)) : uint64_t(0);
  }
  uint64_t bits_ = 0;
};

const TTypeInfo* MakeSetTypeInfo(const char* name, const TTypeInfo* elementType);

#define K58_SET_TYPE(SetName, Enum)                                                               \
  using SetName = TSet<Enum>;                                                                     \
  template <>                                                                                     \
  struct TypeInfoTraits<TSet<Enum>> {                                                             \
    static const TTypeInfo* Get() {                                                               \
      static const TTypeInfo* info = MakeSetTypeInfo(#SetName, TypeInfoTraits<Enum>::Get());      \
      return info;                                                                                \
    }                                                                                             \
  };

// "[akLeft,akTop]" (brackets optional) from the bits of a set value, and back. An unknown element name
// raises EPropertyConvertError "Invalid property element: X".
String SetToString(const TTypeInfo* setType, uint32_t value, bool brackets = false);
uint32_t StringToSet(const TTypeInfo* setType, const String& value);

// ---- Events ----
const TTypeInfo* MakeMethodTypeInfo(const char* name, const std::type_info& delegateType);

// Declares an event type: a delegate of the signature, known to the type information by its name.
// A second name for a signature already declared is given with .Type("Name") at the property.
#define K58_EVENT_TYPE(Name, ...)                                                                 \
  using Name = Delegate<__VA_ARGS__>;                                                             \
  template <>                                                                                     \
  struct TypeInfoTraits<Delegate<__VA_ARGS__>> {                                                  \
    static const TTypeInfo* Get() {                                                               \
      static const TTypeInfo* info = MakeMethodTypeInfo(#Name, typeid(Delegate<__VA_ARGS__>));    \
      return info;                                                                                \
    }                                                                                             \
  };

template <>
struct TypeInfoTraits<TNotifyEvent> {
  static const TTypeInfo* Get() {
    static const TTypeInfo* info = MakeMethodTypeInfo("TNotifyEvent", typeid(TNotifyEvent));
    return info;
  }
};

// ---- Integer types with named values (TColor: clRed, TCursor: crHourGlass) ----
using TIdentToInt = std::function<bool(const String& ident, Integer& value)>;
using TIntToIdent = std::function<bool(Integer value, String& ident)>;
void RegisterIntegerConsts(const TTypeInfo* integerType, TIdentToInt identToInt, TIntToIdent intToIdent);
TIdentToInt FindIdentToInt(const TTypeInfo* integerType);
TIntToIdent FindIntToIdent(const TTypeInfo* integerType);

struct TIdentMapEntry {
  Integer Value;
  const char* Name;
};
bool IdentToInt(const String& ident, Integer& value, std::initializer_list<TIdentMapEntry> map);
bool IntToIdent(Integer value, String& ident, std::initializer_list<TIdentMapEntry> map);

// ---- Published properties ----
enum class TStoredKind { Always, Never, Predicate };

// One published property: name, type, accessors and the streaming rules. Accessors not matching the
// kind stay empty; a read-only property has no setter.
struct TPropInfo {
  String Name;
  const TTypeInfo* PropType = nullptr;
  TClass Owner = nullptr;  // the class that declared it

  // Ordinal kinds (integers, characters, enumerations incl. Boolean, sets as bits) and Int64.
  TAccessor<Int64(TObject*)> GetOrd;
  TAccessor<void(TObject*, Int64)> SetOrd;
  TAccessor<Extended(TObject*)> GetFloat;
  TAccessor<void(TObject*, Extended)> SetFloat;
  TAccessor<String(TObject*)> GetStr;
  TAccessor<void(TObject*, const String&)> SetStr;
  TAccessor<WideString(TObject*)> GetWStr;
  TAccessor<void(TObject*, const WideString&)> SetWStr;
  TAccessor<Variant(TObject*)> GetVar;
  TAccessor<void(TObject*, const Variant&)> SetVar;
  TAccessor<TObject*(TObject*)> GetObj;
  TAccessor<void(TObject*, TObject*)> SetObj;  // the declared class is checked before the call
  TAccessor<TMethodValue(TObject*)> GetMethod;
  TAccessor<void(TObject*, const TMethodValue&)> SetMethod;  // the delegate type is checked before

  // Default value: ordinals are written unless they equal a declared default; floats, Int64, strings
  // and Variants unless they equal their default (0, '' or Unassigned unless declared otherwise).
  bool HasOrdDefault = false;
  Int64 OrdDefault = 0;
  bool NoDefault = false;  // non-ordinals: always written
  Extended FloatDefault = 0;
  Int64 Int64Default = 0;
  String StrDefault;
  WideString WStrDefault;
  TStoredKind StoredKind = TStoredKind::Always;
  TAccessor<bool(TObject*)> StoredFn;

  TTypeKind Kind() const { return PropType->Kind; }
  bool IsReadable() const;
  bool IsWritable() const;
};

// Lookup ignoring case on the actual class of the instance; nullptr when it has no such property.
const TPropInfo* GetPropInfo(const TObject* instance, const String& propName);
const TPropInfo* GetPropInfo(TClass cls, const String& propName);
bool IsPublishedProp(const TObject* instance, const String& propName);
// Kind of the property; raises EPropertyError "Property X does not exist" when there is none.
TTypeKind PropType(const TObject* instance, const String& propName);

// Typed access. Reading a write-only or writing a read-only property raises EPropertyError; a value of
// the wrong kind or out of the type's range raises EPropertyConvertError.
Int64 GetOrdProp(TObject* instance, const TPropInfo* prop);
void SetOrdProp(TObject* instance, const TPropInfo* prop, Int64 value);
String GetEnumProp(TObject* instance, const TPropInfo* prop);
void SetEnumProp(TObject* instance, const TPropInfo* prop, const String& value);
String GetSetProp(TObject* instance, const TPropInfo* prop, bool brackets = false);
void SetSetProp(TObject* instance, const TPropInfo* prop, const String& value);
Extended GetFloatProp(TObject* instance, const TPropInfo* prop);
void SetFloatProp(TObject* instance, const TPropInfo* prop, Extended value);
Int64 GetInt64Prop(TObject* instance, const TPropInfo* prop);
void SetInt64Prop(TObject* instance, const TPropInfo* prop, Int64 value);
// Strings: String and WideString properties (converted between UTF-8 and UTF-16), and characters.
String GetStrProp(TObject* instance, const TPropInfo* prop);
void SetStrProp(TObject* instance, const TPropInfo* prop, const String& value);
WideString GetWideStrProp(TObject* instance, const TPropInfo* prop);
void SetWideStrProp(TObject* instance, const TPropInfo* prop, const WideString& value);
Variant GetVariantProp(TObject* instance, const TPropInfo* prop);
void SetVariantProp(TObject* instance, const TPropInfo* prop, const Variant& value);
// Class properties: set checks the declared class ("Invalid property value" for another class).
TObject* GetObjectProp(TObject* instance, const TPropInfo* prop);
void SetObjectProp(TObject* instance, const TPropInfo* prop, TObject* value);
// Events: the handler plus its identity; set accepts an empty value or a delegate of the property's type.
TMethodValue GetMethodProp(TObject* instance, const TPropInfo* prop);
void SetMethodProp(TObject* instance, const TPropInfo* prop, const TMethodValue& value);

// The same by property name.
Int64 GetOrdProp(TObject* instance, const String& propName);
void SetOrdProp(TObject* instance, const String& propName, Int64 value);
String GetEnumProp(TObject* instance, const String& propName);
void SetEnumProp(TObject* instance, const String& propName, const String& value);
String GetSetProp(TObject* instance, const String& propName, bool brackets = false);
void SetSetProp(TObject* instance, const String& propName, const String& value);
Extended GetFloatProp(TObject* instance, const String& propName);
void SetFloatProp(TObject* instance, const String& propName, Extended value);
Int64 GetInt64Prop(TObject* instance, const String& propName);
void SetInt64Prop(TObject* instance, const String& propName, Int64 value);
String GetStrProp(TObject* instance, const String& propName);
void SetStrProp(TObject* instance, const String& propName, const String& value);
WideString GetWideStrProp(TObject* instance, const String& propName);
void SetWideStrProp(TObject* instance, const String& propName, const WideString& value);
Variant GetVariantProp(TObject* instance, const String& propName);
void SetVariantProp(TObject* instance, const String& propName, const Variant& value);
TObject* GetObjectProp(TObject* instance, const String& propName);
void SetObjectProp(TObject* instance, const String& propName, TObject* value);
TMethodValue GetMethodProp(TObject* instance, const String& propName);
void SetMethodProp(TObject* instance, const String& propName, const TMethodValue& value);

// Scalar properties as Variants. Enumerations and sets read as their names when preferStrings (Boolean as
// a Boolean), else as ordinals; class properties as object references. Writing converts the Variant to
// the property's kind (names or ordinals for enumerations and sets). Events raise EPropertyConvertError.
Variant GetPropValue(TObject* instance, const String& propName, bool preferStrings = true);
void SetPropValue(TObject* instance, const String& propName, const Variant& value);

// Streaming rules: is the property stored, and does it hold its default value (then it is not written).
bool IsStoredProp(TObject* instance, const TPropInfo* prop);
bool IsDefaultPropValue(TObject* instance, const TPropInfo* prop);
