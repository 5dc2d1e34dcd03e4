// Registration signatures and the type helpers the compiler and the run time share: type codes of type
// names, type compatibility, constants from token text, positions, and Format over Variant arguments.
#include <cmath>

#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"
#include "script/sc_internal.h"
#include "script/sc_parser.h"

using namespace k58::script;

namespace {

// Type names take part with at most their first 32 characters.
bool SameTypeName(const String& A, const String& B) { return SameText(A.substr(0, 32), B.substr(0, 32)); }

// A default value after "=": a number, a string, "-" and a number, or the value of a named item.
Variant ReadDefault(TscParser& Parser, TscScript* Script) {
  const String number = Parser.ReadNumber();
  if (!number.empty()) return ParseConstant(number);
  const String text = Parser.ReadStringConst();
  if (!text.empty()) return ParseConstant(text);
  const Integer at = Parser.Cursor();
  if (Parser.ReadPunct() == "-") {
    const String negative = Parser.ReadNumber();
    if (!negative.empty()) return -ParseConstant(negative);
  }
  Parser.SetCursor(at);
  const String name = Parser.ReadIdentifier();
  if (Script != nullptr && !name.empty()) {
    if (TscCustomVariable* item = Script->Find(name)) return item->ReadValue();
  }
  return Null();
}

}  // namespace

std::unique_ptr<TscCustomVariable> ParseSignature(const String& Syntax, TscScript* Script) {
  TscParser parser;
  parser.LoadText(Syntax);
  String kind = parser.ReadIdentifier();
  bool macro = false;
  if (kind.size() >= 5 && SameText(kind.substr(0, 5), "macro")) {
    macro = true;
    kind = kind.substr(5);
  }
  const bool isFunction = SameText(kind, "function");
  const String name = parser.ReadIdentifier();
  String resultType;
  if (isFunction) {
    const size_t colon = Syntax.rfind(':');
    if (colon != String::npos) {
      TscParser result;
      result.LoadText(Syntax.substr(colon + 1));
      resultType = result.ReadIdentifier();
    }
  }
  auto signature = std::make_unique<TscCustomVariable>(name, TypeCodeOf(resultType, Script), resultType);
  signature->SetMacroParams(macro);

  parser.SkipBlanks();
  if (parser.ReadPunct() != "(") return signature;
  for (;;) {
    bool byRef = false;
    String word = parser.ReadIdentifier();
    if (SameText(word, "var")) {
      byRef = true;
      word = parser.ReadIdentifier();
    } else if (SameText(word, "const")) {
      word = parser.ReadIdentifier();
    }
    std::vector<String> names;
    String separator;
    for (;;) {
      if (!word.empty()) names.push_back(word);
      parser.SkipBlanks();
      separator = parser.ReadPunct();
      if (separator != ",") break;
      word = parser.ReadIdentifier();
    }
    if (separator == ":") {
      const String typeName = parser.ReadIdentifier();
      Variant defaultValue = Null();
      parser.SkipBlanks();
      const Integer at = parser.Cursor();
      if (parser.ReadPunct() == "=") {
        parser.SkipBlanks();
        defaultValue = ReadDefault(parser, Script);
      } else {
        parser.SetCursor(at);
      }
      const TscTypeCode code = TypeCodeOf(typeName, Script);
      for (size_t i = 0; i < names.size(); ++i) {
        // Only the last name of a group carries the default.
        const bool last = i + 1 == names.size();
        auto* param = new TscParamItem(names[i], code, typeName, last && !defaultValue.IsNull(), byRef);
        if (last) param->SetDefaultValue(defaultValue);
        signature->Add(param);
      }
      parser.SkipBlanks();
      separator = parser.ReadPunct();
    }
    if (separator != ";") break;
  }
  return signature;
}

TscTypeCode TypeCodeOf(const String& TypeName, const TscScript* Script) {
  if (TypeName.empty()) return tcVariant;
  const TscCustomVariable* item = Script != nullptr ? Script->Find(TypeName) : nullptr;
  return item != nullptr ? item->TypeCode() : tcClass;
}

bool ClassInherits(const String& TargetName, const String& SourceName, const TscScript* Script) {
  if (Script == nullptr) return false;
  const TscClassVariable* target = Script->FindClass(TargetName);
  const TscClassVariable* source = Script->FindClass(SourceName);
  return target != nullptr && source != nullptr && source->ClassRef()->InheritsFrom(target->ClassRef());
}

bool TypesFit(TscTypeCode Target, const String& TargetName, TscTypeCode Source, const String& SourceName,
              const TscScript* Script) {
  if (Source == tcVariant && Target != tcConstructor) return true;
  switch (Target) {
    case tcInteger:
      return Source == tcInteger || Source == tcFloat || Source == tcEnum;
    case tcBoolean:
      return Source == tcBoolean;
    case tcFloat:
      return Source == tcInteger || Source == tcFloat;
    case tcChar:
    case tcString:
      return Source == tcChar || Source == tcString;
    case tcClass:
      return Source == tcClass && ClassInherits(TargetName, SourceName, Script);
    case tcArray:
      return Source == tcArray;
    case tcVariant:
      return true;
    case tcEnum:
      return Source == tcInteger || (Source == tcEnum && SameTypeName(TargetName, SourceName));
    case tcConstructor:
      return false;
  }
  return false;
}

bool TypesFit(const TscCustomVariable* Target, const TscCustomVariable* Source, const TscScript* Script) {
  return TypesFit(Target->TypeCode(), Target->TypeName(), Source->TypeCode(), Source->TypeName(), Script);
}

bool CanAssign(const TscCustomVariable* Variable, const TscCustomVariable* Expression, const TscScript* Script) {
  if (Variable->TypeCode() == tcInteger && Expression->TypeCode() == tcFloat) return false;
  return TypesFit(Variable, Expression, Script);
}

Variant ParseConstant(const String& Text) {
  if (Text.empty()) return Null();
  if (Text[0] == '\'') return Text.size() >= 2 ? Text.substr(1, Text.size() - 2) : String();
  Int64 integer = 0;
  if (TryStrToInt64(Text, integer)) {
    if (integer < INT32_MIN || integer > INT32_MAX) return Variant(integer);
    return Variant(static_cast<Integer>(integer));
  }
  // Script numbers are written with "." whatever the locale.
  TFormatSettings settings = FormatSettings;
  settings.DecimalSeparator = '.';
  double value = 0;
  if (!TryStrToFloat(Text, value, settings)) throw EConvertError(Format(rtlconsts::SInvalidFloat, Text));
  return Variant(value);
}

void ParsePos(const String& Text, Integer& Column, Integer& Line) {
  Column = 0;
  Line = 0;
  if (Text.empty()) return;
  const size_t colon = Text.find(':');
  Line = StrToInt(Text.substr(0, colon));
  Column = StrToInt(colon == String::npos ? String() : Text.substr(colon + 1));
}

String FormatVariantArgs(const String& Fmt, const Variant& Args) {
  std::vector<Variant> values;
  if (Args.IsArray()) {
    if (VarArrayDimCount(Args) != 1) throw EConvertError(Format(rtlconsts::SInvalidFormat, Fmt));
    for (Integer i = VarArrayLowBound(Args, 1); i <= VarArrayHighBound(Args, 1); ++i) {
      values.push_back(VarArrayGet(Args, {i}));
    }
  } else {
    values.push_back(Args);
  }
  std::vector<TVarRec> list;
  list.reserve(values.size());
  for (const Variant& value : values) {
    switch (value.Type()) {
      case varSmallint:
      case varShortInt:
      case varByte:
      case varWord:
      case varLongWord:
      case varInt64:
      case varInteger:
        if (value.IsObject()) {
          list.emplace_back(static_cast<const void*>(value.AsObject()));
        } else {
          list.emplace_back(static_cast<long long>(value.AsInt64()));
        }
        break;
      case varSingle:
      case varDouble:
      case varDate:
        list.emplace_back(static_cast<long double>(value.AsDouble()));
        break;
      case varCurrency:
        list.push_back(TVarRec::Currency(value.AsCurrency().Scaled));
        break;
      case varBoolean:
        list.emplace_back(value.AsBoolean());
        break;
      case varString:
      case varOleStr:
        list.emplace_back(value.AsString());
        break;
      default:
        if (value.IsCustom()) {
          list.emplace_back(value.AsString());
          break;
        }
        // Null, Empty, arrays and automation objects are no argument of a picture.
        throw EConvertError(Format(rtlconsts::SInvalidFormat, Fmt));
    }
  }
  return Format(Fmt, list);
}
