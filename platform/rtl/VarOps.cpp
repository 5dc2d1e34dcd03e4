// Variant operators and comparisons.
#include <cmath>
#include <limits>

#include "platform/rtl/CodePages.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/VarInternal.h"
#include "platform/rtl/Variants.h"

using namespace k58::rtl;

namespace {

enum class Op { Add, Subtract, Multiply };

TVarType KindOf(const Variant& v) { return VariantAccess::Kind(v); }

bool IsStrKind(TVarType kind) { return kind == varString || kind == varOleStr; }

// Kinds no operator accepts.
bool IsInert(TVarType kind) {
  return (kind & varArray) != 0 || kind == kVarObject || kind == varDispatch;
}

// A custom value as the simple type it takes part in operations with.
Variant Simplify(const Variant& v) {
  const TCustomVariantType* type = v.CustomType();
  if (type == nullptr) return v;
  TVarType simple = type->OperandType();
  if (IsCustomCode(simple)) RaiseInvalidOp();  // must name a simple type
  return VarAsType(v, simple);
}

// A string or Empty turned into a number for arithmetic; other values unchanged.
Variant Numeric(const Variant& v) {
  TVarType kind = KindOf(v);
  if (kind == varEmpty) return Variant(Integer{0});
  if (kind == varBoolean) return Variant(static_cast<Integer>(IntValue(v)));
  if (IsStrKind(kind)) {
    Variant number;
    String text = v.IsString() ? v.StringRef() : WideToUtf8(v.WideStringRef());
    if (!ParseNumber(text, number)) RaiseCastError(kind, varDouble);
    return number;
  }
  return v;
}

// Integer result: Integer when both operands were 32-bit kinds and the value fits, Int64 otherwise.
Variant IntResult(Int64 value, bool wide) {
  if (!wide && value >= std::numeric_limits<Integer>::min() && value <= std::numeric_limits<Integer>::max())
    return Variant(static_cast<Integer>(value));
  return Variant(value);
}

double FloatOf(const Variant& v) { return v.AsDouble(); }

// A floating-point result; an overflow or invalid result from finite operands raises as the processor would.
double CheckFloat(double result, double a, double b) {
  if (!std::isfinite(result) && std::isfinite(a) && std::isfinite(b)) {
    if (std::isnan(result)) throw EInvalidOp(rtlconsts::SInvalidOp);
    throw EOverflow(rtlconsts::SOverflow);
  }
  return result;
}

Int64 CheckedInt(Op op, Int64 a, Int64 b) {
  Int64 result = 0;
  bool overflow = false;
  switch (op) {
    case Op::Add: overflow = __builtin_add_overflow(a, b, &result); break;
    case Op::Subtract: overflow = __builtin_sub_overflow(a, b, &result); break;
    case Op::Multiply: overflow = __builtin_mul_overflow(a, b, &result); break;
  }
  if (overflow) RaiseOverflow();
  return result;
}

// Currency arithmetic on scaled values; a product is rescaled with halves to even.
Currency CurrencyOp(Op op, Currency a, Currency b) {
  switch (op) {
    case Op::Add: return Currency::FromScaled(CheckedInt(op, a.Scaled, b.Scaled));
    case Op::Subtract: return Currency::FromScaled(CheckedInt(op, a.Scaled, b.Scaled));
    case Op::Multiply: {
      __int128 product = static_cast<__int128>(a.Scaled) * b.Scaled;
      __int128 whole = product / Currency::Scale;
      __int128 rest = product % Currency::Scale;
      const __int128 half = Currency::Scale / 2;
      if (rest > half || (rest == half && (whole & 1) != 0)) ++whole;
      if (rest < -half || (rest == -half && (whole & 1) != 0)) --whole;
      if (whole > std::numeric_limits<Int64>::max() || whole < std::numeric_limits<Int64>::min()) RaiseOverflow();
      return Currency::FromScaled(static_cast<Int64>(whole));
    }
  }
  return a;
}

Variant Arithmetic(Op op, const Variant& left, const Variant& right) {
  if (left.IsNull() || right.IsNull()) return Null();
  if (IsInert(KindOf(left)) || IsInert(KindOf(right))) RaiseInvalidOp();
  Variant a = Simplify(left);
  Variant b = Simplify(right);
  TVarType ka = KindOf(a);
  TVarType kb = KindOf(b);

  if (op == Op::Add) {
    // Two strings, or a string and Empty, concatenate.
    bool strA = IsStrKind(ka);
    bool strB = IsStrKind(kb);
    if ((strA && (strB || kb == varEmpty)) || (strB && ka == varEmpty)) {
      if (ka == varOleStr && (kb == varOleStr || kb == varEmpty)) return Variant(a.WideStringRef() + b.AsWideString());
      if (kb == varOleStr && ka == varEmpty) return b;
      return Variant(a.AsString() + b.AsString());
    }
  }

  a = Numeric(a);
  b = Numeric(b);
  ka = KindOf(a);
  kb = KindOf(b);

  if (ka == varDate || kb == varDate) {
    double x = FloatOf(a);
    double y = FloatOf(b);
    double result = 0;
    switch (op) {
      case Op::Add: result = x + y; break;
      case Op::Subtract: result = x - y; break;
      case Op::Multiply: result = x * y; break;
    }
    CheckFloat(result, x, y);
    // date + number and date - number stay dates; a difference of two dates is a number of days.
    bool isDate = (op == Op::Add) || (op == Op::Subtract && ka == varDate && kb != varDate);
    return isDate ? Variant::FromDateTime(result) : Variant(result);
  }
  if (ka == varSingle || ka == varDouble || kb == varSingle || kb == varDouble) {
    double x = FloatOf(a);
    double y = FloatOf(b);
    double result = 0;
    switch (op) {
      case Op::Add: result = x + y; break;
      case Op::Subtract: result = x - y; break;
      case Op::Multiply: result = x * y; break;
    }
    CheckFloat(result, x, y);
    if (ka == varSingle && kb == varSingle && std::fabs(result) <= std::numeric_limits<float>::max())
      return Variant(static_cast<Single>(result));
    return Variant(result);
  }
  if (ka == varCurrency || kb == varCurrency) return Variant(CurrencyOp(op, a.AsCurrency(), b.AsCurrency()));
  // Both integers.
  Int64 x = IntValue(a);
  Int64 y = IntValue(b);
  return IntResult(CheckedInt(op, x, y), IsWideIntKind(ka) || IsWideIntKind(kb));
}

// Integer operands for div, mod, shifts and bitwise operators; wide when either needs 64 bits.
struct IntPair {
  Int64 a;
  Int64 b;
  bool wide;
};

IntPair IntOperands(const Variant& left, const Variant& right) {
  Variant a = Numeric(Simplify(left));
  Variant b = Numeric(Simplify(right));
  IntPair p{a.AsInt64(), b.AsInt64(), IsWideIntKind(KindOf(a)) || IsWideIntKind(KindOf(b))};
  return p;
}

bool CheckOperands(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return false;
  if (IsInert(KindOf(a)) || IsInert(KindOf(b))) RaiseInvalidOp();
  return true;
}

// Operand of and/or/xor/not: a Boolean stays Boolean, Empty and Boolean text become Booleans (when
// `booleanContext`), everything else becomes an integer.
Variant LogicalOperand(const Variant& v, bool booleanContext) {
  Variant s = Simplify(v);
  TVarType kind = KindOf(s);
  if (kind == varBoolean) return s;
  if (kind == varEmpty) return booleanContext ? Variant(false) : Variant(Integer{0});
  if (IsStrKind(kind)) {
    String text = s.IsString() ? s.StringRef() : WideToUtf8(s.WideStringRef());
    Variant number;
    if (ParseNumber(text, number)) return number;
    bool flag = false;
    if (TryStrToBool(text, flag)) return Variant(flag);
    RaiseCastError(kind, varBoolean);
  }
  return s;
}

enum class Logic { And, Or, Xor };

Variant LogicalOp(Logic op, const Variant& left, const Variant& right) {
  if (!CheckOperands(left, right)) return Null();
  bool boolContext = KindOf(Simplify(left)) == varBoolean || KindOf(Simplify(right)) == varBoolean;
  Variant a = LogicalOperand(left, boolContext);
  Variant b = LogicalOperand(right, boolContext);
  if (a.IsNull() || b.IsNull()) return Null();
  if (KindOf(a) == varBoolean && KindOf(b) == varBoolean) {
    bool x = a.AsBoolean();
    bool y = b.AsBoolean();
    switch (op) {
      case Logic::And: return Variant(x && y);
      case Logic::Or: return Variant(x || y);
      case Logic::Xor: return Variant(x != y);
    }
  }
  IntPair p = IntOperands(a, b);
  Int64 result = 0;
  switch (op) {
    case Logic::And: result = p.a & p.b; break;
    case Logic::Or: result = p.a | p.b; break;
    case Logic::Xor: result = p.a ^ p.b; break;
  }
  return IntResult(result, p.wide);
}

// The width shifts work in: 64 bits for wide kinds or values beyond 32 bits.
Variant Shift(bool left, const Variant& value, const Variant& count) {
  if (!CheckOperands(value, count)) return Null();
  IntPair p = IntOperands(value, count);
  bool wide = p.wide || p.a < std::numeric_limits<Integer>::min() || p.a > std::numeric_limits<Integer>::max();
  int width = wide ? 64 : 32;
  if (p.b < 0 || p.b >= width) return wide ? Variant(Int64{0}) : Variant(Integer{0});
  if (wide) {
    UInt64 bits = static_cast<UInt64>(p.a);
    bits = left ? bits << p.b : bits >> p.b;
    return Variant(static_cast<Int64>(bits));
  }
  uint32_t bits = static_cast<uint32_t>(p.a);
  bits = left ? bits << p.b : bits >> p.b;
  return Variant(static_cast<Integer>(bits));
}

}  // namespace

Variant operator+(const Variant& a, const Variant& b) { return Arithmetic(Op::Add, a, b); }
Variant operator-(const Variant& a, const Variant& b) { return Arithmetic(Op::Subtract, a, b); }
Variant operator*(const Variant& a, const Variant& b) { return Arithmetic(Op::Multiply, a, b); }

Variant operator/(const Variant& left, const Variant& right) {
  if (!CheckOperands(left, right)) return Null();
  double x = Numeric(Simplify(left)).AsDouble();
  double y = Numeric(Simplify(right)).AsDouble();
  if (y == 0) {
    if (x == 0 || std::isnan(x)) throw EInvalidOp(rtlconsts::SInvalidOp);
    throw EZeroDivide(rtlconsts::SZeroDivide);
  }
  return Variant(CheckFloat(x / y, x, y));
}

Variant VarIntDiv(const Variant& left, const Variant& right) {
  if (!CheckOperands(left, right)) return Null();
  IntPair p = IntOperands(left, right);
  if (p.b == 0) throw EDivByZero(rtlconsts::SDivByZero);
  if (p.a == std::numeric_limits<Int64>::min() && p.b == -1) RaiseOverflow();
  return IntResult(p.a / p.b, p.wide);
}

Variant operator%(const Variant& left, const Variant& right) {
  if (!CheckOperands(left, right)) return Null();
  IntPair p = IntOperands(left, right);
  if (p.b == 0) throw EDivByZero(rtlconsts::SDivByZero);
  if (p.b == -1) return IntResult(0, p.wide);
  return IntResult(p.a % p.b, p.wide);
}

Variant operator&(const Variant& a, const Variant& b) { return LogicalOp(Logic::And, a, b); }
Variant operator|(const Variant& a, const Variant& b) { return LogicalOp(Logic::Or, a, b); }
Variant operator^(const Variant& a, const Variant& b) { return LogicalOp(Logic::Xor, a, b); }

Variant operator~(const Variant& value) {
  if (value.IsNull()) return Null();
  if (IsInert(KindOf(value))) RaiseInvalidOp();
  Variant a = LogicalOperand(value, false);
  if (KindOf(a) == varBoolean) return Variant(!a.AsBoolean());
  Variant n = Numeric(a);
  return IntResult(~n.AsInt64(), IsWideIntKind(KindOf(n)));
}

Variant operator<<(const Variant& a, const Variant& b) { return Shift(true, a, b); }
Variant operator>>(const Variant& a, const Variant& b) { return Shift(false, a, b); }

Variant operator-(const Variant& value) {
  if (value.IsNull()) return Null();
  if (IsInert(KindOf(value))) RaiseInvalidOp();
  Variant a = Numeric(Simplify(value));
  switch (KindOf(a)) {
    case varSingle: return Variant(static_cast<Single>(-a.AsDouble()));
    case varDouble: return Variant(-a.AsDouble());
    case varDate: return Variant::FromDateTime(-a.AsDateTime());
    case varCurrency: {
      Currency c = a.AsCurrency();
      if (c.Scaled == std::numeric_limits<Int64>::min()) RaiseOverflow();
      return Variant(Currency::FromScaled(-c.Scaled));
    }
    default: {
      Int64 x = IntValue(a);
      if (x == std::numeric_limits<Int64>::min()) RaiseOverflow();
      return IntResult(-x, IsWideIntKind(KindOf(a)));
    }
  }
}

// ---------------------------------------------------------------------------------------------------------
// Comparisons

namespace {

template <class T>
TVariantRelationship Order(const T& a, const T& b) {
  if (a < b) return vrLessThan;
  if (b < a) return vrGreaterThan;
  return vrEqual;
}

TVariantRelationship OrderDoubles(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return vrNotEqual;
  return Order(a, b);
}

// Identity comparison of references (objects and dispatch values) with anything.
TVariantRelationship CompareReference(const Variant& a, const Variant& b) {
  auto isNilRef = [](const Variant& v) {
    return (v.IsObject() && v.AsObject() == nullptr) || (v.IsDispatch() && v.AsDispatch() == nullptr);
  };
  auto isRef = [](const Variant& v) { return v.IsObject() || v.IsDispatch(); };
  if (isRef(a) && isRef(b)) {
    if (a.IsObject() != b.IsObject()) return vrNotEqual;
    bool same = a.IsObject() ? a.AsObject() == b.AsObject() : a.AsDispatch() == b.AsDispatch();
    return same ? vrEqual : vrNotEqual;
  }
  const Variant& ref = isRef(a) ? a : b;
  const Variant& other = isRef(a) ? b : a;
  if (!isNilRef(ref)) return vrNotEqual;
  // A nil reference equals Empty and the number 0 (nil is 0 in scripts).
  if (other.IsEmpty()) return vrEqual;
  if (VarIsNumeric(other) && other.AsDouble() == 0) return vrEqual;
  return vrNotEqual;
}

TVariantRelationship CompareStrings(const Variant& a, const Variant& b) {
  if (a.IsOleStr() && b.IsOleStr()) return Order(a.WideStringRef(), b.WideStringRef());
  int c = a.AsString().compare(b.AsString());
  return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual;
}

TVariantRelationship CompareNumbers(const Variant& a, const Variant& b) {
  TVarType ka = KindOf(a);
  TVarType kb = KindOf(b);
  bool intA = IsIntKind(ka) || ka == varBoolean;
  bool intB = IsIntKind(kb) || kb == varBoolean;
  if (intA && intB) return Order(IntValue(a), IntValue(b));
  if ((ka == varCurrency || intA) && (kb == varCurrency || intB)) {
    // Exact comparison on the scaled values.
    __int128 x = ka == varCurrency ? a.AsCurrency().Scaled : static_cast<__int128>(IntValue(a)) * Currency::Scale;
    __int128 y = kb == varCurrency ? b.AsCurrency().Scaled : static_cast<__int128>(IntValue(b)) * Currency::Scale;
    return Order(x, y);
  }
  if (ka == varDate && IsStrKind(kb)) return OrderDoubles(a.AsDouble(), b.AsDateTime());
  if (kb == varDate && IsStrKind(ka)) return OrderDoubles(a.AsDateTime(), b.AsDouble());
  return OrderDoubles(a.AsDouble(), b.AsDouble());
}

}  // namespace

TVariantRelationship VarCompareValue(const Variant& left, const Variant& right) {
  if (left.IsNull() && right.IsNull()) return vrEqual;
  if (left.IsNull()) return vrLessThan;
  if (right.IsNull()) return vrGreaterThan;
  if (left.IsArray() || right.IsArray()) RaiseInvalidOp();
  if (left.IsObject() || left.IsDispatch() || right.IsObject() || right.IsDispatch())
    return CompareReference(left, right);

  const TCustomVariantType* typeA = left.CustomType();
  const TCustomVariantType* typeB = right.CustomType();
  if (typeA != nullptr && typeA == typeB) {
    int c = typeA->Compare(left, right);
    return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual;
  }
  Variant a = Simplify(left);
  Variant b = Simplify(right);
  TVarType ka = KindOf(a);
  TVarType kb = KindOf(b);

  if (ka == varEmpty && kb == varEmpty) return vrEqual;
  bool strA = IsStrKind(ka);
  bool strB = IsStrKind(kb);
  // Empty is '' beside a string, 0 beside a number.
  if ((strA || ka == varEmpty) && (strB || kb == varEmpty)) return CompareStrings(a, b);
  if (ka == varBoolean && kb == varBoolean) return Order(a.AsBoolean(), b.AsBoolean());
  // A string meeting a date is read as a date, meeting a number as a number.
  if (strA && kb != varDate) a = Numeric(a);
  if (strB && ka != varDate) b = Numeric(b);
  return CompareNumbers(a, b);
}

namespace {

// Ordering needs comparable values; references and NaN only answer equality.
TVariantRelationship Ordered(const Variant& a, const Variant& b) {
  TVariantRelationship r = VarCompareValue(a, b);
  if (r == vrNotEqual) RaiseInvalidOp();
  return r;
}

}  // namespace

bool operator==(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrEqual; }
bool operator<(const Variant& a, const Variant& b) { return Ordered(a, b) == vrLessThan; }
bool operator<=(const Variant& a, const Variant& b) { return Ordered(a, b) != vrGreaterThan; }
bool operator>(const Variant& a, const Variant& b) { return Ordered(a, b) == vrGreaterThan; }
bool operator>=(const Variant& a, const Variant& b) { return Ordered(a, b) != vrLessThan; }
