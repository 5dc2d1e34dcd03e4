// The system function library: registration and the seven callbacks that answer the functions by name.
// String functions count code points.
#include "script/sc_functions.h"

#include <cmath>

#include "platform/forms/Dialogs.h"
#include "platform/forms/Mask.h"
#include "platform/ole/ComObj.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/RtlMath.h"
#include "script/sc_internal.h"

namespace k58::script::sysfuncs {

namespace {

const char* const kFunctions[][2] = {
    // {signature, category}: c conversion, f format, d date, s string, m mathematics, o other.
    {"function IntToStr(i: Integer): String", "c"},
    {"function FloatToStr(e: Extended): String", "c"},
    {"function DateToStr(e: Extended): String", "c"},
    {"function TimeToStr(e: Extended): String", "c"},
    {"function DateTimeToStr(e: Extended): String", "c"},
    {"function VarToStr(v: Variant): String", "c"},
    {"function StrToInt(s: String): Integer", "c"},
    {"function StrToFloat(s: String): Extended", "c"},
    {"function StrToDate(s: String): Extended", "c"},
    {"function StrToTime(s: String): Extended", "c"},
    {"function StrToDateTime(s: String): Extended", "c"},
    {"function Format(Fmt: String; Args: array): String", "f"},
    {"function FormatFloat(Fmt: String; Value: Extended): String", "f"},
    {"function FormatDateTime(Fmt: String; DateTime: TDateTime): String", "f"},
    {"function FormatMaskText(EditMask: string; Value: string): string", "f"},
    {"function EncodeDate(Year, Month, Day: Word): TDateTime", "d"},
    {"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", "d"},
    {"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", "d"},
    {"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", "d"},
    {"function Date: TDateTime", "d"},
    {"function Time: TDateTime", "d"},
    {"function Now: TDateTime", "d"},
    {"function DayOfWeek(aDate: TDateTime): Integer", "d"},
    {"function IsLeapYear(Year: Word): Boolean", "d"},
    {"function DaysInMonth(nYear, nMonth: Integer): Integer", "d"},
    {"function Length(s: Variant): Integer", "s"},
    {"function Copy(s: String; from, count: Integer): String", "s"},
    {"function Pos(substr, s: String): Integer", "s"},
    {"procedure Delete(var s: String; from, count: Integer)", "s"},
    {"procedure DeleteStr(var s: String; from, count: Integer)", "s"},
    {"procedure Insert(s: String; var s2: String; pos: Integer)", "s"},
    {"function Uppercase(s: String): String", "s"},
    {"function Lowercase(s: String): String", "s"},
    {"function Trim(s: String): String", "s"},
    {"function NameCase(s: String): String", "s"},
    {"function CompareText(s, s1: String): Integer", "s"},
    {"function Chr(i: Integer): Char", "s"},
    {"function Ord(ch: Char): Integer", "s"},
    {"procedure SetLength(var S: Variant; L: Integer)", "s"},
    {"function Round(e: Extended): Integer", "m"},
    {"function Trunc(e: Extended): Integer", "m"},
    {"function Int(e: Extended): Integer", "m"},
    {"function Frac(X: Extended): Extended", "m"},
    {"function Sqrt(e: Extended): Extended", "m"},
    {"function Abs(e: Extended): Extended", "m"},
    {"function Sin(e: Extended): Extended", "m"},
    {"function Cos(e: Extended): Extended", "m"},
    {"function ArcTan(X: Extended): Extended", "m"},
    {"function Tan(X: Extended): Extended", "m"},
    {"function Exp(X: Extended): Extended", "m"},
    {"function Ln(X: Extended): Extended", "m"},
    {"function Pi: Extended", "m"},
    {"procedure Inc(var i: Integer; incr: Integer = 1)", "o"},
    {"procedure Dec(var i: Integer; decr: Integer = 1)", "o"},
    {"procedure RaiseException(Param: String)", "o"},
    {"procedure ShowMessage(Msg: Variant)", "o"},
    {"procedure Randomize", "o"},
    {"function Random: Extended", "o"},
    {"function ValidInt(cInt: String): Boolean", "o"},
    {"function ValidFloat(cFlt: String): Boolean", "o"},
    {"function ValidDate(cDate: String): Boolean", "o"},
    {"function CreateOleObject(ClassName: String): Variant", "o"},
    {"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", "o"},
    {"function VarType(V: Variant): Integer", "o"},
};

struct VarTypeConst {
  const char* Name;
  Integer Value;
};

const VarTypeConst kVarTypes[] = {
    {"varEmpty", 0},      {"varNull", 1},      {"varSmallint", 2},  {"varInteger", 3},    {"varSingle", 4},
    {"varDouble", 5},     {"varCurrency", 6},  {"varDate", 7},      {"varOleStr", 8},     {"varDispatch", 9},
    {"varError", 10},     {"varBoolean", 11},  {"varVariant", 12},  {"varUnknown", 13},   {"varShortInt", 16},
    {"varByte", 17},      {"varWord", 18},     {"varLongWord", 19}, {"varInt64", 20},     {"varStrArg", 72},
    {"varString", 256},   {"varAny", 257},     {"varTypeMask", 4095}, {"varArray", 8192}, {"varByRef", 16384},
};

Variant Arg(TscMethodHelper* Caller, Integer Index) { return Caller->GetParamValue(Index); }
String StrArg(TscMethodHelper* Caller, Integer Index) { return Arg(Caller, Index).AsString(); }
Integer IntArg(TscMethodHelper* Caller, Integer Index) { return Arg(Caller, Index).AsInteger(); }
double FloatArg(TscMethodHelper* Caller, Integer Index) { return Arg(Caller, Index).AsDouble(); }

// A Word argument of a date or time; a value that is no Word is an invalid date or time.
Word WordArg(TscMethodHelper* Caller, Integer Index, const char* Error) {
  const Int64 value = Arg(Caller, Index).AsInt64();
  if (value < 0 || value > 0xFFFF) throw EConvertError(Error);
  return static_cast<Word>(value);
}

// The result of a floating-point function, with the errors the floating-point unit would raise.
double Checked(double Result, double Argument) {
  if (std::isnan(Result)) throw EInvalidOp(rtlconsts::SInvalidOp);
  if (std::isinf(Result) && std::isfinite(Argument)) throw EOverflow(rtlconsts::SOverflow);
  return Result;
}

// Byte position of code point Index of S, clipped to 1..Length + 1.
size_t BytePos(const String& S, Integer Index) { return static_cast<size_t>(Utf8BytePos(S, Index) - 1); }

String NameCaseText(const String& S) {
  const String lower = AnsiLowerCase(S);
  String result;
  result.reserve(lower.size());
  bool start = true;
  const char* p = lower.data();
  const char* end = p + lower.size();
  while (p < end) {
    const Integer length = StrCharLength(p, end);
    const String character(p, static_cast<size_t>(length));
    result += start ? AnsiUpperCase(character) : character;
    start = character == " ";
    p += length;
  }
  return result;
}

// The code point of the first character of S; 0 for an empty string.
Integer FirstCodePoint(const String& S) {
  if (S.empty()) return 0;
  const WideString wide = Utf8ToWide(Utf8Copy(S, 1, 1));
  if (wide.size() >= 2 && wide[0] >= 0xD800 && wide[0] < 0xDC00) {
    return 0x10000 + ((wide[0] - 0xD800) << 10) + (wide[1] - 0xDC00);
  }
  return wide.empty() ? 0 : wide[0];
}

Variant DateValue(TDateTime Value) { return Variant::FromDateTime(Value); }

}  // namespace

TFunctions::TFunctions(TscScript* AScript) : TscRTTIModule(AScript) {
  TscScript* s = AScript;
  for (const char* name : {"Byte", "Word", "Integer", "Longint", "Cardinal", "TColor"}) s->AddType(name, tcInteger);
  s->AddType("Boolean", tcBoolean);
  for (const char* name : {"Real", "Single", "Double", "Extended", "Currency", "TDate", "TTime", "TDateTime"}) {
    s->AddType(name, tcFloat);
  }
  s->AddType("Char", tcChar);
  s->AddType("String", tcString);
  s->AddType("Variant", tcVariant);
  s->AddType("Pointer", tcVariant);
  s->AddType("Array", tcArray);
  s->AddType("Constructor", tcConstructor);

  s->AddConst("True", "Boolean", true);
  s->AddConst("False", "Boolean", false);
  s->AddConst("nil", "Variant", Integer{0});
  s->AddConst("Null", "Variant", Null());

  s->Add("__StringHelper", new TscStringHelper);
  s->Add("__ArrayHelper", new TscArrayHelper("__ArrayHelper", String(), tcVariant, -1));

  for (const auto& entry : kFunctions) {
    TscMethodCallback callback;
    const String* category = &catOther_;
    switch (entry[1][0]) {
      case 'c':
        callback = TscMethodCallback(this, &TFunctions::ConvToStrMethod);
        category = &catConv_;
        break;
      case 'f':
        callback = TscMethodCallback(this, &TFunctions::FormatMethod);
        category = &catFormat_;
        break;
      case 'd':
        callback = TscMethodCallback(this, &TFunctions::DateMethod);
        category = &catDate_;
        break;
      case 's':
        callback = TscMethodCallback(this, &TFunctions::StringMethod);
        category = &catString_;
        break;
      case 'm':
        callback = TscMethodCallback(this, &TFunctions::MathMethod);
        category = &catMath_;
        break;
      default:
        callback = TscMethodCallback(this, &TFunctions::OtherMethod);
        break;
    }
    TscMethodHelper* method = s->AddMethod(entry[0], callback, *category);
    // The conversions from text have a callback of their own.
    if (method->UpperName().compare(0, 5, "STRTO") == 0) {
      method->SetOnCall(TscMethodCallback(this, &TFunctions::ConvFromStrMethod));
    }
    // VarToStr is answered with the other functions.
    if (method->UpperName() == "VARTOSTR") method->SetOnCall(TscMethodCallback(this, &TFunctions::OtherMethod));
  }

  for (const VarTypeConst& c : kVarTypes) s->AddConst(c.Name, "Integer", c.Value);
}

Variant TFunctions::ConvToStrMethod(TObject*, TClass, const String& MethodName, TscMethodHelper* Caller) {
  if (MethodName == "INTTOSTR") return IntToStr(Arg(Caller, 0).AsInt64());
  if (MethodName == "FLOATTOSTR") return FloatToStr(FloatArg(Caller, 0));
  if (MethodName == "DATETOSTR") return DateToStr(FloatArg(Caller, 0));
  if (MethodName == "TIMETOSTR") return TimeToStr(FloatArg(Caller, 0));
  if (MethodName == "DATETIMETOSTR") return DateTimeToStr(FloatArg(Caller, 0));
  return Variant();
}

Variant TFunctions::ConvFromStrMethod(TObject*, TClass, const String& MethodName, TscMethodHelper* Caller) {
  if (MethodName == "STRTOINT") return StrToInt(StrArg(Caller, 0));
  if (MethodName == "STRTOFLOAT") return static_cast<double>(StrToFloat(StrArg(Caller, 0)));
  if (MethodName == "STRTODATE") return DateValue(StrToDate(StrArg(Caller, 0)));
  if (MethodName == "STRTOTIME") return DateValue(StrToTime(StrArg(Caller, 0)));
  if (MethodName == "STRTODATETIME") return DateValue(StrToDateTime(StrArg(Caller, 0)));
  return Variant();
}

Variant TFunctions::FormatMethod(TObject*, TClass, const String& MethodName, TscMethodHelper* Caller) {
  if (MethodName == "FORMAT") return FormatVariantArgs(StrArg(Caller, 0), Arg(Caller, 1));
  if (MethodName == "FORMATFLOAT") return FormatFloat(StrArg(Caller, 0), FloatArg(Caller, 1));
  if (MethodName == "FORMATDATETIME") return FormatDateTime(StrArg(Caller, 0), FloatArg(Caller, 1));
  if (MethodName == "FORMATMASKTEXT") {
    const k58::forms::EditMaskLayout layout(StrArg(Caller, 0));
    return layout.Format(StrArg(Caller, 1), layout.SaveLiterals());
  }
  return Variant();
}

Variant TFunctions::DateMethod(TObject*, TClass, const String& MethodName, TscMethodHelper* Caller) {
  using rtlconsts::SDateEncodeError;
  using rtlconsts::STimeEncodeError;
  if (MethodName == "ENCODEDATE") {
    return DateValue(EncodeDate(WordArg(Caller, 0, SDateEncodeError), WordArg(Caller, 1, SDateEncodeError),
                                WordArg(Caller, 2, SDateEncodeError)));
  }
  if (MethodName == "ENCODETIME") {
    return DateValue(EncodeTime(WordArg(Caller, 0, STimeEncodeError), WordArg(Caller, 1, STimeEncodeError),
                                WordArg(Caller, 2, STimeEncodeError), WordArg(Caller, 3, STimeEncodeError)));
  }
  if (MethodName == "DECODEDATE") {
    Word year = 0, month = 0, day = 0;
    DecodeDate(FloatArg(Caller, 0), year, month, day);
    Caller->SetParamValue(1, year);
    Caller->SetParamValue(2, month);
    Caller->SetParamValue(3, day);
    return Variant();
  }
  if (MethodName == "DECODETIME") {
    Word hour = 0, min = 0, sec = 0, msec = 0;
    DecodeTime(FloatArg(Caller, 0), hour, min, sec, msec);
    Caller->SetParamValue(1, hour);
    Caller->SetParamValue(2, min);
    Caller->SetParamValue(3, sec);
    Caller->SetParamValue(4, msec);
    return Variant();
  }
  if (MethodName == "DATE") return DateValue(Date());
  if (MethodName == "TIME") return DateValue(Time());
  if (MethodName == "NOW") return DateValue(Now());
  if (MethodName == "DAYOFWEEK") return static_cast<Word>(DayOfWeek(FloatArg(Caller, 0)));
  if (MethodName == "ISLEAPYEAR") return IsLeapYear(WordArg(Caller, 0, SDateEncodeError));
  if (MethodName == "DAYSINMONTH") {
    const Integer year = IntArg(Caller, 0);
    const Integer month = IntArg(Caller, 1);
    // A month outside 1..12 has no number of days.
    if (month < 1 || month > 12 || year < 0 || year > 0xFFFF) throw EConvertError(SDateEncodeError);
    return static_cast<Integer>(MonthDays[IsLeapYear(static_cast<Word>(year)) ? 1 : 0][month - 1]);
  }
  return Variant();
}

Variant TFunctions::StringMethod(TObject*, TClass, const String& MethodName, TscMethodHelper* Caller) {
  if (MethodName == "LENGTH") {
    const Variant value = Arg(Caller, 0);
    if (value.IsArray()) return VarArrayHighBound(value, 1) - VarArrayLowBound(value, 1) + 1;
    return Utf8Length(value.AsString());
  }
  if (MethodName == "COPY") return Utf8Copy(StrArg(Caller, 0), IntArg(Caller, 1), IntArg(Caller, 2));
  if (MethodName == "POS") {
    const String s = StrArg(Caller, 1);
    const Integer at = Pos(StrArg(Caller, 0), s);
    return at == 0 ? 0 : Utf8CharIndex(s, at);
  }
  if (MethodName == "DELETE" || MethodName == "DELETESTR") {
    String s = StrArg(Caller, 0);
    const Integer from = IntArg(Caller, 1);
    const Integer count = IntArg(Caller, 2);
    if (from >= 1 && from <= Utf8Length(s) && count > 0) {
      const size_t first = BytePos(s, from);
      const size_t last = BytePos(s, static_cast<Integer>(std::min<Int64>(Int64{from} + count, INT32_MAX)));
      s.erase(first, last - first);
    }
    Caller->SetParamValue(0, s);
    return Variant();
  }
  if (MethodName == "INSERT") {
    String s2 = StrArg(Caller, 1);
    const Integer at = std::clamp(IntArg(Caller, 2), 1, Utf8Length(s2) + 1);
    s2.insert(BytePos(s2, at), StrArg(Caller, 0));
    Caller->SetParamValue(1, s2);
    return Variant();
  }
  if (MethodName == "UPPERCASE") return AnsiUpperCase(StrArg(Caller, 0));
  if (MethodName == "LOWERCASE") return AnsiLowerCase(StrArg(Caller, 0));
  if (MethodName == "TRIM") return Trim(StrArg(Caller, 0));
  if (MethodName == "NAMECASE") return NameCaseText(StrArg(Caller, 0));
  if (MethodName == "COMPARETEXT") return AnsiCompareText(StrArg(Caller, 0), StrArg(Caller, 1));
  if (MethodName == "CHR") return CodePointToUtf8(static_cast<uint32_t>(IntArg(Caller, 0)));
  if (MethodName == "ORD") return FirstCodePoint(StrArg(Caller, 0));
  if (MethodName == "SETLENGTH") {
    Variant value = Arg(Caller, 0);
    const Integer length = std::max(IntArg(Caller, 1), 0);
    if (VarIsStr(value)) {
      String s = value.AsString();
      const Integer have = Utf8Length(s);
      if (length < have) {
        s.resize(BytePos(s, length + 1));
      } else {
        s.append(static_cast<size_t>(length - have), ' ');
      }
      value = s;
    } else {
      VarArrayRedim(value, length - 1);
    }
    Caller->SetParamValue(0, value);
    return Variant();
  }
  return Variant();
}

Variant TFunctions::MathMethod(TObject*, TClass, const String& MethodName, TscMethodHelper* Caller) {
  if (MethodName == "PI") return 3.1415926535897932385;
  const double x = FloatArg(Caller, 0);
  // Round and Trunc keep 32 bits of the integer, as their declared result does.
  if (MethodName == "ROUND") return static_cast<Integer>(Round(x));
  if (MethodName == "TRUNC") return static_cast<Integer>(Trunc(x));
  if (MethodName == "INT") return static_cast<double>(Int(x));
  if (MethodName == "FRAC") return static_cast<double>(Frac(x));
  if (MethodName == "SQRT") return Checked(std::sqrt(x), x);
  if (MethodName == "ABS") return std::fabs(x);
  if (MethodName == "SIN") return Checked(std::sin(x), x);
  if (MethodName == "COS") return Checked(std::cos(x), x);
  if (MethodName == "ARCTAN") return std::atan(x);
  if (MethodName == "TAN") return Checked(std::sin(x) / std::cos(x), x);
  if (MethodName == "EXP") return Checked(std::exp(x), x);
  if (MethodName == "LN") {
    if (x == 0) throw EZeroDivide(rtlconsts::SZeroDivide);
    return Checked(std::log(x), x);
  }
  return Variant();
}

Variant TFunctions::OtherMethod(TObject*, TClass, const String& MethodName, TscMethodHelper* Caller) {
  if (MethodName == "INC") {
    Caller->SetParamValue(0, Arg(Caller, 0) + Arg(Caller, 1));
    return Variant();
  }
  if (MethodName == "DEC") {
    Caller->SetParamValue(0, Arg(Caller, 0) - Arg(Caller, 1));
    return Variant();
  }
  if (MethodName == "RAISEEXCEPTION") throw Exception(StrArg(Caller, 0));
  if (MethodName == "SHOWMESSAGE") {
    ShowMessage(StrArg(Caller, 0));
    return Variant();
  }
  if (MethodName == "RANDOMIZE") {
    Randomize();
    return Variant();
  }
  if (MethodName == "RANDOM") return static_cast<double>(Random());
  if (MethodName == "VALIDINT") {
    Integer value = 0;
    return TryStrToInt(StrArg(Caller, 0), value);
  }
  if (MethodName == "VALIDFLOAT") {
    Extended value = 0;
    return TryStrToFloat(StrArg(Caller, 0), value);
  }
  if (MethodName == "VALIDDATE") {
    TDateTime value = 0;
    return TryStrToDate(StrArg(Caller, 0), value);
  }
  if (MethodName == "CREATEOLEOBJECT") return CreateOleObject(StrArg(Caller, 0));
  if (MethodName == "VARARRAYCREATE") {
    const Variant bounds = Arg(Caller, 0);
    std::vector<Integer> list;
    if (bounds.IsArray()) {
      for (Integer i = VarArrayLowBound(bounds, 1); i <= VarArrayHighBound(bounds, 1); ++i) {
        list.push_back(VarArrayGet(bounds, {i}).AsInteger());
      }
    }
    return VarArrayCreate(list, static_cast<TVarType>(IntArg(Caller, 1)));
  }
  if (MethodName == "VARTOSTR") return VarToStr(Arg(Caller, 0));
  if (MethodName == "VARTYPE") return static_cast<Word>(VarType(Arg(Caller, 0)));
  return Variant();
}

}  // namespace k58::script::sysfuncs
