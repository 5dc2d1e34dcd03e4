// Internals shared by the Variant sources: payload blocks, raw access, error helpers and the numeric
// conversions the operators build on. Not for use outside platform/rtl/Var*.cpp.
#pragma once

#include <vector>

#include "platform/rtl/Variants.h"

namespace k58::rtl {

// Private kind code of object references (VarType reports varInteger for them).
inline constexpr TVarType kVarObject = 0x0FFE;
// Codes handed out to custom variant types.
inline constexpr TVarType kFirstCustomType = 0x0110;
inline constexpr TVarType kLastCustomType = 0x07FF;
inline constexpr bool IsCustomCode(TVarType kind) { return kind >= kFirstCustomType && kind <= kLastCustomType; }
// Largest number of elements one array may hold.
inline constexpr Int64 kMaxArrayElements = Int64{1} << 26;

class StringPayload : public Payload {
public:
  explicit StringPayload(String s) : text(std::move(s)) {}
  String text;
};

class WideStringPayload : public Payload {
public:
  explicit WideStringPayload(WideString s) : text(std::move(s)) {}
  WideString text;
};

class ArrayPayload : public Payload {
public:
  TVarType elementType = varVariant;
  std::vector<TVarArrayBound> bounds;
  // First index varies fastest, so the last dimension is outermost and can grow in place.
  std::vector<Variant> items;
};

// Names of kinds in messages ("Object" for object references).
String KindName(TVarType kind);

[[noreturn]] void RaiseCastError(TVarType fromKind, TVarType toType);
[[noreturn]] void RaiseConvertOverflow(TVarType fromKind, TVarType toType);
[[noreturn]] void RaiseOverflow();  // "Variant overflow"
[[noreturn]] void RaiseInvalidOp();
[[noreturn]] void RaiseBadIndex();
[[noreturn]] void RaiseInvalidArg();
[[noreturn]] void RaiseNotAnArray();
[[noreturn]] void RaiseArrayCreate();

// Nearest integer of a finite double, halves to even; false when NaN, infinite or outside Int64.
bool RoundHalfEven(double value, Int64& result);
// Text as a number: integer text (decimal or "$" hex) as Integer or Int64, else a float with the locale
// decimal separator as Double. False when it is neither.
bool ParseNumber(const String& text, Variant& result);

// Integer kinds whose values may not fit 32 bits.
inline bool IsWideIntKind(TVarType kind) { return kind == varInt64 || kind == varLongWord; }
inline bool IsIntKind(TVarType kind) {
  switch (kind) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

// Value of an integer kind (IsIntKind) or a Boolean (-1/0).
Int64 IntValue(const Variant& v);

}  // namespace k58::rtl

// Raw access to a Variant's representation for the Variant sources.
struct VariantAccess {
  static TVarType Kind(const Variant& v) noexcept { return v.vt_; }
  static const Variant::Data& Data(const Variant& v) noexcept { return v.d_; }
  static const k58::rtl::ArrayPayload& Array(const Variant& v) noexcept {
    return *static_cast<const k58::rtl::ArrayPayload*>(v.d_.heap);
  }
  // The array of v, copied first when another Variant shares it.
  static k58::rtl::ArrayPayload& MutableArray(Variant& v);
  // A Variant of a kind without payload and with zero data (Null, for one).
  static Variant OfKind(TVarType kind) noexcept {
    Variant v;
    v.vt_ = kind;
    return v;
  }
  // A Variant taking over one reference to payload, with the kind code.
  static Variant FromPayload(TVarType kind, k58::rtl::Payload* payload) noexcept {
    Variant v;
    v.vt_ = kind;
    v.d_.heap = payload;
    return v;
  }
};
