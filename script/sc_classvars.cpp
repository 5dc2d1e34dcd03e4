// Class bindings: class variables with their members, property members over published type information or
// callbacks, and the method helper that also carries every registered global function.
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/CodePages.h"
#include "script/sc_bindings.h"
#include "script/sc_const.h"
#include "script/sc_internal.h"

K58_IMPLEMENT_CLASS(TscPropertyHelper) {}
K58_IMPLEMENT_CLASS(TscMethodHelper) {}
K58_IMPLEMENT_CLASS(TscClassVariable) {}
K58_IMPLEMENT_CLASS(TscRTTIModule) {}

using namespace k58::script;

namespace {

// The object a member works on: none for a global function and for a member used on a class reference;
// otherwise the object the previous link produced, checked against the class the member belongs to.
TObject* MemberInstance(const Variant& ParentValue, TClass ClassRef) {
  if (ClassRef == nullptr || VarToClass(ParentValue) != nullptr) return nullptr;
  return ScriptObject(ParentValue, ClassRef);
}

// A character as the script's one-character string.
String CharText(Int64 Code) { return CodePointToUtf8(static_cast<uint32_t>(Code)); }

// The code point of the first character of a text, 0 for an empty one.
Int64 FirstCharCode(const String& Text) {
  if (Text.empty()) return 0;
  const WideString wide = Utf8ToWide(Utf8Copy(Text, 1, 1));
  if (wide.size() >= 2 && wide[0] >= 0xD800 && wide[0] < 0xDC00) {
    return 0x10000 + ((wide[0] - 0xD800) << 10) + (wide[1] - 0xDC00);
  }
  return wide.empty() ? 0 : wide[0];
}

// Type code and type name of a published property, by its type kind.
void PublishedType(const TTypeInfo* Type, TscTypeCode& Code, String& Name) {
  Name.clear();
  switch (Type->Kind) {
    case tkChar:
    case tkWChar:
      Code = tcChar;
      break;
    case tkEnumeration:
      Name = Type->Name();
      Code = SameText(Name, "Boolean") || SameText(Name, "bool") ? tcBoolean : tcEnum;
      break;
    case tkFloat:
      Code = tcFloat;
      break;
    case tkString:
    case tkLString:
    case tkWString:
      Code = tcString;
      break;
    case tkSet:
      Code = tcEnum;
      Name = Type->Name();
      break;
    case tkClass:
      Code = tcClass;
      Name = Type->ClassType() != nullptr ? Type->ClassType()->Name() : Type->Name();
      break;
    case tkVariant:
      Code = tcVariant;
      break;
    default:
      Code = tcInteger;
      break;
  }
}

}  // namespace

// ---- TscPropertyHelper ----------------------------------------------------------------------------------
TscPropertyHelper::TscPropertyHelper(const String& Name, TscTypeCode TypeCode, const String& TypeName,
                                     TClass ClassRef)
    : TscCustomHelper(Name, TypeCode, TypeName), classRef_(ClassRef) {}

const TPropInfo* TscPropertyHelper::FindProp(TObject* Instance) {
  const TClass actual = Instance->ClassType();
  if (actual != lastClass_) {
    lastProp_ = GetPropInfo(actual, name_);
    lastClass_ = actual;
  }
  return lastProp_;
}

void TscPropertyHelper::GetValue(Variant& Result) {
  Result = Null();
  TObject* instance = MemberInstance(parentValue_, classRef_);
  if (published_ && instance != nullptr) {
    if (const TPropInfo* prop = FindProp(instance)) {
      switch (prop->Kind()) {
        case tkInteger:
        case tkEnumeration:
        case tkSet:
          Result = static_cast<Integer>(GetOrdProp(instance, prop));
          break;
        case tkInt64:
          Result = GetInt64Prop(instance, prop);
          break;
        case tkClass:
          Result = Variant::FromObject(GetObjectProp(instance, prop));
          break;
        case tkChar:
        case tkWChar:
          Result = CharText(GetOrdProp(instance, prop));
          break;
        case tkFloat:
          Result = static_cast<double>(GetFloatProp(instance, prop));
          break;
        case tkString:
        case tkLString:
        case tkWString:
          Result = GetStrProp(instance, prop);
          break;
        case tkVariant:
          Result = GetVariantProp(instance, prop);
          break;
        default:
          break;
      }
    }
  } else if (onGet_) {
    Result = onGet_(instance, classRef_, upperName_);
  }
  if (typeCode_ == tcBoolean && Result.Type() != varBoolean) {
    Result = !VarIsNil(Result) && !(VarIsNumeric(Result) && Result.AsDouble() == 0);
  }
}

void TscPropertyHelper::SetValue(const Variant& Value) {
  if (readOnly_) return;
  TObject* instance = MemberInstance(parentValue_, classRef_);
  if (published_) {
    if (instance == nullptr) return;
    const TPropInfo* prop = FindProp(instance);
    if (prop == nullptr) return;
    switch (prop->Kind()) {
      case tkInteger:
      case tkEnumeration:
        SetOrdProp(instance, prop, typeCode_ == tcBoolean ? (Value.AsBoolean() ? 1 : 0) : Value.AsInt64());
        break;
      case tkSet:  // a bit mask, or the elements of a set constructor
        SetOrdProp(instance, prop, static_cast<Int64>(k58::script::bindings::VarSetBits(Value)));
        break;
      case tkInt64:
        SetInt64Prop(instance, prop, Value.AsInt64());
        break;
      case tkClass:
        SetObjectProp(instance, prop, ScriptObjectOrNil(Value));
        break;
      case tkChar:
      case tkWChar:
        SetOrdProp(instance, prop, FirstCharCode(Value.AsString()));
        break;
      case tkFloat:
        SetFloatProp(instance, prop, Value.AsDouble());
        break;
      case tkString:
      case tkLString:
        SetStrProp(instance, prop, Value.AsString());
        break;
      case tkWString:
        SetWideStrProp(instance, prop, Value.AsWideString());
        break;
      case tkVariant:
        SetVariantProp(instance, prop, Value);
        break;
      default:
        break;
    }
  } else if (onSet_) {
    onSet_(instance, classRef_, upperName_, Value);
  }
}

// ---- TscMethodHelper ------------------------------------------------------------------------------------
TscMethodHelper::TscMethodHelper(const String& Syntax, TscScript* Script)
    : TscCustomHelper(String(), tcVariant, String()), syntax_(Syntax) {
  std::unique_ptr<TscCustomVariable> signature = ParseSignature(Syntax, Script);
  SetName(signature->Name());
  typeCode_ = signature->TypeCode();
  typeName_ = signature->TypeName();
  macroParams_ = signature->MacroParams();
  while (signature->GetCount() > 0) {
    TObject* param = signature->GetItem(0);
    signature->Remove(param);
    Add(param);
  }
  readOnly_ = true;
  description_ = name_;
}

TObject* TscMethodHelper::Instance() const { return MemberInstance(parentValue_, classRef_); }

Variant TscMethodHelper::Invoke(const String& Name, std::vector<Variant>& Args, bool Assign) {
  TObject* instance = Instance();
  const Integer count = ParamCount();
  Variant result;
  if (onCallArray_) {
    Variant array = VarArrayOf(Args);
    result = onCallArray_(instance, classRef_, Name, array);
    if (!Assign && VarArrayDimCount(array) == 1 && VarArrayLowBound(array, 1) == 0) {
      const Integer high = VarArrayHighBound(array, 1);
      for (Integer i = 0; i < count && i <= high; ++i) Args[static_cast<size_t>(i)] = VarArrayGet(array, {i});
    }
  } else if (onCall_) {
    std::vector<Variant>* outer = callArgs_;
    callArgs_ = &Args;
    try {
      result = onCall_(instance, classRef_, Name, this);
    } catch (...) {
      callArgs_ = outer;
      throw;
    }
    callArgs_ = outer;
  } else {
    result = Integer{0};
  }
  return result;
}

void TscMethodHelper::GetValue(Variant& Result) {
  // This call's own arguments: a nested call of this member cannot change them.
  const Integer count = ParamCount();
  std::vector<Variant> args(static_cast<size_t>(count));
  for (Integer i = 0; i < count; ++i) args[static_cast<size_t>(i)] = GetParam(i)->ValueSlot();
  Result = Invoke(indexedProperty_ ? upperName_ + ".GET" : upperName_, args, false);
  // Var arguments as this call left them, for the designator to write back.
  for (Integer i = 0; i < count; ++i) {
    TscParamItem* param = GetParam(i);
    if (param->ByRef()) param->ValueSlot() = args[static_cast<size_t>(i)];
  }
}

void TscMethodHelper::SetValue(const Variant& Value) {
  if (!indexedProperty_) return;
  const Integer count = ParamCount();
  std::vector<Variant> args(static_cast<size_t>(count) + 1);
  for (Integer i = 0; i < count; ++i) args[static_cast<size_t>(i)] = GetParam(i)->ValueSlot();
  args[static_cast<size_t>(count)] = Value;
  Invoke(upperName_ + ".SET", args, true);
}

Variant TscMethodHelper::GetParamValue(Integer Index) const {
  if (callArgs_ != nullptr) {
    if (Index < 0 || static_cast<size_t>(Index) >= callArgs_->size()) {
      throw EListError(Format(classesconsts::SListIndexError, Index));
    }
    return (*callArgs_)[static_cast<size_t>(Index)];
  }
  return GetParam(Index)->ValueSlot();
}

void TscMethodHelper::SetParamValue(Integer Index, const Variant& Value) {
  if (callArgs_ != nullptr) {
    if (Index < 0 || static_cast<size_t>(Index) >= callArgs_->size()) {
      throw EListError(Format(classesconsts::SListIndexError, Index));
    }
    (*callArgs_)[static_cast<size_t>(Index)] = Value;
    return;
  }
  GetParam(Index)->ValueSlot() = Value;
}

// ---- TscClassVariable -----------------------------------------------------------------------------------
TscClassVariable::TscClassVariable(TClass AClass, const String& AncestorName)
    : TscCustomVariable(AClass->Name(), tcClass, AClass->Name()), ancestorName_(AncestorName), classRef_(AClass) {
  AddPublishedProperties(AClass);
  Add(new TscParamItem(String(), tcVariant, String(), true, false));
}

TscClassVariable::~TscClassVariable() = default;

void TscClassVariable::AddPublishedProperties(TClass AClass) {
  if (!AClass->HasPublishedInfo()) return;
  for (const TPropInfo* prop : AClass->Properties()) {
    if (prop->Kind() == tkMethod) continue;
    TscTypeCode code = tcInteger;
    String typeName;
    PublishedType(prop->PropType, code, typeName);
    auto* member = new TscPropertyHelper(prop->Name, code, typeName, AClass);
    member->SetPublished(true);
    // A property without a write accessor cannot be assigned: the compiler says so.
    member->SetReadOnly(!prop->IsWritable());
    members_.Add(member);
  }
}

void TscClassVariable::GetValue(Variant& Result) {
  Variant& cast = GetParam(0)->ValueSlot();
  if (cast.IsNull()) {
    Result = VarFromClass(classRef_);
    return;
  }
  Variant value = std::move(cast);
  cast = Null();
  if (value.IsObject()) {
    ScriptObjectOrNil(value, classRef_);
    Result = std::move(value);
  } else {
    // nil as this class; anything else is no object.
    ScriptObjectOrNil(value, classRef_);
    Result = Variant::FromObject(nullptr);
  }
}

TscMethodHelper* TscClassVariable::AddMethod(const String& Syntax, const TscMethodCallback& CallBack) {
  auto* method = new TscMethodHelper(Syntax, script_);
  method->SetOnCall(CallBack);
  method->SetClassRef(classRef_);
  members_.Add(method);
  return method;
}

TscMethodHelper* TscClassVariable::AddConstructor(const String& Syntax, const TscMethodCallback& CallBack) {
  const size_t blank = Syntax.find(' ');
  const String rest = blank == String::npos ? String() : Syntax.substr(blank);
  return AddMethod("function" + rest + ": Constructor", CallBack);
}

TscPropertyHelper* TscClassVariable::AddProperty(const String& Name, const String& TypeName,
                                                 const TscPropGetCallback& GetCallBack,
                                                 const TscPropSetCallback& SetCallBack) {
  auto* property = new TscPropertyHelper(Name, TypeCodeOf(TypeName, script_), TypeName, classRef_);
  property->SetOnGet(GetCallBack);
  property->SetOnSet(SetCallBack);
  property->SetReadOnly(!SetCallBack);
  members_.Add(property);
  return property;
}

TscMethodHelper* TscClassVariable::AddIndexProperty(const String& Name, const String& ParamTypes,
                                                    const String& TypeName, const TscMethodCallback& CallBack,
                                                    bool ReadOnly) {
  String params;
  Integer index = 0;
  size_t from = 0;
  while (!ParamTypes.empty() && from <= ParamTypes.size()) {
    const size_t comma = ParamTypes.find(',', from);
    const String type = Trim(ParamTypes.substr(from, comma == String::npos ? String::npos : comma - from));
    if (index > 0) params += "; ";
    params += 'p';
    params += IntToStr(index++);
    params += ": ";
    params += type;
    if (comma == String::npos) break;
    from = comma + 1;
  }
  const String syntax = "function " + Name + (params.empty() ? String() : "(" + params + ")") + ": " + TypeName;
  TscMethodHelper* method = AddMethod(syntax, CallBack);
  method->SetReadOnly(ReadOnly);
  method->SetIndexedProperty(true);
  return method;
}

TscMethodHelper* TscClassVariable::AddDefaultProperty(const String& Name, const String& ParamTypes,
                                                      const String& TypeName, const TscMethodCallback& CallBack,
                                                      bool ReadOnly) {
  TscMethodHelper* method = AddIndexProperty(Name, ParamTypes, TypeName, CallBack, ReadOnly);
  defaultProperty_ = method;
  return method;
}

TscCustomVariable* TscClassVariable::FindOwnMember(const String& Name) const {
  const String key = FoldName(Name);
  for (Integer i = 0; i < members_.GetCount(); ++i) {
    auto* member = static_cast<TscCustomVariable*>(members_.GetItem(i));
    if (member->UpperName() == key) return member;
  }
  return nullptr;
}

TscCustomVariable* TscClassVariable::FindMember(const String& Name) const {
  const TscClassVariable* cls = this;
  // An ancestor chain that loops back ends the search.
  for (Integer depth = 0; cls != nullptr && depth < 256; ++depth) {
    if (TscCustomVariable* member = cls->FindOwnMember(Name)) return member;
    if (cls->ancestorName_.empty() || cls->script_ == nullptr) break;
    cls = cls->script_->FindClass(cls->ancestorName_);
  }
  return nullptr;
}
