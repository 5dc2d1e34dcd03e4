// Variant: the one dynamically typed value of the whole system (script engine, report engine, data
// controller, value types, datasets, published properties).
//
// Kinds and their type codes are the class library's. Byte strings (varString, UTF-8 String) are kept apart
// from wide strings (varOleStr, WideString). Object references are a kind of their own holding a TObject*
// (VarType reports varInteger for them, as scripts expect); automation objects are held through the
// reference-counted IDispatch interface below.
//
// Copying is cheap: scalars are copied by value, strings, arrays and custom values share one immutable
// reference-counted block; an array is copied before an element write when it is shared, so every Variant
// behaves as a value.
//
// Rules of conversions, operators and comparisons:
// - Null in any arithmetic or logical operator gives Null; Null = Null, Null orders below every value.
// - Empty counts as 0 in numeric context, '' in text context and False in Boolean context.
// - A string meeting a number in arithmetic or a comparison is converted to a number (integer text, "$" hex,
//   or a float with the locale decimal separator); text that is no number raises EVariantTypeCastError.
// - Conversion to an integer rounds half to even; out of range raises EVariantOverflowError.
// - Strings compare ordinally and case-sensitively: byte strings by bytes, two wide strings by their 16-bit
//   units, a wide string beside a byte string by its UTF-8 form. A string meeting a date is read as a date.
// - Booleans are -1/0 beside numbers; between two Booleans False < True.
// - Integer arithmetic widens to Int64 when a 32-bit result overflows; an Int64 overflow raises
//   EVariantOverflowError. Floating-point overflow raises EOverflow.
// - Conversion failures raise EVariantTypeCastError "Could not convert variant of type (X) into type (Y)".
#pragma once

#include <atomic>
#include <bit>
#include <cstddef>
#include <initializer_list>
#include <span>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/VarCurrency.h"
#include "platform/rtl/WinTypes.h"

class TObject;  // the class library's root object (platform/classes)
class IDispatch;
class Variant;

using TVarType = Word;

// Type codes.
inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varOleStr = 0x0008;
inline constexpr TVarType varDispatch = 0x0009;
inline constexpr TVarType varError = 0x000A;
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varVariant = 0x000C;
inline constexpr TVarType varUnknown = 0x000D;
inline constexpr TVarType varShortInt = 0x0010;
inline constexpr TVarType varByte = 0x0011;
inline constexpr TVarType varWord = 0x0012;
inline constexpr TVarType varLongWord = 0x0013;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varStrArg = 0x0048;
inline constexpr TVarType varString = 0x0100;
inline constexpr TVarType varAny = 0x0101;
inline constexpr TVarType varTypeMask = 0x0FFF;
inline constexpr TVarType varArray = 0x2000;
inline constexpr TVarType varByRef = 0x4000;

// ---------------------------------------------------------------------------------------------------------
// Errors. Every variant error derives from EVariantError.
K58_DECLARE_EXCEPTION(EVariantError, Exception);
// "Could not convert variant of type (%s) into type (%s)"
K58_DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError);
// A conversion or integer operation whose result does not fit. A conversion failure as well, so callers that
// catch EVariantTypeCastError see it too.
K58_DECLARE_EXCEPTION(EVariantOverflowError, EVariantTypeCastError);
// "Invalid variant operation": operators on arrays, objects or dispatch values, ordering of incomparable kinds.
K58_DECLARE_EXCEPTION(EVariantInvalidOpError, EVariantError);
// "Variant or safe array index out of bounds"
K58_DECLARE_EXCEPTION(EVariantBadIndexError, EVariantError);
// "Invalid argument"
K58_DECLARE_EXCEPTION(EVariantInvalidArgError, EVariantError);
// "Variant is not an array"
K58_DECLARE_EXCEPTION(EVariantNotAnArrayError, EVariantError);
// "Error creating variant or safe array"
K58_DECLARE_EXCEPTION(EVariantArrayCreateError, EVariantError);
// "Invalid variant type"
K58_DECLARE_EXCEPTION(EVariantBadVarTypeError, EVariantError);

// ---------------------------------------------------------------------------------------------------------
// Late-bound automation objects. An object implements IDispatch; names are looked up once, members are then
// invoked by id. Arguments arrive in reverse order (the last argument first), as automation passes them;
// a property put names its value argument DISPID_PROPERTYPUT.
using HRESULT = LONG;
using DISPID = LONG;

inline constexpr HRESULT S_OK = 0;
inline constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline constexpr bool FAILED(HRESULT hr) { return hr < 0; }

inline constexpr WORD DISPATCH_METHOD = 1;
inline constexpr WORD DISPATCH_PROPERTYGET = 2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 4;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

struct DISPPARAMS {
  Variant* rgvarg = nullptr;            // cArgs arguments, last argument first
  DISPID* rgdispidNamedArgs = nullptr;  // ids of the first cNamedArgs arguments
  UINT cArgs = 0;
  UINT cNamedArgs = 0;
};

// Filled by an object whose member failed (Invoke answers DISP_E_EXCEPTION).
struct EXCEPINFO {
  WORD wCode = 0;
  WideString bstrSource;
  WideString bstrDescription;
  WideString bstrHelpFile;
  DWORD dwHelpContext = 0;
  HRESULT scode = 0;
};

// Reference counted: AddRef/Release; the object frees itself when its count drops to zero. A Variant holding
// it owns one reference.
class IDispatch {
public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual HRESULT GetIDsOfNames(const WideString& name, DISPID& id) = 0;
  // result may be null when the caller wants none; excepInfo may be null.
  virtual HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS& params, Variant* result, EXCEPINFO* excepInfo) = 0;

protected:
  ~IDispatch() = default;  // released, never deleted through the interface
};

// ---------------------------------------------------------------------------------------------------------
namespace k58::rtl {
// A shared, reference-counted block behind a Variant (strings, arrays, custom values).
class Payload {
public:
  Payload() = default;
  Payload(const Payload&) = delete;
  Payload& operator=(const Payload&) = delete;
  virtual ~Payload() = default;

  void AddRef() noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
  // True when this was the last reference (the caller deletes).
  bool Release() noexcept { return refs_.fetch_sub(1, std::memory_order_acq_rel) == 1; }
  bool Shared() const noexcept { return refs_.load(std::memory_order_acquire) > 1; }

private:
  std::atomic<int> refs_{1};
};
class ArrayPayload;
}  // namespace k58::rtl

class TCustomVariantType;

// The value of a custom variant type: immutable, shared between copies. Custom types derive from it.
class TCustomVarValue : public k58::rtl::Payload {};

// Bounds of one array dimension.
struct TVarArrayBound {
  Integer LowBound = 0;
  Integer HighBound = -1;
  Integer ElementCount() const { return HighBound - LowBound + 1; }
};

// ---------------------------------------------------------------------------------------------------------
static_assert(std::endian::native == std::endian::little, "Variant's union assumes little-endian");

class Variant {
public:
  Variant() noexcept { d_.i64 = 0; }
  // Copies, moves and destruction of values without a shared block or reference (numbers, dates,
  // Booleans, objects, Null, Empty) stay inline; the others go through the payload's reference count.
  Variant(const Variant& other) noexcept : vt_(other.vt_), d_(other.d_) {
    if (!other.IsPlain()) other.Retain();
  }
  Variant(Variant&& other) noexcept : vt_(other.vt_), d_(other.d_) {
    other.vt_ = varEmpty;
    other.d_.i64 = 0;
  }
  Variant& operator=(const Variant& other) noexcept {
    if (!IsPlain() || !other.IsPlain()) return AssignShared(other);
    vt_ = other.vt_;
    d_ = other.d_;
    return *this;
  }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      if (!IsPlain()) ReleasePayload();
      vt_ = other.vt_;
      d_ = other.d_;
      other.vt_ = varEmpty;
      other.d_.i64 = 0;
    }
    return *this;
  }
  ~Variant() {
    if (!IsPlain()) ReleasePayload();
  }

  // Small values are stored as one 64-bit write (the low bytes, zero above; the union's narrow members
  // are its low bytes on this little-endian target): a later copy reads the
  // whole word, and two partial writes before it would stall that read.
  Variant(bool value) noexcept : vt_(varBoolean) { d_.i64 = value ? 1 : 0; }
  Variant(ShortInt value) noexcept;
  Variant(Byte value) noexcept;
  Variant(SmallInt value) noexcept;
  Variant(Word value) noexcept;
  Variant(Integer value) noexcept : vt_(varInteger) { d_.i64 = static_cast<Int64>(static_cast<LongWord>(value)); }
  Variant(LongWord value) noexcept;
  Variant(Int64 value) noexcept : vt_(varInt64) { d_.i64 = value; }
  Variant(Single value) noexcept;
  Variant(Double value) noexcept : vt_(varDouble) { d_.dbl = value; }
  Variant(Extended value) noexcept;  // kept as varDouble
  Variant(Currency value) noexcept;
  Variant(const char* value);  // varString
  Variant(const String& value);
  Variant(String&& value);
  Variant(const char16_t* value);  // varOleStr
  Variant(const WideString& value);
  Variant(WideString&& value);
  // An object reference (nil allowed). The Variant does not own the object.
  explicit Variant(TObject* object) noexcept;
  // An automation object; the Variant takes its own reference (AddRef). Nil gives a nil dispatch value.
  explicit Variant(IDispatch* dispatch) noexcept;
  Variant(std::nullptr_t) = delete;  // say which kind: FromObject(nullptr) or FromDispatch(nullptr)
  Variant(char) = delete;            // a character is a one-character String
  // Any other pointer would silently become a Boolean; objects of derived classes go through FromObject.
  template <class T>
  Variant(T*) = delete;

  static Variant FromObject(TObject* object) noexcept { return Variant(object); }
  // The tag an object reference carries beside the address (0 for nil and for any other value); see
  // SetVariantObjectTagger.
  Word ObjectTag() const noexcept;
  static Variant FromDispatch(IDispatch* dispatch) noexcept { return Variant(dispatch); }
  static Variant FromDateTime(TDateTime value) noexcept;  // varDate
  // A value of a custom type; the Variant takes over the caller's reference to value.
  static Variant FromCustom(const TCustomVariantType& type, TCustomVarValue* value) noexcept;

  // The class library's VarType (objects report varInteger).
  TVarType Type() const noexcept { return vt_ == kObjectKind ? varInteger : vt_; }
  // A varInteger value (not an object reference), and the value itself without conversion; IntegerRef is
  // valid only when IsInteger.
  bool IsInteger() const noexcept { return vt_ == varInteger; }
  Integer IntegerRef() const noexcept { return d_.i32; }
  bool IsEmpty() const noexcept { return vt_ == varEmpty; }
  bool IsNull() const noexcept { return vt_ == varNull; }
  bool IsArray() const noexcept { return (vt_ & varArray) != 0; }
  bool IsObject() const noexcept;
  bool IsDispatch() const noexcept { return vt_ == varDispatch; }
  bool IsString() const noexcept { return vt_ == varString; }
  bool IsOleStr() const noexcept { return vt_ == varOleStr; }
  bool IsCustom() const noexcept;

  void Clear() noexcept;  // to Empty

  // Conversions with the rules above; they raise EVariantTypeCastError / EVariantOverflowError.
  Integer AsInteger() const;
  Int64 AsInt64() const;
  double AsDouble() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;
  bool AsBoolean() const;
  String AsString() const;  // Null raises; VarToStr gives '' for it
  WideString AsWideString() const;
  // Object references: Empty and nil give nullptr; anything else raises EVariantTypeCastError.
  TObject* AsObject() const;
  // Dispatch: Empty gives nullptr; anything else but a dispatch raises. No reference is added.
  IDispatch* AsDispatch() const;

  // Direct access to the stored value without conversion; valid only for the matching kind.
  const String& StringRef() const;           // varString
  const WideString& WideStringRef() const;   // varOleStr
  const TCustomVarValue* CustomValue() const noexcept;  // custom kinds, else nullptr
  const TCustomVariantType* CustomType() const noexcept;

  // Operators, found only when an operand is a Variant. Null in, Null out; arrays, objects and dispatch values
  // raise EVariantInvalidOpError.
  // +: numbers add (integers widen to Int64 on overflow; date + number is a date); two strings concatenate.
  friend Variant operator+(const Variant& a, const Variant& b);
  friend Variant operator-(const Variant& a, const Variant& b);
  friend Variant operator*(const Variant& a, const Variant& b);
  // Always Double; x / 0 raises EZeroDivide, 0 / 0 raises EInvalidOp.
  friend Variant operator/(const Variant& a, const Variant& b);
  // mod: operands as integers (rounded), remainder with the sign of the dividend; x mod 0 raises EDivByZero.
  friend Variant operator%(const Variant& a, const Variant& b);
  // and, or, xor: Boolean operands give a Boolean, otherwise integers bitwise.
  friend Variant operator&(const Variant& a, const Variant& b);
  friend Variant operator|(const Variant& a, const Variant& b);
  friend Variant operator^(const Variant& a, const Variant& b);
  // not: Boolean negation, or the bitwise complement of an integer.
  friend Variant operator~(const Variant& a);
  // shl, shr: 32-bit (64-bit for Int64); counts outside 0..width-1 give 0; shr shifts in zero bits.
  friend Variant operator<<(const Variant& a, const Variant& b);
  friend Variant operator>>(const Variant& a, const Variant& b);
  friend Variant operator-(const Variant& a);

  // Comparisons (see VarCompareValue); incomparable values raise EVariantError.
  friend bool operator==(const Variant& a, const Variant& b);
  friend bool operator<(const Variant& a, const Variant& b);
  friend bool operator<=(const Variant& a, const Variant& b);
  friend bool operator>(const Variant& a, const Variant& b);
  friend bool operator>=(const Variant& a, const Variant& b);

private:
  friend class k58::rtl::ArrayPayload;
  friend struct VariantAccess;

  // The private kind of object references.
  static constexpr TVarType kObjectKind = 0x0FFE;
  // No shared block and no reference: copied as bits.
  bool IsPlain() const noexcept {
    return vt_ <= varDate || (vt_ >= varError && vt_ <= varInt64) || vt_ == kObjectKind;
  }
  bool HasPayload() const noexcept;
  void Retain() const noexcept;
  void ReleasePayload() noexcept;
  Variant& AssignShared(const Variant& other) noexcept;

  TVarType vt_ = varEmpty;  // internal kind: the type code, or the private object code
  union Data {
    Int64 i64;
    LongWord u32;
    Integer i32;
    SmallInt i16;
    Word u16;
    ShortInt i8;
    Byte u8;
    double dbl;
    float sgl;
    bool b;
    TObject* obj;
    IDispatch* disp;
    k58::rtl::Payload* heap;
  } d_;
};

// Object references keep a 16-bit tag in the bits above the address (user-space addresses use the low
// 48), taken from the tagger when the reference is made. The class library installs one that numbers
// live objects, so a reference to a freed object is told apart from one to a new object at the same
// address. Without a tagger every tag is 0.
using TVariantObjectTagger = Word (*)(TObject* object) noexcept;
void SetVariantObjectTagger(TVariantObjectTagger tagger) noexcept;

// The Null and Empty values.
Variant Null();
Variant Unassigned();

// ---------------------------------------------------------------------------------------------------------
// Type inspection.
inline TVarType VarType(const Variant& v) noexcept { return v.Type(); }
inline bool VarIsNull(const Variant& v) noexcept { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) noexcept { return v.IsEmpty(); }
// Empty, or a nil dispatch value.
bool VarIsClear(const Variant& v) noexcept;
inline bool VarIsArray(const Variant& v) noexcept { return v.IsArray(); }
// varString or varOleStr.
bool VarIsStr(const Variant& v) noexcept;
// Ordinal kinds (integers and Boolean) and Single, Double, Currency; not dates, not object references.
bool VarIsNumeric(const Variant& v) noexcept;
bool VarIsOrdinal(const Variant& v) noexcept;
bool VarIsFloat(const Variant& v) noexcept;
inline bool VarIsObject(const Variant& v) noexcept { return v.IsObject(); }
// Name of a type code as in error messages: "Integer", "String", "OleStr", "Array Variant", custom names.
String VarTypeAsText(TVarType varType);

// ---------------------------------------------------------------------------------------------------------
// Conversions.
// v converted to the type code varType (a simple type, varVariant, varEmpty, varNull, varDispatch or a custom
// type code). A value that already has the type is returned unchanged.
Variant VarAsType(const Variant& v, TVarType varType);
// Text of v; Null gives ''.
String VarToStr(const Variant& v);
// Text of v; Null gives defaultText.
String VarToStrDef(const Variant& v, const String& defaultText);
WideString VarToWideStr(const Variant& v);

// div: operands as integers (rounded), quotient truncated toward zero; x div 0 raises EDivByZero.
Variant VarIntDiv(const Variant& a, const Variant& b);

// ---------------------------------------------------------------------------------------------------------
// Comparisons (also behind the comparison operators). Numbers (integers, floats, currency, dates, Booleans as
// -1/0) numerically; string with number as numbers; strings ordinally; objects and dispatch values only for
// equality (by identity; a nil object equals 0 and Empty). Null = Null; Null is below everything else.
// Incomparable values raise EVariantError.
enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);

// ---------------------------------------------------------------------------------------------------------
// Arrays. Bounds come in pairs per dimension: {low1, high1, low2, high2, ...}; a dimension may be empty
// (high = low - 1). Elements of a varVariant array start Empty, others start at their type's zero.
Variant VarArrayCreate(std::span<const Integer> bounds, TVarType elementType);
Variant VarArrayCreate(std::initializer_list<Integer> bounds, TVarType elementType);
// A one-dimensional varVariant array [0..n-1] of the values.
Variant VarArrayOf(std::span<const Variant> values);
Variant VarArrayOf(std::initializer_list<Variant> values);
// 0 for a value that is not an array.
Integer VarArrayDimCount(const Variant& a);
// Dimensions count from 1. A non-array raises EVariantNotAnArrayError, a bad dimension EVariantBadIndexError.
Integer VarArrayLowBound(const Variant& a, Integer dim);
Integer VarArrayHighBound(const Variant& a, Integer dim);
// One index per dimension. Out of bounds raises EVariantBadIndexError, a wrong index count
// EVariantInvalidArgError.
Variant VarArrayGet(const Variant& a, std::span<const Integer> indices);
Variant VarArrayGet(const Variant& a, std::initializer_list<Integer> indices);
// Writes in place (copying first when the array is shared); the value is converted to the element type.
void VarArrayPut(Variant& a, const Variant& value, std::span<const Integer> indices);
void VarArrayPut(Variant& a, const Variant& value, std::initializer_list<Integer> indices);
// Sets the high bound of the last dimension, keeping the elements that remain; new ones start as above.
void VarArrayRedim(Variant& a, Integer highBound);

// ---------------------------------------------------------------------------------------------------------
// Custom variant types (decimal numbers, time stamps, ...), registered at run time. Constructing one
// registers it and assigns a type code; destroying it unregisters it. Values of the type are TCustomVarValue
// blocks made by the type itself.
class TCustomVariantType {
public:
  explicit TCustomVariantType(String name);
  virtual ~TCustomVariantType();
  TCustomVariantType(const TCustomVariantType&) = delete;
  TCustomVariantType& operator=(const TCustomVariantType&) = delete;

  TVarType VarType() const noexcept { return varType_; }
  const String& Name() const noexcept { return name_; }

  // source (of this type) converted to the simple type code target (varString, varDouble, varInt64,
  // varDate, varBoolean, varCurrency, varOleStr ...). Raise EVariantTypeCastError when impossible.
  virtual Variant CastTo(const Variant& source, TVarType target) const = 0;
  // A value of this type made from source (any other kind). Raise EVariantTypeCastError when impossible.
  virtual Variant CastFrom(const Variant& source) const = 0;
  // The simple type a value turns into when it meets other values in arithmetic and comparisons
  // (varDouble for a decimal number, varDate for a time stamp).
  virtual TVarType OperandType() const { return varDouble; }
  // Three-way comparison of two values of this type: < 0, 0, > 0. By default through OperandType.
  virtual int Compare(const Variant& a, const Variant& b) const;
  // True for types that count as numbers in VarIsNumeric.
  virtual bool IsNumeric() const { return false; }

private:
  String name_;
  TVarType varType_ = 0;
};

// The registered type with the code, or nullptr.
const TCustomVariantType* FindCustomVariantType(TVarType varType) noexcept;
const TCustomVariantType* FindCustomVariantType(const String& name) noexcept;
