// The script component: the item table with its lookups and registration, the binding modules, compiling,
// running, calling procedures by name, termination and position reports.
#include "script/sc_interpreter.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "script/sc_functions.h"
#include "script/sc_internal.h"
#include "script/sc_statements.h"

K58_IMPLEMENT_CLASS(TscScript) {
  b.Prop("Lines", &TscScript::Lines, &TscScript::SetLines);
  b.Prop("SyntaxType", &TscScript::SyntaxType, &TscScript::SetSyntaxType).Default("PascalScript");
  b.Prop("OnGetILUnit", &TscScript::OnGetILUnit, &TscScript::SetOnGetILUnit);
  b.Prop("OnGetUnit", &TscScript::OnGetUnit, &TscScript::SetOnGetUnit);
  b.Prop("OnRunLine", &TscScript::OnRunLine, &TscScript::SetOnRunLine);
}

using namespace k58::script;

// ---- Module classes -------------------------------------------------------------------------------------
namespace {

std::vector<TscRTTIModuleClass>& ModuleClasses() {
  // The system library is always the first module.
  static std::vector<TscRTTIModuleClass> classes{&CreateRTTIModule<k58::script::sysfuncs::TFunctions>};
  return classes;
}

}  // namespace

const std::vector<TscRTTIModuleClass>& GetRTTIModuleClasses() { return ModuleClasses(); }

void RegisterRTTIModule(TscRTTIModuleClass ModuleClass) {
  std::vector<TscRTTIModuleClass>& classes = ModuleClasses();
  if (std::find(classes.begin(), classes.end(), ModuleClass) == classes.end()) classes.push_back(ModuleClass);
}

// ---- Construction ---------------------------------------------------------------------------------------
TscScript::TscScript(TComponent* AOwner)
    : TComponent(AOwner),
      lines_(std::make_unique<TStringList>()),
      mainStatement_(std::make_unique<TscStatement>(this, String(), String())),
      codeLines_(std::make_unique<TStringList>()) {}

TscScript::~TscScript() {
  SetOnRunLine(TscRunLineEvent());
  Clear();
  ClearRTTI();
  // What Clear keeps only while the modules are there.
  FreeEntries([](const Entry&) { return true; });
}

void TscScript::SetOnRunLine(const TscRunLineEvent& Value) {
  const bool had = static_cast<bool>(onRunLine_);
  onRunLine_ = Value;
  const bool has = static_cast<bool>(onRunLine_);
  if (has != had) runLineHandlers_.fetch_add(has ? 1 : -1, std::memory_order_relaxed);
}

void TscScript::SetLines(TStrings* Value) { lines_->Assign(Value); }

// ---- Table ----------------------------------------------------------------------------------------------
size_t TscScript::LowerBound(const String& Key) const {
  return static_cast<size_t>(
      std::lower_bound(table_.begin(), table_.end(), Key, [](const Entry& e, const String& k) { return e.Key < k; }) -
      table_.begin());
}

void TscScript::Add(const String& Name, TObject* Item) {
  if (auto* variable = dynamic_cast<TscCustomVariable*>(Item)) variable->SetOwnerTag(ownerTag_);
  String key = FoldName(Name);
  // In front of the entries of the same name, which it hides.
  const size_t at = LowerBound(key);
  table_.insert(table_.begin() + static_cast<std::ptrdiff_t>(at), Entry{std::move(key), Name, Item});
}

TObject* TscScript::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(classesconsts::SListIndexError, Index));
  return table_[static_cast<size_t>(Index)].Item;
}

const String& TscScript::ItemName(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(classesconsts::SListIndexError, Index));
  return table_[static_cast<size_t>(Index)].Name;
}

void TscScript::Remove(TObject* Item) {
  const auto it = std::find_if(table_.begin(), table_.end(), [Item](const Entry& e) { return e.Item == Item; });
  if (it != table_.end()) table_.erase(it);
}

TscCustomVariable* TscScript::FindLocal(const String& Name) const {
  // Unnamed entries (modules, helpers) are no one's to find.
  if (Name.empty()) return nullptr;
  const String key = FoldName(Name);
  const size_t at = LowerBound(key);
  if (at >= table_.size() || table_[at].Key != key) return nullptr;
  return dynamic_cast<TscCustomVariable*>(table_[at].Item);
}

TscCustomVariable* TscScript::Find(const String& Name) const {
  for (const TscScript* script = this; script != nullptr; script = script->parent_) {
    if (TscCustomVariable* item = script->FindLocal(Name)) return item;
  }
  return nullptr;
}

TscClassVariable* TscScript::FindClass(const String& Name) const { return dynamic_cast<TscClassVariable*>(Find(Name)); }

TscClassVariable* k58::script::RegisteredClassOf(const TObject* Object, const TscScript* Script) {
  for (TClass cls = Object->ClassType(); cls != nullptr; cls = cls->Parent()) {
    if (TscClassVariable* found = Script->FindClass(cls->Name())) return found;
  }
  return nullptr;
}

TscProcVariable* TscScript::FindProcedure(const String& Name) const {
  return dynamic_cast<TscProcVariable*>(FindLocal(Name));
}

template <class Pred>
void TscScript::FreeEntries(Pred Drop) {
  std::vector<TObject*> doomed;
  for (size_t i = table_.size(); i-- > 0;) {
    if (!Drop(table_[i])) continue;
    doomed.push_back(table_[i].Item);
    table_.erase(table_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  for (TObject* item : doomed) FreeObject(item);
}

// ---- Registration ---------------------------------------------------------------------------------------
void TscScript::AddType(const String& TypeName, TscTypeCode TypeCode) {
  if (Find(TypeName) != nullptr) return;
  Add(TypeName, new TscTypeVariable(TypeName, TypeCode, String()));
}

TscClassVariable* TscScript::AddClass(TClass AClass, const String& AncestorName) {
  if (Find(AClass->Name()) != nullptr) return nullptr;
  auto* cls = new TscClassVariable(AClass, AncestorName);
  cls->SetScript(this);
  Add(AClass->Name(), cls);
  if (TscClassVariable* ancestor = FindClass(AncestorName)) cls->SetDefaultProperty(ancestor->DefaultProperty());
  return cls;
}

void TscScript::AddVariableItem(const String& Name, const String& TypeName, const Variant& Value, bool ReadOnly) {
  if (Find(Name) != nullptr) return;
  auto* variable = new TscVariable(Name, TypeCodeOf(TypeName, this), TypeName);
  variable->SetValue(Value);
  variable->SetReadOnly(ReadOnly);
  Add(Name, variable);
}

void TscScript::AddConst(const String& Name, const String& TypeName, const Variant& Value) {
  AddVariableItem(Name, TypeName, Value, true);
}

void TscScript::AddVariable(const String& Name, const String& TypeName, const Variant& Value) {
  AddVariableItem(Name, TypeName, Value, false);
}

void TscScript::AddObject(const String& Name, TObject* Obj) {
  // An object of a class the script does not know is typed as its nearest registered ancestor, so that
  // its members and assignments are checked against that class.
  String typeName = Obj != nullptr ? Obj->ClassName() : String("TObject");
  if (const TscClassVariable* cls = Obj != nullptr ? RegisteredClassOf(Obj, this) : nullptr) typeName = cls->Name();
  AddVariable(Name, typeName, Variant::FromObject(Obj));
}

void TscScript::AddEnumItems(const String& TypeName, const String& Names, bool Bits) {
  Add(TypeName, new TscVariable(TypeName, tcEnum, TypeName));
  Integer index = 0;
  size_t from = 0;
  for (;;) {
    const size_t comma = Names.find(',', from);
    const String name = Trim(Names.substr(from, comma == String::npos ? String::npos : comma - from));
    if (!name.empty() || comma != String::npos) {
      auto* value = new TscVariable(name, tcEnum, TypeName);
      value->SetValue(Bits ? Variant(static_cast<Integer>(static_cast<uint32_t>(1) << (index & 31))) : Variant(index));
      value->SetReadOnly(true);
      Add(name, value);
      ++index;
    }
    if (comma == String::npos) break;
    from = comma + 1;
  }
}

void TscScript::AddEnum(const String& TypeName, const String& Names) { AddEnumItems(TypeName, Names, false); }
void TscScript::AddEnumSet(const String& TypeName, const String& Names) { AddEnumItems(TypeName, Names, true); }

TscMethodHelper* TscScript::AddMethod(const String& Syntax, const TscMethodCallback& CallBack, const String& Category,
                                      const String& Description) {
  auto* method = new TscMethodHelper(Syntax, this);
  method->SetOnCall(CallBack);
  method->SetCategory(Category);
  if (!Description.empty()) method->SetDescription(Description);
  Add(method->Name(), method);
  return method;
}

TscMethodHelper* TscScript::AddMethodWithParamArray(const String& Syntax, const TscParamArrayCallback& CallBack,
                                                    const String& Category, const String& Description) {
  auto* method = new TscMethodHelper(Syntax, this);
  method->SetOnCallArray(CallBack);
  method->SetCategory(Category);
  if (!Description.empty()) method->SetDescription(Description);
  Add(method->Name(), method);
  return method;
}

void TscScript::AddRTTI() {
  if (rttiAdded_) return;
  ownerTag_ = otRTTI;
  try {
    for (TscRTTIModuleClass moduleClass : GetRTTIModuleClasses()) Add(String(), moduleClass(this));
  } catch (...) {
    ownerTag_ = otNone;
    throw;
  }
  ownerTag_ = otNone;
  rttiAdded_ = true;
}

void TscScript::ClearRTTI() {
  if (!rttiAdded_) return;
  FreeEntries([](const Entry& e) {
    if (dynamic_cast<TscRTTIModule*>(e.Item) != nullptr) return true;
    auto* variable = dynamic_cast<TscCustomVariable*>(e.Item);
    return variable != nullptr && variable->OwnerTag() == otRTTI;
  });
  rttiAdded_ = false;
}

// ---- Program --------------------------------------------------------------------------------------------
void TscScript::ClearProgram() {
  mainStatement_->Clear();
  codeLines_->Clear();
}

void TscScript::Clear() {
  // The statements first: they refer to the items.
  ClearProgram();
  FreeEntries([](const Entry& e) {
    if (dynamic_cast<TscRTTIModule*>(e.Item) != nullptr) return false;
    auto* variable = dynamic_cast<TscCustomVariable*>(e.Item);
    return variable == nullptr || variable->OwnerTag() != otRTTI;
  });
  errorText_.clear();
  errorPosition_.clear();
  errorUnitName_.clear();
}

void TscScript::ClearItems(TscOwnerTag Owner) {
  ClearProgram();
  FreeEntries([Owner](const Entry& e) {
    auto* variable = dynamic_cast<TscCustomVariable*>(e.Item);
    return variable != nullptr && variable->OwnerTag() == Owner;
  });
}

bool TscScript::Compile() {
  errorText_.clear();
  {
    TscILParser parser(this);
    parser.SetOnGetUnit(onGetUnit_);
    parser.SetHighCharIdentifiers(highCharIdentifiers_);
    parser.LoadGrammar(syntaxType_);
    String text;
    for (Integer i = 0; i < lines_->Count(); ++i) {
      text += lines_->Strings(i);
      text += "\r\n";
    }
    if (parser.ParseText(text)) parser.BuildProgram();
    errorText_ = parser.ErrorText();
    errorPosition_ = parser.ErrorPosition();
    errorUnitName_ = parser.ErrorUnitName();
  }
  if (errorText_.empty()) errorPosition_.clear();
  return errorText_.empty();
}

void TscScript::Execute() {
  ResetFlags();
  running_ = true;
  isMainProgram_ = true;
  try {
    mainStatement_->Execute();
  } catch (...) {
    ResetFlags();
    running_ = false;
    throw;
  }
  ResetFlags();
  running_ = false;
}

namespace {

// Runs a procedure by name for the host: the elements of Params (a Variant array) are its arguments; a
// procedure that is running keeps its locals across the call.
void CallProcedure(TscProcVariable* Proc, Variant* Params, bool WriteBack, Variant& Result) {
  SavedLocals locals;
  if (Proc->Executing()) locals.Save(Proc);
  const bool array = Params != nullptr && Params->IsArray();
  const Integer low = array ? VarArrayLowBound(*Params, 1) : 0;
  const Integer high = array ? VarArrayHighBound(*Params, 1) : -1;
  for (Integer i = low; i <= high; ++i) Proc->GetParam(i - low)->SetValue(VarArrayGet(*Params, {i}));
  Proc->GetValue(Result);
  if (!WriteBack) return;
  for (Integer i = low; i <= high; ++i) VarArrayPut(*Params, Proc->GetParam(i - low)->ReadValue(), {i});
}

}  // namespace

void TscScript::CallFunction(const String& Name, const Variant& Params, Variant& Result) {
  TscProcVariable* proc = FindProcedure(Name);
  if (proc == nullptr) {
    Result = Null();
    return;
  }
  Variant params = Params;
  CallProcedure(proc, &params, false, Result);
}

void TscScript::CallFunctionVarParams(const String& Name, Variant& Params, Variant& Result) {
  TscProcVariable* proc = FindProcedure(Name);
  if (proc == nullptr) {
    Result = Null();
    return;
  }
  CallProcedure(proc, &Params, true, Result);
}

void TscScript::Terminate() {
  exitPending_ = true;
  terminated_ = true;
  for (const Entry& entry : table_) {
    if (auto* proc = dynamic_cast<TscProcVariable*>(entry.Item)) proc->LocalScript()->Terminate();
  }
}

void TscScript::AddCodeLine(const String& UnitName, const String& SourcePos) {
  const String line = SourcePos.substr(0, SourcePos.find(':'));
  Integer index = -1;
  for (Integer i = 0; i < codeLines_->Count(); ++i) {
    const String entry = codeLines_->Strings(i);
    const size_t equals = entry.find('=');
    if (entry.compare(0, equals, UnitName) == 0 && equals == UnitName.size()) {
      index = i;
      break;
    }
  }
  if (index < 0) index = codeLines_->Add(UnitName + "=");
  const String entry = codeLines_->Strings(index);
  const String value = entry.substr(UnitName.size() + 1);
  if (("," + value).find("," + line + ",") != String::npos) return;
  codeLines_->Put(index, entry + line + ",");
}
