// Items of the script run time: the item list, variables, parameters, procedures with their calls, set
// constructors, the array and string helpers, and the value helpers (objects, class references).
#include <pthread.h>

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/LiveObjects.h"
#include "platform/rtl/RtlConsts.h"
#include "script/sc_const.h"
#include "script/sc_expression.h"
#include "script/sc_internal.h"
#include "script/sc_statements.h"

K58_IMPLEMENT_CLASS(TscItemList) {}
K58_IMPLEMENT_CLASS(TscCustomVariable) {}
K58_IMPLEMENT_CLASS(TscVariable) {}
K58_IMPLEMENT_CLASS(TscTypeVariable) {}
K58_IMPLEMENT_CLASS(TscStringVariable) {}
K58_IMPLEMENT_CLASS(TscParamItem) {}
K58_IMPLEMENT_CLASS(TscProcVariable) {}
K58_IMPLEMENT_CLASS(TscCustomExpression) {}
K58_IMPLEMENT_CLASS(TscSetExpression) {}
K58_IMPLEMENT_CLASS(TscCustomHelper) {}
K58_IMPLEMENT_CLASS(TscArrayHelper) {}
K58_IMPLEMENT_CLASS(TscStringHelper) {}

namespace k58::script {

String FoldName(const String& Name) {
  // Plain ASCII names, by far the most, need no Unicode case mapping.
  for (char c : Name) {
    if (static_cast<unsigned char>(c) >= 0x80) return AnsiUpperCase(Name);
  }
  return UpperCase(Name);
}

namespace {

// The end of this thread's stack plus a margin for what runs between two checks (expressions, callbacks,
// the handling of the exception).
const char* StackLimitOfThread() {
  pthread_attr_t attr;
  void* base = nullptr;
  size_t size = 0;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    pthread_attr_getstack(&attr, &base, &size);
    pthread_attr_destroy(&attr);
  }
  if (base == nullptr || size == 0) return nullptr;
  const size_t margin = std::min<size_t>(size / 4, size_t{1} << 20);
  return static_cast<const char*>(base) + margin;
}

}  // namespace

const char* FindNativeStackLimit() {
  stackLimit = StackLimitOfThread();
  stackLimitKnown = true;
  return stackLimit;
}

void RaiseStackOverflow() { throw EStackOverflow(scconsts::SStackOverflow); }

bool PlainGet(const TscCustomVariable* Item) {
  const std::type_info& type = typeid(*Item);
  return type == typeid(TscVariable) || type == typeid(TscStringVariable) || type == typeid(TscParamItem) ||
         type == typeid(TscTypeVariable) || type == typeid(TscOperandNode);
}

bool PlainSet(const TscCustomVariable* Item) {
  const std::type_info& type = typeid(*Item);
  return type == typeid(TscVariable) || type == typeid(TscParamItem);
}

Integer IntDiv(Integer A, Integer B) {
  if (B == 0) throw EDivByZero(rtlconsts::SDivByZero);
  if (B == -1) return WrapSub(0, A);  // the one quotient that does not fit wraps
  return A / B;
}
Integer IntMod(Integer A, Integer B) {
  if (B == 0) throw EDivByZero(rtlconsts::SDivByZero);
  if (B == -1) return 0;
  return A % B;
}

namespace {

// Class references as values: a custom variant type whose value is the class.
class ClassRefValue : public TCustomVarValue {
 public:
  explicit ClassRefValue(TClass AClass) : Class(AClass) {}
  TClass Class;
};

class ClassRefType : public TCustomVariantType {
 public:
  ClassRefType() : TCustomVariantType("ClassRef") {}

  Variant CastTo(const Variant& Source, TVarType Target) const override {
    const String name = ClassOf(Source)->Name();
    if (Target == varString) return Variant(name);
    if (Target == varOleStr) return VarAsType(Variant(name), varOleStr);
    throw EVariantTypeCastError(Format("Could not convert variant of type (%s) into type (%s)", Name(),
                                       VarTypeAsText(Target)));
  }
  Variant CastFrom(const Variant& Source) const override {
    throw EVariantTypeCastError(Format("Could not convert variant of type (%s) into type (%s)",
                                       VarTypeAsText(Source.Type()), Name()));
  }
  // Beside other values a class reference is its name.
  TVarType OperandType() const override { return varString; }
  int Compare(const Variant& A, const Variant& B) const override {
    const TClass a = ClassOf(A);
    const TClass b = ClassOf(B);
    return a == b ? 0 : std::less<TClass>()(a, b) ? -1 : 1;
  }

  static TClass ClassOf(const Variant& V) { return static_cast<const ClassRefValue*>(V.CustomValue())->Class; }
};

const ClassRefType& TheClassRefType() {
  static const ClassRefType type;
  return type;
}

[[noreturn]] void RaiseInvalidClassCast() { throw EInvalidCast(scconsts::SInvalidClassCast); }

}  // namespace
}  // namespace k58::script

using namespace k58::script;

// ---- Values ---------------------------------------------------------------------------------------------
bool VarIsNil(const Variant& Value) {
  if (Value.IsObject()) return Value.AsObject() == nullptr;
  if (Value.IsEmpty() || Value.IsNull()) return true;
  const TVarType type = Value.Type();
  if (type == varBoolean || !VarIsOrdinal(Value)) return false;
  return Value.AsInt64() == 0;
}

TObject* ScriptObjectOrNil(const Variant& Value, TClass AClass) {
  TObject* object = nullptr;
  if (Value.IsObject()) {
    object = VarLiveObject(Value);  // a freed object raises
  } else if (!VarIsNil(Value)) {
    RaiseInvalidClassCast();
  }
  if (object != nullptr && AClass != nullptr && !object->InheritsFrom(AClass)) RaiseInvalidClassCast();
  return object;
}

TObject* ScriptObject(const Variant& Value, TClass AClass) {
  TObject* object = ScriptObjectOrNil(Value, AClass);
  if (object == nullptr) throw EAccessViolation(scconsts::SObjectNil);
  return object;
}

Variant VarFromClass(TClass AClass) {
  return Variant::FromCustom(TheClassRefType(), new ClassRefValue(AClass));
}

TClass VarToClass(const Variant& Value) {
  if (Value.CustomType() != &TheClassRefType()) return nullptr;
  return ClassRefType::ClassOf(Value);
}

TObject* CreateScriptInstance(TClass AClass, TComponent* Owner) {
  if (AClass->IsComponentClass()) return AClass->CreateComponent(Owner);
  return AClass->Create().release();
}

// ---- TscItemList ----------------------------------------------------------------------------------------
TscItemList::~TscItemList() { TscItemList::Clear(); }

void TscItemList::Clear() {
  // Taken one at a time, so a child that looks at the list while it goes sees the rest only.
  while (!items_.empty()) {
    TObject* first = items_.front();
    items_.erase(items_.begin());
    FreeObject(first);
  }
}

void TscItemList::Add(TObject* Item) { items_.push_back(Item); }

void TscItemList::Insert(Integer Index, TObject* Item) {
  items_.insert(items_.begin() + std::clamp<Integer>(Index, 0, GetCount()), Item);
}

void TscItemList::Remove(TObject* Item) {
  const auto it = std::find(items_.begin(), items_.end(), Item);
  if (it != items_.end()) items_.erase(it);
}

void TscItemList::RaiseIndexError(Integer Index) { throw EListError(Format(classesconsts::SListIndexError, Index)); }

// ---- TscCustomVariable ----------------------------------------------------------------------------------
TscCustomVariable::TscCustomVariable(const String& Name, TscTypeCode TypeCode, const String& TypeName)
    : name_(Name), typeCode_(TypeCode), typeName_(TypeName), upperName_(FoldName(Name)), value_(Null()) {}

void TscCustomVariable::SetName(const String& Value) {
  name_ = Value;
  upperName_ = FoldName(Value);
}

void TscCustomVariable::SetValue(const Variant& Value) {
  if (!readOnly_) value_ = Value;
}

void TscCustomVariable::GetValue(Variant& Result) { Result = value_; }

TscParamItem* TscCustomVariable::GetParam(Integer Index) const { return static_cast<TscParamItem*>(GetItem(Index)); }

Integer TscCustomVariable::RequiredParamCount() const {
  Integer count = 0;
  for (Integer i = 0; i < GetCount(); ++i) {
    if (!static_cast<TscParamItem*>(At(i))->Optional()) ++count;
  }
  return count;
}

String TscCustomVariable::TypeDescription() const {
  switch (typeCode_) {
    case tcInteger:
      return "Integer";
    case tcBoolean:
      return "Boolean";
    case tcFloat:
      return "Extended";
    case tcChar:
      return "Char";
    case tcString:
      return "String";
    case tcClass:
      return "Class " + typeName_;
    case tcArray:
      return "Array";
    case tcEnum:
      return typeName_;
    case tcVariant:
    case tcConstructor:
      break;
  }
  return "Variant";
}

// ---- Variables and parameters ---------------------------------------------------------------------------
TscStringVariable::TscStringVariable(const String& Name, TscTypeCode TypeCode, const String& TypeName)
    : TscVariable(Name, TypeCode, TypeName) {
  value_ = String();
}

void TscStringVariable::SetValue(const Variant& Value) {
  if (Value.IsString()) {
    value_ = Value;
  } else {
    value_ = Value.AsString();
  }
}

TscParamItem::TscParamItem(const String& Name, TscTypeCode TypeCode, const String& TypeName, bool Optional,
                           bool ByRef)
    : TscCustomVariable(Name, TypeCode, TypeName), optional_(Optional), byRef_(ByRef) {
  defaultValue_ = Null();
}

// ---- Procedures -----------------------------------------------------------------------------------------
TscProcVariable::TscProcVariable(const String& Name, TscTypeCode TypeCode, const String& TypeName,
                                 TscScript* ParentScript, bool IsFunction)
    : TscCustomVariable(Name, TypeCode, TypeName), isFunction_(IsFunction), localScript_(new TscScript(nullptr)) {
  readOnly_ = true;
  localScript_->SetParent(ParentScript);
  if (IsFunction) {
    auto* result = new TscVariable("Result", TypeCode, TypeName);
    localScript_->Add("Result", result);
    target_ = result;
  }
}

TscProcVariable::~TscProcVariable() {
  // The parameters are the procedure's, not the local script's.
  for (TObject* param : items_) localScript_->Remove(param);
  FreeObject(localScript_);
}

void TscProcVariable::AddParam(TscParamItem* Param) {
  Add(Param);
  localScript_->Add(Param->Name(), Param);
}

const std::vector<TscCustomVariable*>& TscProcVariable::RefreshStateItems() {
  stateItems_.clear();
  for (Integer i = 0; i < localScript_->Count(); ++i) {
    TObject* item = localScript_->Items(i);
    if (auto* variable = dynamic_cast<TscVariable*>(item)) {
      stateItems_.push_back(variable);
    } else if (auto* param = dynamic_cast<TscParamItem*>(item)) {
      stateItems_.push_back(param);
    }
  }
  stateCount_ = localScript_->Count();
  return stateItems_;
}

void TscProcVariable::GetValue(Variant& Result) {
  CallDepthGuard depth;
  const bool wasExecuting = executing_;
  executing_ = true;
  TscScript* main = localScript_;
  while (main != nullptr && !main->IsMainProgram()) main = main->Parent();
  TscScript* savedScope = main != nullptr ? main->CurrentScope() : nullptr;
  if (main != nullptr) main->SetCurrentScope(localScript_);
  struct Restore {
    TscProcVariable* Proc;
    TscScript* Main;
    TscScript* Scope;
    bool Executing;
    ~Restore() {
      Proc->localScript_->ResetFlags();
      Proc->localScript_->SetRunning(false);
      if (Main != nullptr) Main->SetCurrentScope(Scope);
      Proc->executing_ = Executing;
    }
  } restore{this, main, savedScope, wasExecuting};
  localScript_->ResetFlags();
  localScript_->SetRunning(true);
  localScript_->MainStatement()->Execute();
  if (isFunction_) {
    target_->GetValue(Result);
  } else {
    Result = Null();
  }
}

// ---- Sets -----------------------------------------------------------------------------------------------
TscSetExpression::TscSetExpression() : TscCustomVariable(String(), tcVariant, String()) {}

void TscSetExpression::GetValue(Variant& Result) {
  const Integer count = GetCount();
  Result = VarArrayCreate({0, count - 1}, varVariant);
  for (Integer i = 0; i < count; ++i) {
    auto* element = static_cast<TscCustomVariable*>(At(i));
    VarArrayPut(Result, element != nullptr ? element->ReadValue() : Null(), {i});
  }
}

bool TscSetExpression::Contains(const Variant& Value) {
  const Integer count = GetCount();
  Variant element;
  for (Integer i = 0; i < count; ++i) {
    auto* item = static_cast<TscCustomVariable*>(At(i));
    if (item == nullptr) continue;
    item->GetValue(element);
    if (i + 2 < count && At(i + 1) == nullptr) {
      if (Value >= element) {
        static_cast<TscCustomVariable*>(At(i + 2))->GetValue(element);
        if (Value <= element) return true;
      }
      i += 2;
    } else if (Value == element) {
      return true;
    }
  }
  return false;
}

// ---- Helpers --------------------------------------------------------------------------------------------
TscArrayHelper::TscArrayHelper(const String& Name, const String& TypeName, TscTypeCode TypeCode, Integer DimCount)
    : TscCustomHelper(Name, TypeCode, TypeName) {
  if (DimCount < 0) {
    Add(new TscParamItem(String(), tcInteger, String(), false, false));
    Add(new TscParamItem(String(), tcInteger, String(), true, false));
    Add(new TscParamItem(String(), tcInteger, String(), true, false));
    return;
  }
  for (Integer i = 0; i < DimCount; ++i) Add(new TscParamItem(String(), tcInteger, String(), false, false));
}

namespace {

// The array the helper works on: the value slot of a variable, else the value it produced.
Variant* ArrayOf(TscCustomHelper* Helper) {
  TscCustomVariable* parent = Helper->ParentItem();
  if (dynamic_cast<TscVariable*>(parent) != nullptr || dynamic_cast<TscParamItem*>(parent) != nullptr) {
    return &parent->ValueSlot();
  }
  return nullptr;
}

// The index values of the array's dimensions, from the helper's parameters; false when the value is no
// array of 1 to 3 dimensions.
bool ArrayIndexes(TscCustomHelper* Helper, const Variant& Array, Integer (&Indexes)[3], Integer& Count) {
  Count = VarArrayDimCount(Array);
  if (Count < 1 || Count > 3 || Count > Helper->ParamCount()) return false;
  for (Integer i = 0; i < Count; ++i) Indexes[i] = Helper->GetParam(i)->ValueSlot().AsInteger();
  return true;
}

}  // namespace

void TscArrayHelper::GetValue(Variant& Result) {
  const Variant* slot = ArrayOf(this);
  const Variant& array = slot != nullptr ? *slot : parentValue_;
  Integer indexes[3];
  Integer count = 0;
  if (!ArrayIndexes(this, array, indexes, count)) {
    Result = Null();
    return;
  }
  Result = VarArrayGet(array, std::span<const Integer>(indexes, static_cast<size_t>(count)));
}

void TscArrayHelper::SetValue(const Variant& Value) {
  Variant* slot = ArrayOf(this);
  if (slot == nullptr) return;
  Integer indexes[3];
  Integer count = 0;
  if (!ArrayIndexes(this, *slot, indexes, count)) return;
  VarArrayPut(*slot, Value, std::span<const Integer>(indexes, static_cast<size_t>(count)));
}

String StringCharAt(const String& S, Integer Index) {
  if (Index >= 1) {
    // Plain ASCII up to the index: the byte is the character.
    bool ascii = static_cast<size_t>(Index) <= S.size();
    for (Integer i = 0; ascii && i < Index; ++i) ascii = static_cast<unsigned char>(S[static_cast<size_t>(i)]) < 0x80;
    if (ascii) return S.substr(static_cast<size_t>(Index - 1), 1);
    const Integer at = Utf8BytePos(S, Index);
    if (at <= Length(S)) return S.substr(static_cast<size_t>(at - 1), static_cast<size_t>(CharLength(S, at)));
  }
  throw ERangeError(Format(scconsts::SStringIndex, Index));
}

String StringWithCharAt(const String& S, Integer Index, const String& Char) {
  const String old = StringCharAt(S, Index);
  const size_t at = static_cast<size_t>(Utf8BytePos(S, Index) - 1);
  String first = Utf8Copy(Char, 1, 1);
  String result = S;
  result.replace(at, old.size(), first);
  return result;
}

TscStringHelper::TscStringHelper() : TscCustomHelper("__StringHelper", tcChar, String()) {
  Add(new TscParamItem(String(), tcInteger, String(), false, false));
}

void TscStringHelper::GetValue(Variant& Result) {
  Result = StringCharAt(parentValue_.AsString(), GetParam(0)->ValueSlot().AsInteger());
}

void TscStringHelper::SetValue(const Variant& Value) {
  const String changed = StringWithCharAt(parentValue_.AsString(), GetParam(0)->ValueSlot().AsInteger(),
                                          Value.AsString());
  if (parentItem_ != nullptr) parentItem_->SetValue(changed);
}
