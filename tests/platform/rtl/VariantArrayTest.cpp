// Variant arrays, object and dispatch references, custom variant types.
#include <gtest/gtest.h>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Variants.h"

namespace rtl_test {

TEST(VariantArray, CreatesWithBoundsAndStartingValues) {
  Variant a = VarArrayCreate({1, 3}, varVariant);
  EXPECT_EQ(VarType(a), varArray | varVariant);
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a, 1), 1);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  for (Integer i = 1; i <= 3; ++i) EXPECT_TRUE(VarIsEmpty(VarArrayGet(a, {i})));

  struct Case {
    TVarType type;
    Variant start;
  };
  const Case typed[] = {{varInteger, Variant(0)},          {varDouble, Variant(0.0)},
                        {varString, Variant("")},          {varOleStr, Variant(u"")},
                        {varBoolean, Variant(false)},      {varByte, Variant(Byte{0})},
                        {varCurrency, Variant(Currency())}, {varDate, Variant::FromDateTime(0)}};
  for (const Case& c : typed) {
    Variant t = VarArrayCreate({0, 0}, c.type);
    Variant element = VarArrayGet(t, {0});
    EXPECT_EQ(VarType(element), c.type);
    EXPECT_TRUE(element == c.start) << VarTypeAsText(c.type);
  }

  // An empty array [0..-1] is allowed.
  Variant empty = VarArrayCreate({0, -1}, varVariant);
  EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
  EXPECT_EQ(VarArrayDimCount(Variant(1)), 0);
}

TEST(VariantArray, ElementsOfSeveralDimensionsAreDistinct) {
  Variant a = VarArrayCreate({-1, 1, 0, 2, 5, 6}, varVariant);
  EXPECT_EQ(VarArrayDimCount(a), 3);
  EXPECT_EQ(VarArrayLowBound(a, 1), -1);
  EXPECT_EQ(VarArrayHighBound(a, 2), 2);
  EXPECT_EQ(VarArrayLowBound(a, 3), 5);
  for (Integer i = -1; i <= 1; ++i)
    for (Integer j = 0; j <= 2; ++j)
      for (Integer k = 5; k <= 6; ++k) VarArrayPut(a, i * 100 + j * 10 + k, {i, j, k});
  for (Integer i = -1; i <= 1; ++i)
    for (Integer j = 0; j <= 2; ++j)
      for (Integer k = 5; k <= 6; ++k) EXPECT_EQ(VarArrayGet(a, {i, j, k}).AsInteger(), i * 100 + j * 10 + k);
}

TEST(VariantArray, TypedElementsConvertOnPut) {
  TFormatSettingsGuard guard(InvariantFormatSettings());
  Variant a = VarArrayCreate({0, 1}, varInteger);
  VarArrayPut(a, "12", {0});
  VarArrayPut(a, 2.5, {1});
  EXPECT_EQ(VarType(VarArrayGet(a, {0})), varInteger);
  EXPECT_EQ(VarArrayGet(a, {0}).AsInteger(), 12);
  EXPECT_EQ(VarArrayGet(a, {1}).AsInteger(), 2);
  EXPECT_THROW(VarArrayPut(a, "x", {0}), EVariantTypeCastError);
  EXPECT_EQ(VarArrayGet(a, {0}).AsInteger(), 12);  // a failed put leaves the element
}

TEST(VariantArray, Errors) {
  Variant a = VarArrayCreate({0, 2}, varVariant);
  EXPECT_THROW(VarArrayGet(a, {3}), EVariantBadIndexError);
  EXPECT_THROW(VarArrayGet(a, {-1}), EVariantBadIndexError);
  EXPECT_THROW(VarArrayPut(a, 1, {3}), EVariantBadIndexError);
  EXPECT_THROW(VarArrayGet(a, {0, 0}), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayLowBound(a, 2), EVariantBadIndexError);
  EXPECT_THROW(VarArrayHighBound(a, 0), EVariantBadIndexError);
  EXPECT_THROW(VarArrayLowBound(Variant(1), 1), EVariantNotAnArrayError);
  Variant notArray = 5;
  EXPECT_THROW(VarArrayPut(notArray, 1, {0}), EVariantNotAnArrayError);
  EXPECT_THROW(VarArrayGet(Null(), {0}), EVariantNotAnArrayError);
  EXPECT_THROW(VarArrayCreate({0}, varVariant), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayCreate({}, varVariant), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayCreate({5, 3}, varVariant), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayCreate({0, 1}, varNull), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayCreate({0, 1}, varArray | varVariant), EVariantArrayCreateError);
  // Sizes that cannot be allocated are refused before any allocation.
  EXPECT_THROW(VarArrayCreate({0, 2000000000}, varVariant), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayCreate({0, 99999, 0, 99999}, varVariant), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayRedim(a, -2), EVariantArrayCreateError);
}

TEST(VariantArray, CopiesAreValues) {
  Variant a = VarArrayOf({1, "x", Null()});
  EXPECT_EQ(VarType(a), varArray | varVariant);
  EXPECT_EQ(VarArrayLowBound(a, 1), 0);
  EXPECT_EQ(VarArrayHighBound(a, 1), 2);
  EXPECT_EQ(VarArrayGet(a, {1}).AsString(), "x");
  EXPECT_TRUE(VarIsNull(VarArrayGet(a, {2})));

  Variant b = a;
  VarArrayPut(b, 10, {0});
  EXPECT_EQ(VarArrayGet(a, {0}).AsInteger(), 1);
  EXPECT_EQ(VarArrayGet(b, {0}).AsInteger(), 10);

  // Nested arrays, including an array stored into itself: the element holds the earlier value.
  VarArrayPut(a, a, {2});
  Variant inner = VarArrayGet(a, {2});
  EXPECT_TRUE(VarIsArray(inner));
  EXPECT_TRUE(VarIsNull(VarArrayGet(inner, {2})));
  VarArrayPut(a, "changed", {1});
  EXPECT_EQ(VarArrayGet(inner, {1}).AsString(), "x");
  EXPECT_EQ(VarArrayGet(VarArrayGet(a, {2}), {1}).AsString(), "x");
}

TEST(VariantArray, RedimKeepsElements) {
  Variant a = VarArrayOf({"a", "b", "c"});
  Variant before = a;
  VarArrayRedim(a, 4);
  EXPECT_EQ(VarArrayHighBound(a, 1), 4);
  EXPECT_EQ(VarArrayGet(a, {2}).AsString(), "c");
  EXPECT_TRUE(VarIsEmpty(VarArrayGet(a, {4})));
  EXPECT_EQ(VarArrayHighBound(before, 1), 2);  // the copy keeps its size
  VarArrayRedim(a, 0);
  EXPECT_EQ(VarArrayHighBound(a, 1), 0);
  EXPECT_EQ(VarArrayGet(a, {0}).AsString(), "a");
  VarArrayRedim(a, -1);
  EXPECT_EQ(VarArrayHighBound(a, 1), -1);

  // With two dimensions the last one grows; existing elements stay where they were.
  Variant grid = VarArrayCreate({0, 1, 0, 1}, varInteger);
  VarArrayPut(grid, 11, {1, 1});
  VarArrayPut(grid, 10, {1, 0});
  VarArrayRedim(grid, 2);
  EXPECT_EQ(VarArrayGet(grid, {1, 1}).AsInteger(), 11);
  EXPECT_EQ(VarArrayGet(grid, {1, 0}).AsInteger(), 10);
  EXPECT_EQ(VarArrayGet(grid, {0, 2}).AsInteger(), 0);
}

TEST(VariantObject, HoldsAReferenceNotANumber) {
  int storage = 0;
  auto* object = reinterpret_cast<TObject*>(&storage);
  Variant v = Variant::FromObject(object);
  EXPECT_TRUE(VarIsObject(v));
  EXPECT_EQ(VarType(v), varInteger);
  EXPECT_FALSE(VarIsNumeric(v));
  Variant copy = v;
  EXPECT_EQ(copy.AsObject(), object);
  Variant inArray = VarArrayOf({v});
  EXPECT_EQ(VarArrayGet(inArray, {0}).AsObject(), object);

  // Numbers never turn into objects; only Empty and nil mean "no object".
  EXPECT_THROW((void)Variant(Int64{reinterpret_cast<intptr_t>(object)}).AsObject(), EVariantTypeCastError);
  EXPECT_EQ(Variant().AsObject(), nullptr);
  Variant nil = Variant::FromObject(nullptr);
  EXPECT_TRUE(VarIsObject(nil));
  EXPECT_EQ(nil.AsObject(), nullptr);
  EXPECT_EQ(nil.AsInteger(), 0);
  EXPECT_EQ(VarToStr(nil), "0");
  EXPECT_TRUE(nil == 0);
  EXPECT_FALSE(v == 0);
}

namespace {

// An automation object that counts its references.
class CountingDispatch : public IDispatch {
public:
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  HRESULT GetIDsOfNames(const WideString& name, DISPID& id) override {
    id = name == u"Value" ? 1 : -1;
    return id > 0 ? S_OK : static_cast<HRESULT>(0x80020006);
  }
  HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS& params, Variant* result, EXCEPINFO*) override {
    if (id != 1) return static_cast<HRESULT>(0x80020003);
    if ((flags & DISPATCH_PROPERTYPUT) != 0 && params.cArgs == 1) value = params.rgvarg[0];
    if ((flags & DISPATCH_PROPERTYGET) != 0 && result != nullptr) *result = value;
    return S_OK;
  }
  ULONG refs = 1;  // the creator's reference
  Variant value;
};

}  // namespace

TEST(VariantDispatch, CopiesHoldReferences) {
  CountingDispatch object;
  {
    Variant v = Variant::FromDispatch(&object);
    EXPECT_EQ(object.refs, 2u);
    EXPECT_EQ(VarType(v), varDispatch);
    EXPECT_FALSE(VarIsClear(v));
    Variant copy = v;
    Variant array = VarArrayOf({v, copy});
    EXPECT_EQ(object.refs, 5u);
    copy = Variant(1);
    EXPECT_EQ(object.refs, 4u);
    EXPECT_TRUE(VarArrayGet(array, {0}) == v);
    EXPECT_EQ(VarAsType(v, varDispatch).AsDispatch(), &object);
    EXPECT_THROW((void)v.AsString(), EVariantTypeCastError);
    EXPECT_THROW((void)(v < Variant(1)), EVariantInvalidOpError);  // identity, no order

    // Late-bound use through the interface held by the Variant.
    DISPID id = 0;
    ASSERT_TRUE(SUCCEEDED(v.AsDispatch()->GetIDsOfNames(u"Value", id)));
    Variant argument = 42;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&argument, &named, 1, 1};
    EXPECT_EQ(v.AsDispatch()->Invoke(id, DISPATCH_PROPERTYPUT, put, nullptr, nullptr), S_OK);
    DISPPARAMS none;
    Variant result;
    EXPECT_EQ(v.AsDispatch()->Invoke(id, DISPATCH_PROPERTYGET, none, &result, nullptr), S_OK);
    EXPECT_EQ(result.AsInteger(), 42);
    EXPECT_TRUE(FAILED(v.AsDispatch()->GetIDsOfNames(u"Missing", id)));
  }
  EXPECT_EQ(object.refs, 1u);
}

namespace {

// A decimal number kept as text, standing in for the decimal and time-stamp types of the data layer.
class DecimalValue : public TCustomVarValue {
public:
  explicit DecimalValue(String t) : text(std::move(t)) {}
  String text;
};

class DecimalType : public TCustomVariantType {
public:
  DecimalType() : TCustomVariantType("TestDecimal") {}
  Variant Make(const String& text) const { return Variant::FromCustom(*this, new DecimalValue(text)); }
  Variant CastTo(const Variant& source, TVarType target) const override {
    const auto* value = static_cast<const DecimalValue*>(source.CustomValue());
    return VarAsType(Variant(value->text), target);
  }
  Variant CastFrom(const Variant& source) const override {
    if (VarIsStr(source)) return Make(source.AsString());
    if (!VarIsNumeric(source)) throw EVariantTypeCastError("not a number");
    return Make(source.AsString());
  }
  bool IsNumeric() const override { return true; }
};

}  // namespace

TEST(VariantCustomType, RegistersAndConverts) {
  TFormatSettingsGuard guard(InvariantFormatSettings());
  TVarType code = 0;
  {
    DecimalType decimal;
    code = decimal.VarType();
    EXPECT_GE(code, 0x0110);
    EXPECT_EQ(FindCustomVariantType(code), &decimal);
    EXPECT_EQ(FindCustomVariantType("TestDecimal"), &decimal);
    EXPECT_EQ(VarTypeAsText(code), "TestDecimal");

    Variant d = decimal.Make("12.5");
    EXPECT_EQ(VarType(d), code);
    EXPECT_TRUE(VarIsNumeric(d));
    EXPECT_EQ(d.CustomType(), &decimal);
    Variant copy = d;
    EXPECT_EQ(VarToStr(copy), "12.5");
    EXPECT_DOUBLE_EQ(d.AsDouble(), 12.5);
    EXPECT_EQ(d.AsInteger(), 12);
    EXPECT_EQ(VarType(VarAsType(d, varCurrency)), varCurrency);
    // Meeting other values, it takes part as a Double.
    EXPECT_TRUE(d + 1 == 13.5);
    EXPECT_TRUE(d > 12);
    EXPECT_TRUE(d == decimal.Make("12.50"));
    EXPECT_TRUE(decimal.Make("2") < d);

    Variant made = VarAsType(Variant(7), code);
    EXPECT_EQ(VarType(made), code);
    EXPECT_EQ(VarToStr(made), "7");
    EXPECT_THROW(VarAsType(Variant::FromDateTime(1), code), EVariantTypeCastError);
  }
  EXPECT_EQ(FindCustomVariantType(code), nullptr);
}

}  // namespace rtl_test
