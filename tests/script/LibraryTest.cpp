// Registration signatures, type compatibility, constants from token text, and the system function library
// under fixed format settings.
#include <cmath>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/RtlMath.h"
#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

TEST(SignatureTest, ParsesParametersDefaultsAndMacros) {
  TscScript script(nullptr);
  script.AddRTTI();
  script.AddVariable("Limit", "Integer", Variant(Integer{12}));

  auto copy = ParseSignature("function Copy(s: String; from, count: Integer): String", &script);
  EXPECT_EQ(copy->Name(), "Copy");
  EXPECT_EQ(copy->TypeName(), "String");
  EXPECT_EQ(copy->TypeCode(), tcString);
  ASSERT_EQ(copy->ParamCount(), 3);
  EXPECT_EQ(copy->GetParam(1)->Name(), "from");
  EXPECT_EQ(copy->GetParam(2)->TypeCode(), tcInteger);
  EXPECT_FALSE(copy->MacroParams());

  auto p = ParseSignature("procedure P(var a: Integer; const b: String = 'x')", &script);
  EXPECT_TRUE(p->TypeName().empty());
  ASSERT_EQ(p->ParamCount(), 2);
  EXPECT_TRUE(p->GetParam(0)->ByRef());
  EXPECT_FALSE(p->GetParam(1)->ByRef());
  EXPECT_TRUE(p->GetParam(1)->Optional());
  EXPECT_EQ(p->GetParam(1)->DefaultValue().AsString(), "x");
  EXPECT_EQ(p->RequiredParamCount(), 1);

  auto f = ParseSignature("function F(a, b: Integer = 5): Integer", &script);
  ASSERT_EQ(f->ParamCount(), 2);
  EXPECT_FALSE(f->GetParam(0)->Optional());
  EXPECT_TRUE(f->GetParam(1)->Optional());

  auto iif = ParseSignature("macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", &script);
  EXPECT_TRUE(iif->MacroParams());
  EXPECT_EQ(iif->Name(), "IIF");
  EXPECT_EQ(iif->TypeCode(), tcVariant);
  EXPECT_EQ(iif->RequiredParamCount(), 3);

  // Defaults: a negative number, hexadecimal, beyond 32 bits, a float, and an item of the script.
  auto d = ParseSignature("procedure D(a: Integer = -1; b: Integer = $FF; c: Variant = 2147483648; "
                          "e: Double = 1.5; g: Integer = Limit; h: Integer = Unknown)",
                          &script);
  ASSERT_EQ(d->ParamCount(), 6);
  EXPECT_EQ(d->GetParam(0)->DefaultValue().Type(), varInteger);
  EXPECT_EQ(d->GetParam(0)->DefaultValue().AsInteger(), -1);
  EXPECT_EQ(d->GetParam(1)->DefaultValue().AsInteger(), 255);
  EXPECT_EQ(d->GetParam(2)->DefaultValue().Type(), varInt64);
  EXPECT_EQ(d->GetParam(3)->DefaultValue().AsDouble(), 1.5);
  EXPECT_EQ(d->GetParam(4)->DefaultValue().AsInteger(), 12);
  // A name the script lacks is Null, so the parameter stays required.
  EXPECT_FALSE(d->GetParam(5)->Optional());
}

TEST(SignatureTest, TypesFitAndCanAssign) {
  TscScript script(nullptr);
  script.AddRTTI();
  script.AddClass(TComponent::StaticClass(), "");
  script.AddClass(TPersistent::StaticClass(), "");
  // Rows: target; columns: source, in the order of the type codes.
  //                                   Int Bool Flt Chr Str Cls Arr Var Enum Ctor
  const char* rows[] = {/* Integer */ "1  0    1   0   0   0   0   1   1    0",
                        /* Boolean */ "0  1    0   0   0   0   0   1   0    0",
                        /* Float   */ "1  0    1   0   0   0   0   1   0    0",
                        /* Char    */ "0  0    0   1   1   0   0   1   0    0",
                        /* String  */ "0  0    0   1   1   0   0   1   0    0",
                        /* Class   */ "0  0    0   0   0   1   0   1   0    0",
                        /* Array   */ "0  0    0   0   0   0   1   1   0    0",
                        /* Variant */ "1  1    1   1   1   1   1   1   1    1",
                        /* Enum    */ "1  0    0   0   0   0   0   1   1    0",
                        /* Ctor    */ "0  0    0   0   0   0   0   0   0    0"};
  const auto nameOf = [](int code) {
    return code == tcClass ? String("TComponent") : code == tcEnum ? String("TAlign") : String();
  };
  for (int target = tcInteger; target <= tcConstructor; ++target) {
    String row = rows[target];
    row.erase(std::remove(row.begin(), row.end(), ' '), row.end());
    for (int source = tcInteger; source <= tcConstructor; ++source) {
      const bool fits = TypesFit(static_cast<TscTypeCode>(target), nameOf(target), static_cast<TscTypeCode>(source),
                                 nameOf(source), &script);
      EXPECT_EQ(fits, row[static_cast<size_t>(source)] == '1') << "target " << target << " source " << source;
    }
  }
  // Classes fit down the inheritance line only; enumerations by name, ignoring case, on 32 characters.
  EXPECT_TRUE(TypesFit(tcClass, "TPersistent", tcClass, "TComponent", &script));
  EXPECT_FALSE(TypesFit(tcClass, "TComponent", tcClass, "TPersistent", &script));
  EXPECT_FALSE(TypesFit(tcClass, "TComponent", tcClass, "TNotRegistered", &script));
  EXPECT_TRUE(TypesFit(tcEnum, "TALIGN", tcEnum, "talign", &script));
  EXPECT_FALSE(TypesFit(tcEnum, "TAlign", tcEnum, "TAnchors", &script));
  EXPECT_TRUE(TypesFit(tcEnum, String(32, 'E') + "one", tcEnum, String(32, 'E') + "two", &script));

  // A float goes to an Integer parameter but not into an Integer variable.
  TscCustomVariable intVar("i", tcInteger, "Integer");
  TscCustomVariable floatExpr("e", tcFloat, "Double");
  EXPECT_TRUE(TypesFit(&intVar, &floatExpr, &script));
  EXPECT_FALSE(CanAssign(&intVar, &floatExpr, &script));
  EXPECT_TRUE(CanAssign(&floatExpr, &intVar, &script));
}

TEST(SignatureTest, ParseConstantUnderEitherDecimalSeparator) {
  for (char decimal : {'.', ','}) {
    TFormatSettings settings = InvariantFormatSettings();
    settings.DecimalSeparator = decimal;
    settings.ThousandSeparator = decimal == '.' ? ',' : '.';
    TFormatSettingsGuard guard(settings);
    EXPECT_TRUE(ParseConstant("").IsNull());
    EXPECT_EQ(ParseConstant("'it''s'").AsString(), "it''s");
    EXPECT_EQ(ParseConstant("42").Type(), varInteger);
    EXPECT_EQ(ParseConstant("$FF").AsInteger(), 255);
    EXPECT_EQ(ParseConstant("-2147483648").Type(), varInteger);
    EXPECT_EQ(ParseConstant("2147483648").Type(), varInt64);
    EXPECT_EQ(ParseConstant("2147483648").AsInt64(), Int64{2147483648});
    EXPECT_EQ(ParseConstant("1.5").Type(), varDouble);
    EXPECT_EQ(ParseConstant("1.5").AsDouble(), 1.5) << decimal;
    EXPECT_EQ(ParseConstant("2.5e3").AsDouble(), 2500.0);
    EXPECT_THROW(ParseConstant("1,5"), EConvertError) << decimal;
    EXPECT_THROW(ParseConstant("abc"), EConvertError);
  }
  Integer column = -1, line = -1;
  ParsePos("12:7", column, line);
  EXPECT_EQ(line, 12);
  EXPECT_EQ(column, 7);
  ParsePos("", column, line);
  EXPECT_EQ(line, 0);
  EXPECT_EQ(column, 0);
  EXPECT_THROW(ParsePos("x:1", column, line), EConvertError);
}

// Each category of the system library, under the invariant settings (date "yyyy-mm-dd", "." decimal).
class SystemLibraryTest : public ::testing::Test {
 protected:
  SystemLibraryTest() : guard_(InvariantFormatSettings()) {}
  String Run(const String& Body) { return RunScript("var s: String; v: Variant; i, y, m, d: Integer; begin " + Body + " end."); }

  TFormatSettingsGuard guard_;
};

TEST_F(SystemLibraryTest, Conversions) {
  EXPECT_EQ(Run("Emit(IntToStr(42)); v := 5000000000.0; Emit(IntToStr(v)); Emit(FloatToStr(2.5))"), "42 5000000000 2.5");
  EXPECT_EQ(Run("Emit(DateToStr(EncodeDate(2024, 3, 5))); Emit(TimeToStr(EncodeTime(13, 4, 5, 0)))"),
            "2024-03-05 13:04:05");
  EXPECT_EQ(Run("Emit(DateTimeToStr(EncodeDate(2024, 3, 5) + EncodeTime(13, 4, 5, 0)))"), "2024-03-05 13:04:05");
  EXPECT_EQ(Run("Emit(StrToInt('-17')); Emit(StrToFloat('0.25')); Emit(StrToDate('2024-03-05') = EncodeDate(2024, 3, 5))"),
            "-17 0.25 True");
  EXPECT_EQ(Run("Emit(VarToStr(Null) = ''); Emit(VarType(Null) = varNull); Emit(VarType('a') = varString)"),
            "True True True");
  EXPECT_EQ(Run("Emit(StrToInt('1x'))"), "raise '1x' is not a valid integer value");
}

TEST_F(SystemLibraryTest, Formatting) {
  // Format takes each argument whole: Word results, 64-bit integers, long strings, Booleans.
  EXPECT_EQ(Run("DecodeDate(EncodeDate(2024, 3, 5), y, m, d); Emit(Format('%d-%.2d-%.2d', [y, m, d]))"), "2024-03-05");
  EXPECT_EQ(Run("Emit(Format('%d|%s|%.1f', [DayOfWeek(EncodeDate(2024, 3, 5)), 'x', 1.25]))"), "3|x|1.3");
  EXPECT_EQ(Run("Emit(Format('%d', [5000000000]))"), "5000000000");
  EXPECT_EQ(Run("s := 'a'; for i := 1 to 9 do s := s + s; Emit(Length(Format('%s', [s])))"), "512");
  EXPECT_EQ(Run("Emit(Format('%d', [Null]))").rfind("raise ", 0), 0u);
  EXPECT_EQ(Run("Emit(FormatFloat('0.00', 3.14159)); Emit(FormatFloat('#,##0', 1234567))"), "3.14 1,234,567");
  EXPECT_EQ(Run("Emit(FormatDateTime('dd.mm.yyyy hh:nn', EncodeDate(2024, 3, 5) + EncodeTime(9, 7, 0, 0)))"),
            "05.03.2024 09:07");
  EXPECT_EQ(Run("Emit(FormatMaskText('(000) 000;1;_', '123456'))"), "(123) 456");
}

TEST_F(SystemLibraryTest, Dates) {
  EXPECT_EQ(Run("DecodeDate(EncodeDate(2023, 12, 31), y, m, d); Emit(y); Emit(m); Emit(d)"), "2023 12 31");
  EXPECT_EQ(Run("v := EncodeTime(23, 59, 58, 250); DecodeTime(v, y, m, d, i); Emit(y); Emit(m); Emit(d); Emit(i)"),
            "23 59 58 250");
  EXPECT_EQ(Run("Emit(DayOfWeek(EncodeDate(2024, 3, 3))); Emit(DayOfWeek(EncodeDate(2024, 3, 9)))"), "1 7");
  EXPECT_EQ(Run("Emit(IsLeapYear(2000)); Emit(IsLeapYear(1900)); Emit(IsLeapYear(2024))"), "True False True");
  EXPECT_EQ(Run("Emit(DaysInMonth(2000, 2)); Emit(DaysInMonth(1900, 2)); Emit(DaysInMonth(2023, 4))"), "29 28 30");
  EXPECT_EQ(Run("Emit(DaysInMonth(2023, 0))").rfind("raise ", 0), 0u);
  EXPECT_EQ(Run("Emit(Trunc(Now) = Trunc(Date)); Emit(Time < 1); Emit(Date > EncodeDate(2020, 1, 1))"),
            "True True True");
  EXPECT_EQ(Run("Emit(EncodeDate(2023, 2, 29))").rfind("raise ", 0), 0u);
}

TEST_F(SystemLibraryTest, Strings) {
  EXPECT_EQ(Run("Emit(Copy('abcdef', 0, 2)); Emit(Copy('abcdef', 5, 10)); Emit(Pos('cd', 'abcdef')); Emit(Pos('x', 'abc'))"),
            "ab ef 3 0");
  EXPECT_EQ(Run("s := 'abcdef'; Delete(s, 2, 3); Emit(s); DeleteStr(s, 1, 1); Emit(s); Insert('XY', s, 2); Emit(s)"),
            "aef ef eXYf");
  EXPECT_EQ(Run("Emit(Uppercase('äbc')); Emit(Lowercase('ÄBC')); Emit('[' + Trim(#9'  x y '#13) + ']')"), "ÄBC äbc [x y]");
  EXPECT_EQ(Run("Emit(NameCase('jOHN smith')); Emit(CompareText('abc', 'ABC')); Emit(CompareText('a', 'b') < 0)"),
            "John Smith 0 True");
  EXPECT_EQ(Run("Emit(Length(12345)); v := VarArrayCreate([1, 5], varVariant); Emit(Length(v))"), "5 5");
  EXPECT_EQ(Run("v := 'abc'; SetLength(v, 5); Emit(Length(v)); Emit(Copy(v, 1, 3))"), "5 abc");
  EXPECT_EQ(Run("v := VarArrayCreate([0, 9], varVariant); SetLength(v, 3); Emit(Length(v))"), "3");
}

TEST_F(SystemLibraryTest, Mathematics) {
  EXPECT_EQ(Run("Emit(Round(2.5)); Emit(Round(3.5)); Emit(Round(-2.5)); Emit(Trunc(-2.7)); Emit(Int(-2.7)); Emit(VarType(Int(-2.7)))"),
            "2 4 -2 -2 -2 5");
  EXPECT_EQ(Run("Emit(Frac(2.75)); Emit(Sqrt(16)); Emit(Abs(-3)); Emit(VarType(Abs(-3)) = varDouble)"), "0.75 4 3 True");
  EXPECT_EQ(Run("Emit(Sin(0)); Emit(Cos(0)); Emit(Round(ArcTan(1) * 4 * 1000)); Emit(Round(Tan(Pi / 4) * 1000))"),
            "0 1 3142 1000");
  EXPECT_EQ(Run("Emit(Exp(0)); Emit(Ln(1)); Emit(Round(Pi * 1e6))"), "1 0 3141593");
  // Round and Trunc keep 32 bits: beyond them the result wraps, as callers have always seen it.
  EXPECT_EQ(Run("Emit(Round(Pi * 1e9)); Emit(Trunc(4294967297.5))"), "-1153374642 1");
}

TEST_F(SystemLibraryTest, Others) {
  EXPECT_EQ(Run("i := 5; Inc(i); Emit(i); Dec(i, 3); Emit(i); v := 1.5; Inc(v); Emit(v)"), "6 3 2.5");
  EXPECT_EQ(Run("Emit(ValidInt('12')); Emit(ValidInt('1.5')); Emit(ValidFloat('1.5')); Emit(ValidFloat('x'))"),
            "True False True False");
  EXPECT_EQ(Run("Emit(ValidDate('2024-02-29')); Emit(ValidDate('2023-02-29'))"), "True False");
  EXPECT_EQ(Run("v := VarArrayCreate([0, 1, 0, 2], varInteger); v[1, 2] := 7; Emit(v[1, 2]); Emit(VarType(v) = varArray + varInteger)"),
            "7 True");
  EXPECT_EQ(Run("v := CreateOleObject('Not.Registered')"), "raise Invalid class string");
}

TEST_F(SystemLibraryTest, RandomFollowsTheSeededGenerator) {
  // seed := seed * 134775813 + 1 (mod 2^32); value := seed / 2^32.
  RandSeed = 12345;
  uint32_t seed = 12345;
  String expected;
  for (int i = 0; i < 3; ++i) {
    seed = seed * 134775813u + 1u;
    if (!expected.empty()) expected += " ";
    expected += IntToStr(static_cast<Int64>(std::floor(static_cast<double>(seed) / 4294967296.0 * 1e9)));
  }
  EXPECT_EQ(Run("for i := 1 to 3 do Emit(IntToStr(Trunc(Random * 1e9)))"), expected);
  EXPECT_EQ(Run("Randomize; v := Random; Emit((v >= 0) and (v < 1))"), "True");
}

}  // namespace
}  // namespace script_test
