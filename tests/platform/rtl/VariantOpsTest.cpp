// Variant operators and comparisons.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Variants.h"
#include "tests/common/RtlTesting.h"

namespace rtl_test {

namespace {

using BinaryOp = std::function<Variant(const Variant&, const Variant&)>;

struct NamedOp {
  const char* name;
  BinaryOp op;
};

const NamedOp kOps[] = {
    {"+", [](const Variant& a, const Variant& b) { return a + b; }},
    {"-", [](const Variant& a, const Variant& b) { return a - b; }},
    {"*", [](const Variant& a, const Variant& b) { return a * b; }},
    {"/", [](const Variant& a, const Variant& b) { return a / b; }},
    {"div", [](const Variant& a, const Variant& b) { return VarIntDiv(a, b); }},
    {"mod", [](const Variant& a, const Variant& b) { return a % b; }},
    {"and", [](const Variant& a, const Variant& b) { return a & b; }},
    {"or", [](const Variant& a, const Variant& b) { return a | b; }},
    {"xor", [](const Variant& a, const Variant& b) { return a ^ b; }},
    {"shl", [](const Variant& a, const Variant& b) { return a << b; }},
    {"shr", [](const Variant& a, const Variant& b) { return a >> b; }},
};

BinaryOp OpNamed(const std::string& name) {
  for (const NamedOp& op : kOps)
    if (name == op.name) return op.op;
  ADD_FAILURE() << "no operator " << name;
  return kOps[0].op;
}

}  // namespace

TEST(VariantOperators, NullPropagatesThroughEveryOperator) {
  const Variant others[] = {Variant(1), Variant(0), Variant(true), Variant("x"), Variant(2.5), Null(), Variant()};
  for (const NamedOp& op : kOps) {
    for (const Variant& other : others) {
      EXPECT_TRUE(VarIsNull(op.op(Null(), other))) << "Null " << op.name << " " << VarToStr(other);
      EXPECT_TRUE(VarIsNull(op.op(other, Null()))) << VarToStr(other) << " " << op.name << " Null";
    }
  }
  EXPECT_TRUE(VarIsNull(~Null()));
  EXPECT_TRUE(VarIsNull(-Null()));
}

TEST(VariantOperators, ArithmeticResultsAndTypes) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  const Int64 maxInt = std::numeric_limits<Integer>::max();
  struct Case {
    Variant a;
    const char* op;
    Variant b;
    Variant expected;
    TVarType type;
  };
  const Case cases[] = {
      {1, "+", 2, 3, varInteger},
      {Integer(maxInt), "+", 1, Int64{maxInt + 1}, varInt64},      // widens instead of wrapping
      {std::numeric_limits<Integer>::min(), "-", 1, Int64{-maxInt - 2}, varInt64},
      {65536, "*", 65536, Int64{1} << 32, varInt64},
      {Int64{5}, "+", 1, Int64{6}, varInt64},
      {Word{60000}, "+", Word{60000}, 120000, varInteger},
      {1, "+", 0.5, 1.5, varDouble},
      {1.5f, "+", 1.5f, 3.0f, varSingle},
      {"10", "+", 20, 30, varInteger},
      {20, "-", "2.5", 17.5, varDouble},
      {"3", "*", "4", 12, varInteger},
      {"a", "+", "b", "ab", varString},
      {u"a", "+", u"b", u"ab", varOleStr},
      {"a", "+", u"b", "ab", varString},
      {Variant(), "+", 1, 1, varInteger},
      {Variant(), "+", "a", "a", varString},
      {"a", "+", Variant(), "a", varString},
      {Variant(), "+", Variant(), 0, varInteger},
      {true, "+", 1, 0, varInteger},
      {Variant::FromDateTime(36526), "+", 1.5, Variant::FromDateTime(36527.5), varDate},
      {Variant::FromDateTime(36526), "-", 1, Variant::FromDateTime(36525), varDate},
      {Variant::FromDateTime(36527), "-", Variant::FromDateTime(36526), 1.0, varDouble},
      {Currency::FromScaled(1000), "+", Currency::FromScaled(2000), Currency::FromScaled(3000), varCurrency},
      {Currency::FromScaled(15000), "*", 3, Currency::FromScaled(45000), varCurrency},
      {Currency::FromScaled(15000), "*", Currency::FromScaled(15000), Currency::FromScaled(22500), varCurrency},
      {Currency::FromScaled(10000), "+", 0.5, 1.5, varDouble},
      {7, "/", 2, 3.5, varDouble},
      {6, "/", 3, 2.0, varDouble},
      {Currency::FromScaled(10000), "/", 4, 0.25, varDouble},
      {7, "div", 2, 3, varInteger},
      {-7, "div", 2, -3, varInteger},
      {7, "mod", 2, 1, varInteger},
      {-7, "mod", 2, -1, varInteger},
      {7, "mod", -2, 1, varInteger},
      {7.5, "div", 1, 8, varInteger},   // operands round half to even
      {2.5, "div", 1, 2, varInteger},
      {"9", "div", "2", 4, varInteger},
      {std::numeric_limits<Integer>::min(), "div", -1, Int64{maxInt + 1}, varInt64},
      {Int64{10}, "mod", 3, Int64{1}, varInt64},
      {std::numeric_limits<Int64>::min(), "mod", -1, Int64{0}, varInt64},
  };
  for (const Case& c : cases) {
    Variant result = OpNamed(c.op)(c.a, c.b);
    std::string label = VarToStr(c.a) + " " + c.op + " " + VarToStr(c.b);
    EXPECT_EQ(VarType(result), c.type) << label;
    EXPECT_TRUE(result == c.expected) << label << " = " << VarToStr(result);
  }
}

TEST(VariantOperators, ArithmeticErrors) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  int object = 0;
  const Variant someObject = Variant::FromObject(reinterpret_cast<TObject*>(&object));
  EXPECT_THROW(Variant("a") + 1, EVariantTypeCastError);  // a string that is no number
  EXPECT_THROW(Variant("a") * Variant("b"), EVariantTypeCastError);
  EXPECT_THROW(1 - Variant("1,5"), EVariantTypeCastError);
  EXPECT_THROW(Variant(1) / 0, EZeroDivide);
  EXPECT_THROW(Variant(1.5) / 0.0, EZeroDivide);
  EXPECT_THROW(Variant(0) / 0, EInvalidOp);
  EXPECT_THROW(Variant(1e308) * 10, EOverflow);
  EXPECT_THROW(VarIntDiv(1, 0), EDivByZero);
  EXPECT_THROW(VarIntDiv(1, 0.4), EDivByZero);  // the divisor rounds to 0
  EXPECT_THROW(Variant(1) % 0, EDivByZero);
  EXPECT_THROW(Variant(std::numeric_limits<Int64>::max()) + 1, EVariantOverflowError);
  EXPECT_THROW(VarIntDiv(std::numeric_limits<Int64>::min(), -1), EVariantOverflowError);
  EXPECT_THROW(-Variant(std::numeric_limits<Int64>::min()), EVariantOverflowError);
  EXPECT_THROW(Variant(Currency::FromScaled(std::numeric_limits<Int64>::max())) + Currency::FromScaled(1),
               EVariantOverflowError);
  // Arrays, objects and dispatch values take part in no arithmetic.
  const Variant inert[] = {VarArrayOf({1}), someObject, Variant::FromObject(nullptr), Variant::FromDispatch(nullptr)};
  for (const Variant& v : inert) {
    for (const NamedOp& op : kOps) {
      EXPECT_THROW(op.op(v, 1), EVariantInvalidOpError) << op.name;
      EXPECT_THROW(op.op(1, v), EVariantInvalidOpError) << op.name;
    }
    EXPECT_THROW(-v, EVariantInvalidOpError);
    EXPECT_THROW(~v, EVariantInvalidOpError);
  }
}

TEST(VariantOperators, LogicalAndShiftOperators) {
  struct Case {
    Variant a;
    const char* op;
    Variant b;
    Variant expected;
    TVarType type;
  };
  const Case cases[] = {
      {true, "and", false, false, varBoolean},
      {true, "or", false, true, varBoolean},
      {true, "xor", true, false, varBoolean},
      {12, "and", 10, 8, varInteger},
      {12, "or", 3, 15, varInteger},
      {5, "xor", 1, 4, varInteger},
      {Int64{1} << 40, "or", 1, (Int64{1} << 40) + 1, varInt64},
      {true, "and", 6, 6, varInteger},   // a Boolean beside an integer is -1
      {"True", "and", true, true, varBoolean},
      {Variant(), "or", true, true, varBoolean},
      {"12", "and", 4, 4, varInteger},
      {1, "shl", 31, std::numeric_limits<Integer>::min(), varInteger},
      {1, "shl", 32, 0, varInteger},
      {1, "shl", -1, 0, varInteger},
      {-1, "shr", 1, std::numeric_limits<Integer>::max(), varInteger},
      {-1, "shr", 0, -1, varInteger},
      {-1, "shr", 40, 0, varInteger},
      {Int64{1}, "shl", 40, Int64{1} << 40, varInt64},
      {Int64{1}, "shl", 64, Int64{0}, varInt64},
      {256, "shr", 4, 16, varInteger},
  };
  for (const Case& c : cases) {
    Variant result = OpNamed(c.op)(c.a, c.b);
    std::string label = VarToStr(c.a) + " " + c.op + " " + VarToStr(c.b);
    EXPECT_EQ(VarType(result), c.type) << label;
    EXPECT_TRUE(result == c.expected) << label << " = " << VarToStr(result);
  }
  EXPECT_TRUE(~Variant(true) == Variant(false));
  EXPECT_EQ(VarType(~Variant(true)), varBoolean);
  EXPECT_TRUE(~Variant(0) == Variant(-1));
  EXPECT_TRUE(~Variant(Int64{0}) == Variant(Int64{-1}));
  EXPECT_EQ(VarType(~Variant(Int64{0})), varInt64);
  EXPECT_TRUE(~Variant("False") == Variant(true));
  EXPECT_THROW(Variant("maybe") & Variant(true), EVariantTypeCastError);
}

TEST(VariantOperators, UnaryMinus) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  struct Case {
    Variant value;
    Variant expected;
    TVarType type;
  };
  const Case cases[] = {
      {5, -5, varInteger},
      {std::numeric_limits<Integer>::min(), Int64{2147483648LL}, varInt64},
      {true, 1, varInteger},
      {Variant(), 0, varInteger},
      {"5", -5, varInteger},
      {"2.5", -2.5, varDouble},
      {1.5f, -1.5f, varSingle},
      {Currency::FromScaled(5), Currency::FromScaled(-5), varCurrency},
      {Variant::FromDateTime(2.5), Variant::FromDateTime(-2.5), varDate},
      {Word{3}, -3, varInteger},
  };
  for (const Case& c : cases) {
    Variant result = -c.value;
    EXPECT_EQ(VarType(result), c.type) << VarToStr(c.value);
    EXPECT_TRUE(result == c.expected) << VarToStr(c.value) << " -> " << VarToStr(result);
  }
}

TEST(VariantComparisons, RelationshipTable) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  int first = 0;
  int second = 0;
  const Variant objectA = Variant::FromObject(reinterpret_cast<TObject*>(&first));
  const Variant objectB = Variant::FromObject(reinterpret_cast<TObject*>(&second));
  const Variant nil = Variant::FromObject(nullptr);
  struct Case {
    Variant a;
    Variant b;
    TVariantRelationship expected;
  };
  const Case cases[] = {
      {1, 1.0, vrEqual},
      {2, 10, vrLessThan},
      {10, 2, vrGreaterThan},
      {"10", 9, vrGreaterThan},  // the string is read as a number
      {9, "10", vrLessThan},
      {"2.5", 2.5, vrEqual},
      {"a", "a", vrEqual},
      {"a", "B", vrGreaterThan},  // ordinal, case-sensitive
      {"abc", "abd", vrLessThan},
      {"", "a", vrLessThan},
      {u"abc", "abc", vrEqual},
      {u"b", u"a", vrGreaterThan},
      {Null(), Null(), vrEqual},
      {Null(), 5, vrLessThan},
      {5, Null(), vrGreaterThan},
      {Null(), Variant(), vrLessThan},
      {Null(), "", vrLessThan},
      {Variant(), Variant(), vrEqual},
      {Variant(), 0, vrEqual},
      {Variant(), "", vrEqual},
      {Variant(), "a", vrLessThan},
      {Variant(), false, vrEqual},
      {Variant(), -1, vrGreaterThan},
      {true, false, vrGreaterThan},
      {true, true, vrEqual},
      {true, -1, vrEqual},  // True is -1 beside numbers
      {false, 0, vrEqual},
      {Currency::FromScaled(15000), 1.5, vrEqual},
      {Currency::FromScaled(20000), 2, vrEqual},
      {Currency::FromScaled(20001), 2, vrGreaterThan},
      {Variant::FromDateTime(36526.5), 36526.5, vrEqual},
      {Variant::FromDateTime(36526), "2000-01-01", vrEqual},
      {Variant::FromDateTime(36527), "2000-01-01", vrGreaterThan},
      {std::numeric_limits<Int64>::max(), std::numeric_limits<Int64>::max() - 1, vrGreaterThan},
      {LongWord{4000000000u}, -1, vrGreaterThan},
      {Byte{255}, SmallInt{-1}, vrGreaterThan},
      {objectA, objectA, vrEqual},
      {objectA, objectB, vrNotEqual},
      {objectA, 0, vrNotEqual},
      {nil, 0, vrEqual},
      {nil, Variant(), vrEqual},
      {nil, 1, vrNotEqual},
      {nil, Variant::FromDispatch(nullptr), vrNotEqual},
      {Variant::FromDispatch(nullptr), Variant(), vrEqual},
      {objectA, Null(), vrGreaterThan},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VarCompareValue(c.a, c.b), c.expected) << VarToStr(c.a) << " ? " << VarToStr(c.b);
}

TEST(VariantComparisons, OperatorsAgreeWithTheRelationship) {
  // Null = Null, Null <> x, and Null orders below everything.
  EXPECT_TRUE(Null() == Null());
  EXPECT_FALSE(Null() == Variant(5));
  EXPECT_TRUE(Null() != Variant(5));
  EXPECT_TRUE(Null() < Variant(5));
  EXPECT_TRUE(Null() <= Null());
  EXPECT_FALSE(Variant(5) < Null());
  EXPECT_TRUE(Variant(5) >= Null());
  EXPECT_TRUE(Variant("10") > 9);
  EXPECT_TRUE(Variant(1) <= 1.0);
  EXPECT_FALSE(Variant(1) > 1.0);
  EXPECT_TRUE(Variant("a") != Variant("A"));
}

TEST(VariantComparisons, IncomparableValuesRaise) {
  int first = 0;
  int second = 0;
  const Variant objectA = Variant::FromObject(reinterpret_cast<TObject*>(&first));
  const Variant objectB = Variant::FromObject(reinterpret_cast<TObject*>(&second));
  EXPECT_THROW(VarCompareValue("abc", 5), EVariantTypeCastError);
  EXPECT_THROW(VarCompareValue(5, "abc"), EVariantTypeCastError);
  EXPECT_THROW((void)(Variant("abc") == 5), EVariantError);
  EXPECT_THROW(VarCompareValue("True", true), EVariantTypeCastError);
  EXPECT_THROW(VarCompareValue(VarArrayOf({1}), VarArrayOf({1})), EVariantInvalidOpError);
  EXPECT_THROW(VarCompareValue(VarArrayOf({1}), 1), EVariantInvalidOpError);
  // References have identity, not order.
  EXPECT_THROW((void)(objectA < objectB), EVariantInvalidOpError);
  EXPECT_TRUE(objectA <= objectA);
  EXPECT_FALSE(objectA == objectB);
}

}  // namespace rtl_test
