// Variant kinds, copying and conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Variants.h"
#include "tests/common/RtlTesting.h"

namespace rtl_test {

namespace {

// The error a call raises: class name and message, or "" when it raises nothing.
template <class F>
std::string ErrorOf(F&& call) {
  try {
    call();
  } catch (const Exception& e) {
    return std::string(e.ClassName()) + ": " + e.Message();
  }
  return "";
}

}  // namespace

TEST(Variant, KindsReportTheirTypeCodes) {
  struct Case {
    Variant value;
    TVarType type;
    const char* name;
  };
  const Case cases[] = {
      {Variant(), varEmpty, "Empty"},
      {Null(), varNull, "Null"},
      {Variant(SmallInt{-2}), varSmallint, "Smallint"},
      {Variant(7), varInteger, "Integer"},
      {Variant(1.5f), varSingle, "Single"},
      {Variant(1.5), varDouble, "Double"},
      {Variant(Extended{1.5}), varDouble, "Double"},
      {Variant(Currency::FromScaled(15000)), varCurrency, "Currency"},
      {Variant::FromDateTime(36526.5), varDate, "Date"},
      {Variant(u"wide"), varOleStr, "OleStr"},
      {Variant::FromDispatch(nullptr), varDispatch, "Dispatch"},
      {Variant(true), varBoolean, "Boolean"},
      {Variant(ShortInt{-1}), varShortInt, "ShortInt"},
      {Variant(Byte{200}), varByte, "Byte"},
      {Variant(Word{60000}), varWord, "Word"},
      {Variant(LongWord{4000000000u}), varLongWord, "LongWord"},
      {Variant(Int64{1} << 40), varInt64, "Int64"},
      {Variant("bytes"), varString, "String"},
      {Variant(String("bytes")), varString, "String"},
      {VarArrayCreate({0, 1}, varVariant), varArray | varVariant, "Array Variant"},
      {VarArrayCreate({0, 1}, varInteger), varArray | varInteger, "Array Integer"},
      // Object references report varInteger, as scripts expect of them.
      {Variant::FromObject(nullptr), varInteger, "Integer"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VarType(c.value), c.type) << c.name;
    EXPECT_EQ(VarTypeAsText(VarType(c.value)), c.name);
  }
  EXPECT_EQ(sizeof(Variant), 16u);
}

TEST(Variant, TypeTests) {
  Variant array = VarArrayOf({1, 2});
  EXPECT_TRUE(VarIsNull(Null()));
  EXPECT_FALSE(VarIsNull(Variant()));
  EXPECT_TRUE(VarIsEmpty(Unassigned()));
  EXPECT_TRUE(VarIsClear(Variant()));
  EXPECT_TRUE(VarIsClear(Variant::FromDispatch(nullptr)));
  EXPECT_FALSE(VarIsClear(Null()));
  EXPECT_TRUE(VarIsArray(array));
  EXPECT_FALSE(VarIsArray(Variant(1)));
  EXPECT_TRUE(VarIsStr(Variant("a")));
  EXPECT_TRUE(VarIsStr(Variant(u"a")));
  EXPECT_FALSE(VarIsStr(Variant(1)));

  const Variant numeric[] = {Variant(SmallInt{1}), Variant(1), Variant(1.0f), Variant(1.0), Variant(Currency()),
                             Variant(true), Variant(ShortInt{1}), Variant(Byte{1}), Variant(Word{1}),
                             Variant(LongWord{1}), Variant(Int64{1})};
  for (const Variant& v : numeric) EXPECT_TRUE(VarIsNumeric(v)) << VarTypeAsText(VarType(v));
  const Variant notNumeric[] = {Variant(), Null(), Variant("1"), Variant::FromDateTime(1), array,
                                Variant::FromObject(nullptr)};
  for (const Variant& v : notNumeric) EXPECT_FALSE(VarIsNumeric(v)) << VarTypeAsText(VarType(v));
}

TEST(Variant, CopiesAndMovesKeepValuesApart) {
  Variant a = String("first");
  Variant b = a;
  b = Variant(String("second"));
  EXPECT_EQ(a.AsString(), "first");
  EXPECT_EQ(b.AsString(), "second");

  Variant c = std::move(b);
  EXPECT_TRUE(b.IsEmpty());  // NOLINT(bugprone-use-after-move): a moved-from Variant is Empty
  EXPECT_EQ(c.AsString(), "second");

  c = c;  // self-assignment keeps the value
  EXPECT_EQ(c.AsString(), "second");
  c = a;
  a.Clear();
  EXPECT_EQ(c.AsString(), "first");
  EXPECT_TRUE(a.IsEmpty());

  std::vector<Variant> many(100, Variant(u"shared"));
  many.resize(1000, Variant(VarArrayOf({"x", 1})));
  EXPECT_EQ(many[999].IsArray(), true);
  EXPECT_EQ(many[0].AsWideString(), u"shared");
}

TEST(Variant, IntegerConversionRoundsHalfToEven) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  struct Case {
    Variant value;
    Int64 expected;
  };
  const Case cases[] = {
      {Variant(0.5), 0},
      {Variant(1.5), 2},
      {Variant(2.5), 2},
      {Variant(3.5), 4},
      {Variant(-0.5), 0},
      {Variant(-1.5), -2},
      {Variant(-2.5), -2},
      {Variant(2.4999), 2},
      {Variant(2.5001), 3},
      {Variant(88.45), 88},
      {Variant(67.05), 67},
      {Variant(2.5f), 2},
      {Variant(Currency::FromScaled(25000)), 2},   // 2.5
      {Variant(Currency::FromScaled(35000)), 4},   // 3.5
      {Variant(Currency::FromScaled(-25000)), -2}, // -2.5
      {Variant(Currency::FromScaled(-25001)), -3},
      {Variant::FromDateTime(1.5), 2},
      {Variant("2.5"), 2},
      {Variant("3.5"), 4},
      {Variant("$1F"), 31},
      {Variant(" 12"), 12},
      {Variant("-7"), -7},
      {Variant(u"42"), 42},
      {Variant(true), -1},
      {Variant(false), 0},
      {Variant(), 0},
      {Variant::FromObject(nullptr), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.value.AsInt64(), c.expected) << VarToStr(c.value);
    EXPECT_EQ(c.value.AsInteger(), c.expected) << VarToStr(c.value);
  }
  EXPECT_EQ(Variant(9007199254740992.0).AsInt64(), Int64{9007199254740992});
  EXPECT_EQ(Variant("9223372036854775807").AsInt64(), std::numeric_limits<Int64>::max());
}

TEST(Variant, ConversionFailuresRaiseTheVariantErrors) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  int object = 0;
  Variant someObject = Variant::FromObject(reinterpret_cast<TObject*>(&object));
  struct Case {
    std::function<void()> call;
    const char* error;
  };
  const Case cases[] = {
      {[] { (void)Null().AsInteger(); }, "EVariantTypeCastError: Could not convert variant of type (Null) into type (Integer)"},
      {[] { (void)Null().AsString(); }, "EVariantTypeCastError: Could not convert variant of type (Null) into type (String)"},
      {[] { (void)Null().AsDouble(); }, "EVariantTypeCastError: Could not convert variant of type (Null) into type (Double)"},
      {[] { (void)Null().AsBoolean(); }, "EVariantTypeCastError: Could not convert variant of type (Null) into type (Boolean)"},
      {[] { (void)Variant("abc").AsInteger(); }, "EVariantTypeCastError: Could not convert variant of type (String) into type (Integer)"},
      {[] { (void)Variant("abc").AsDouble(); }, "EVariantTypeCastError: Could not convert variant of type (String) into type (Double)"},
      {[] { (void)Variant(u"abc").AsInt64(); }, "EVariantTypeCastError: Could not convert variant of type (OleStr) into type (Int64)"},
      {[] { (void)Variant("").AsInteger(); }, "EVariantTypeCastError: Could not convert variant of type (String) into type (Integer)"},
      {[] { (void)Variant("maybe").AsBoolean(); }, "EVariantTypeCastError: Could not convert variant of type (String) into type (Boolean)"},
      {[] { (void)Variant("1x").AsCurrency(); }, "EVariantTypeCastError: Could not convert variant of type (String) into type (Currency)"},
      {[] { (void)Variant("soon").AsDateTime(); }, "EVariantTypeCastError: Could not convert variant of type (String) into type (Date)"},
      {[] { (void)VarArrayOf({1}).AsInteger(); }, "EVariantTypeCastError: Could not convert variant of type (Array Variant) into type (Integer)"},
      {[] { (void)VarArrayOf({1}).AsString(); }, "EVariantTypeCastError: Could not convert variant of type (Array Variant) into type (String)"},
      {[&] { (void)someObject.AsInteger(); }, "EVariantTypeCastError: Could not convert variant of type (Object) into type (Integer)"},
      {[] { (void)Variant(5).AsObject(); }, "EVariantTypeCastError: Could not convert variant of type (Integer) into type (Object)"},
      {[] { (void)Variant("x").AsDispatch(); }, "EVariantTypeCastError: Could not convert variant of type (String) into type (Dispatch)"},
      {[] { (void)Variant(std::nan("")).AsInteger(); }, "EVariantTypeCastError: Could not convert variant of type (Double) into type (Integer)"},
      {[] { (void)VarAsType(Variant(1), varError); }, "EVariantTypeCastError: Could not convert variant of type (Integer) into type (Error)"},
      // Values that do not fit their target.
      {[] { (void)Variant(3e9).AsInteger(); }, "EVariantOverflowError: Overflow while converting variant of type (Double) into type (Integer)"},
      {[] { (void)Variant(1e19).AsInt64(); }, "EVariantOverflowError: Overflow while converting variant of type (Double) into type (Int64)"},
      {[] { (void)Variant(Int64{1} << 31).AsInteger(); }, "EVariantOverflowError: Overflow while converting variant of type (Int64) into type (Integer)"},
      {[] { (void)Variant(LongWord{4000000000u}).AsInteger(); }, "EVariantOverflowError: Overflow while converting variant of type (LongWord) into type (Integer)"},
      {[] { (void)Variant("2147483648").AsInteger(); }, "EVariantOverflowError: Overflow while converting variant of type (String) into type (Integer)"},
      {[] { (void)VarAsType(Variant(300), varByte); }, "EVariantOverflowError: Overflow while converting variant of type (Integer) into type (Byte)"},
      {[] { (void)VarAsType(Variant(-1), varWord); }, "EVariantOverflowError: Overflow while converting variant of type (Integer) into type (Word)"},
      {[] { (void)VarAsType(Variant(40000), varSmallint); }, "EVariantOverflowError: Overflow while converting variant of type (Integer) into type (Smallint)"},
      {[] { (void)VarAsType(Variant(1e39), varSingle); }, "EVariantOverflowError: Overflow while converting variant of type (Double) into type (Single)"},
      {[] { (void)Variant(1e300).AsCurrency(); }, "EVariantOverflowError: Overflow while converting variant of type (Double) into type (Currency)"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.call), c.error);

  // Overflow is a conversion failure too; every variant error is an EVariantError.
  EXPECT_THROW((void)Variant(3e9).AsInteger(), EVariantTypeCastError);
  EXPECT_THROW((void)Null().AsInteger(), EVariantError);
}

TEST(Variant, NumericTextFollowsTheLocaleDecimalSeparator) {
  {
    TFormatSettingsGuard guard(WithDecimal('.', ','));
    EXPECT_DOUBLE_EQ(Variant("1.5").AsDouble(), 1.5);
    EXPECT_DOUBLE_EQ(Variant(" -2.25E2 ").AsDouble(), -225.0);
    EXPECT_THROW((void)Variant("1,5").AsDouble(), EVariantTypeCastError);
    EXPECT_EQ(VarToStr(Variant(1.5)), "1.5");
    EXPECT_EQ(VarToStr(Variant(Currency::FromScaled(125000))), "12.5");
    EXPECT_EQ(Variant("12.5").AsCurrency(), Currency::FromScaled(125000));
    EXPECT_EQ(Variant("2.5").AsInteger(), 2);
    EXPECT_TRUE(Variant("1.5") + 1 == 2.5);
    EXPECT_TRUE(Variant("1.5") < 2);
    EXPECT_THROW(Variant("1,5") + 1, EVariantTypeCastError);
  }
  {
    TFormatSettingsGuard guard(WithDecimal(',', '.'));
    EXPECT_DOUBLE_EQ(Variant("1,5").AsDouble(), 1.5);
    EXPECT_THROW((void)Variant("1.5").AsDouble(), EVariantTypeCastError);
    EXPECT_EQ(VarToStr(Variant(1.5)), "1,5");
    EXPECT_EQ(VarToStr(Variant(Currency::FromScaled(125000))), "12,5");
    EXPECT_EQ(Variant("12,5").AsCurrency(), Currency::FromScaled(125000));
    EXPECT_EQ(Variant("2,5").AsInteger(), 2);
    EXPECT_EQ(Variant("3,5").AsInteger(), 4);
    EXPECT_THROW((void)Variant("1.000").AsInteger(), EVariantTypeCastError);
    EXPECT_TRUE(Variant("1,5") + 1 == 2.5);
    EXPECT_TRUE(Variant("1,5") < 2);
    EXPECT_THROW(Variant("1.5") + 1, EVariantTypeCastError);
    EXPECT_THROW((void)(Variant("1.5") < 2), EVariantTypeCastError);
  }
}

TEST(Variant, TextForms) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  struct Case {
    Variant value;
    const char* text;
  };
  const Case cases[] = {
      {Variant(), ""},
      {Null(), ""},
      {Variant(true), "True"},
      {Variant(false), "False"},
      {Variant(-12), "-12"},
      {Variant(LongWord{4294967295u}), "4294967295"},
      {Variant(std::numeric_limits<Int64>::min()), "-9223372036854775808"},
      {Variant(0.1), "0.1"},
      {Variant(0.1f), "0.1"},
      {Variant(1.0 / 3.0), "0.333333333333333"},
      {Variant(Currency::FromScaled(-1)), "-0.0001"},
      {Variant(Currency::FromScaled(30000)), "3"},
      {Variant("bytes"), "bytes"},
      {Variant(u"\u4E2D\u6587"), "\xE4\xB8\xAD\xE6\x96\x87"},
      {Variant::FromObject(nullptr), "0"},
  };
  for (const Case& c : cases) EXPECT_EQ(VarToStr(c.value), c.text);

  // Dates print as the locale's date-time text.
  EXPECT_EQ(VarToStr(Variant::FromDateTime(36526.5)), DateTimeToStr(36526.5));
  EXPECT_EQ(VarToStr(Variant::FromDateTime(36526)), DateTimeToStr(36526));

  EXPECT_EQ(VarToStrDef(Null(), "none"), "none");
  EXPECT_EQ(VarToStrDef(Variant(), "none"), "");
  EXPECT_EQ(VarToWideStr(Null()), u"");
  EXPECT_EQ(VarToWideStr(Variant("\xE4\xB8\xAD")), u"\u4E2D");

  // A live object's text is its identity, never the "0" of nil.
  int object = 0;
  EXPECT_NE(VarToStr(Variant::FromObject(reinterpret_cast<TObject*>(&object))), "0");
}

TEST(Variant, BooleanConversion) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  struct Case {
    Variant value;
    bool expected;
  };
  const Case cases[] = {
      {Variant(), false},        {Variant(0), false},      {Variant(-3), true},
      {Variant(0.0), false},     {Variant(0.25), true},    {Variant(Currency::FromScaled(1)), true},
      {Variant("True"), true},   {Variant("false"), false}, {Variant("TRUE"), true},
      {Variant("0"), false},     {Variant("2"), true},     {Variant(u"False"), false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value.AsBoolean(), c.expected) << VarToStr(c.value);
}

TEST(Variant, VarAsTypeConvertsBetweenKinds) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  struct Case {
    Variant value;
    TVarType target;
    Variant expected;
  };
  const Case cases[] = {
      {Variant("12"), varInteger, Variant(12)},
      {Variant(12), varString, Variant("12")},
      {Variant(12), varOleStr, Variant(u"12")},
      {Variant(u"abc"), varString, Variant("abc")},
      {Variant("abc"), varOleStr, Variant(u"abc")},
      {Variant(1.25), varCurrency, Variant(Currency::FromScaled(12500))},
      {Variant(2.5), varByte, Variant(Byte{2})},
      {Variant(true), varInteger, Variant(-1)},
      {Variant(1), varBoolean, Variant(true)},
      {Variant("2000-01-01"), varDate, Variant::FromDateTime(36526)},
      {Variant(36526), varDate, Variant::FromDateTime(36526)},
      {Variant(Currency::FromScaled(5)), varDouble, Variant(0.0005)},
      {Variant(7), varInt64, Variant(Int64{7})},
  };
  for (const Case& c : cases) {
    Variant result = VarAsType(c.value, c.target);
    EXPECT_EQ(VarType(result), c.target) << VarToStr(c.value);
    EXPECT_TRUE(result == c.expected) << VarToStr(c.value) << " -> " << VarToStr(result);
  }

  EXPECT_TRUE(VarIsNull(VarAsType(Variant(5), varNull)));
  EXPECT_TRUE(VarIsEmpty(VarAsType(Variant(5), varEmpty)));
  EXPECT_EQ(VarType(VarAsType(Variant("x"), varVariant)), varString);
  // Empty becomes a nil dispatch value; other kinds cannot.
  Variant dispatch = VarAsType(Variant(), varDispatch);
  EXPECT_EQ(VarType(dispatch), varDispatch);
  EXPECT_EQ(dispatch.AsDispatch(), nullptr);
  EXPECT_THROW(VarAsType(Variant(1), varDispatch), EVariantTypeCastError);
  // Null converts to nothing but Null and Empty.
  EXPECT_THROW(VarAsType(Null(), varString), EVariantTypeCastError);
  EXPECT_THROW(VarAsType(Null(), varInteger), EVariantTypeCastError);
  // An object reference already is of the type it reports.
  int object = 0;
  auto* pointer = reinterpret_cast<TObject*>(&object);
  EXPECT_EQ(VarAsType(Variant::FromObject(pointer), varInteger).AsObject(), pointer);
}

TEST(Variant, ByteAndWideStringsStayApart) {
  Variant bytes("\xE4\xB8\xAD");
  Variant wide(u"\u4E2D");
  EXPECT_EQ(VarType(bytes), varString);
  EXPECT_EQ(VarType(wide), varOleStr);
  EXPECT_EQ(bytes.StringRef().size(), 3u);
  EXPECT_EQ(wide.WideStringRef().size(), 1u);
  EXPECT_EQ(bytes.AsWideString(), u"\u4E2D");
  EXPECT_EQ(wide.AsString(), "\xE4\xB8\xAD");
  EXPECT_THROW((void)bytes.WideStringRef(), EVariantTypeCastError);
  EXPECT_THROW((void)wide.StringRef(), EVariantTypeCastError);
  // Byte strings may hold zero bytes.
  Variant withZero(String("a\0b", 3));
  EXPECT_EQ(withZero.AsString().size(), 3u);
}

TEST(Currency, ConvertsExactlyWithHalvesToEven) {
  TFormatSettingsGuard guard(WithDecimal('.', ','));
  struct Case {
    const char* text;
    Int64 scaled;
  };
  const Case cases[] = {
      {"0", 0},
      {"12.5", 125000},
      {"-0.0001", -1},
      {" 7 ", 70000},
      {"+3.", 30000},
      {"0.00005", 0},
      {"0.00015", 2},
      {"0.000250", 2},
      {"0.000251", 3},
      {"-0.00015", -2},
      {"1E3", 10000000},
      {"922337203685477.5807", std::numeric_limits<Int64>::max()},
      {"-922337203685477.5808", std::numeric_limits<Int64>::min()},
  };
  for (const Case& c : cases) {
    Currency value;
    EXPECT_TRUE(TryStrToCurr(c.text, value)) << c.text;
    EXPECT_EQ(value.Scaled, c.scaled) << c.text;
  }
  const char* invalid[] = {"", "-", ".", "1.2.3", "12a", "922337203685477.5808", "1e300", "1,5"};
  for (const char* text : invalid) {
    Currency value;
    EXPECT_FALSE(TryStrToCurr(text, value)) << text;
  }
  try {
    (void)StrToCurr("x");
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x' is not a valid floating point value");
  }

  EXPECT_EQ(CurrToStr(Currency::FromScaled(std::numeric_limits<Int64>::min())), "-922337203685477.5808");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(10)), "0.001");
  EXPECT_EQ(Currency::FromDouble(0.1).Scaled, 1000);
  EXPECT_EQ(Currency::FromDouble(-1.23456).Scaled, -12346);
  EXPECT_EQ(Currency::FromInt64(-5).Scaled, -50000);
  EXPECT_THROW(Currency::FromInt64(std::numeric_limits<Int64>::max()), EVariantOverflowError);
  EXPECT_THROW(Currency::FromDouble(std::nan("")), EVariantOverflowError);
}

}  // namespace rtl_test
