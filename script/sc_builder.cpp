// The program tree builder: walks the intermediate program and creates the script's items, statements,
// expressions and designators, with every compile-time check of names, types and argument counts.
#include <algorithm>

#include "script/sc_const.h"
#include "script/sc_expression.h"
#include "script/sc_grammar.h"
#include "script/sc_internal.h"
#include "script/sc_statements.h"

using namespace k58::script;

namespace {

bool IsNamed(const TscXMLItem* Element, const char* Name) { return SameText(Element->Name(), Name); }

String TextOf(const TscXMLItem* Element) { return Element->Prop("text"); }
String PosOf(const TscXMLItem* Element) { return Element->Prop("pos"); }

String Quoted(const String& Name) { return "'" + Name + "'"; }

// The empty value of a declared variable of a type.
Variant EmptyValue(TscTypeCode Code) {
  switch (Code) {
    case tcBoolean:
      return false;
    case tcChar:
    case tcString:
      return String();
    case tcInteger:
    case tcFloat:
      return Integer{0};
    case tcClass:
      return Variant::FromObject(nullptr);
    default:
      return Null();
  }
}

}  // namespace

// ---- Errors and lookups ---------------------------------------------------------------------------------
void TscILParser::BuildError(const String& Message) { throw Exception(Message); }

TscTypeCode TscILParser::ResolveType(String& Name) {
  const TscXMLItem* types = nullptr;
  if (programElement_ != nullptr) {
    const Integer index = programElement_->Find("types");
    if (index >= 0) types = programElement_->Items(index);
  }
  const TscXMLItem* grammarTypes = grammar_ ? grammar_->Types() : nullptr;
  for (const TscXMLItem* table : {types, grammarTypes}) {
    if (table == nullptr) continue;
    const Integer index = table->Find(Name);
    if (index >= 0) {
      Name = table->Items(index)->Prop("type");
      break;
    }
  }
  const TscTypeCode code = TypeCodeOf(Name, program_);
  if (code == tcClass) FindClassOrFail(Name, program_);
  return code;
}

TscClassVariable* TscILParser::FindClassOrFail(const String& Name, const TscScript* Script) {
  TscClassVariable* cls = Script->FindClass(Name);
  if (cls == nullptr) BuildError(scconsts::SUnknownType + Quoted(Name));
  return cls;
}

TscCustomVariable* TscILParser::FindVariable(TscScript* Script, const String& Name) {
  if (TscCustomVariable* item = Script->Find(Name)) return item;
  if (declarationsRequired_) BuildError(scconsts::SIdUndeclared + Quoted(Name));
  // Languages without declarations: a Variant of the main script, visible everywhere from now on.
  auto* variable = new TscVariable(Name, tcVariant, String());
  program_->Add(Name, variable);
  return variable;
}

void TscILParser::CheckRedeclared(TscScript* Script, const String& Name) {
  if (Script->FindLocal(Name) != nullptr) BuildError(scconsts::SIdRedeclared + Quoted(Name));
}

void TscILParser::CheckTypes(const TscCustomVariable* Variable, const TscCustomVariable* Expression) {
  if (CanAssign(Variable, Expression, program_)) return;
  BuildError(scconsts::SIncompatibleTypes + ": '" + Variable->TypeDescription() + "', '" +
             Expression->TypeDescription() + "'");
}

// ---- Programs and declarations --------------------------------------------------------------------------
bool TscILParser::BuildProgram() {
  withList_.clear();
  declared_.clear();
  buildUnit_.clear();
  errorPos_.clear();
  errorText_.clear();
  errorPosition_.clear();
  errorUnitName_.clear();
  try {
    ProcessProgram(ilDocument_->Root(), program_);
  } catch (const Exception& error) {
    errorText_ = error.Message().empty() ? String(error.ClassName()) : error.Message();
    errorPosition_ = errorPos_;
    errorUnitName_ = buildUnit_;
    withList_.clear();
    return false;
  }
  return true;
}

void TscILParser::ProcessProgram(const TscXMLItem* Element, TscScript* Script) {
  CheckNativeStack();
  const TscXMLItem* previous = programElement_;
  programElement_ = Element;
  DeclareIn(Element, Script);
  for (Integer i = 0; i < Element->Count(); ++i) ProcessStatement(Element->Items(i), Script, Script->MainStatement());
  programElement_ = previous;
}

void TscILParser::DeclareIn(const TscXMLItem* Element, TscScript* Script) {
  for (Integer i = 0; i < Element->Count(); ++i) {
    const TscXMLItem* child = Element->Items(i);
    if (IsNamed(child, "procedure")) {
      DeclareProcedure(child, Script);
    } else if (IsNamed(child, "function")) {
      DeclareFunction(child, Script);
    } else if (IsNamed(child, "compoundstmt")) {
      DeclareIn(child, Script);
    }
  }
}

TscProcVariable* TscILParser::DeclareProcedure(const TscXMLItem* Element, TscScript* Script) {
  if (Element->Count() == 0) BuildError(scconsts::SIdUndeclared + Quoted(String()));
  const TscXMLItem* nameElement = Element->Items(0);
  const String name = TextOf(nameElement);
  errorPos_ = PosOf(nameElement);
  CheckRedeclared(Script, name);
  auto* proc = new TscProcVariable(name, tcInteger, String(), Script, false);
  proc->SetDeclPos(errorPos_);
  proc->SetDeclUnit(buildUnit_);
  Script->Add(name, proc);
  declared_[Element] = proc;
  const Integer params = Element->Find("parameters");
  if (params >= 0) DeclareParameters(Element->Items(params), proc);
  return proc;
}

TscProcVariable* TscILParser::DeclareFunction(const TscXMLItem* Element, TscScript* Script) {
  String typeName;
  TscTypeCode code = tcVariant;
  const Integer type = Element->Find("type");
  if (type >= 0) {
    typeName = TextOf(Element->Items(type));
    errorPos_ = PosOf(Element->Items(type));
    String resolved = typeName;
    code = ResolveType(resolved);
  }
  const Integer nameIndex = Element->Find("name");
  if (nameIndex < 0) BuildError(scconsts::SIdUndeclared + Quoted(String()));
  const String name = TextOf(Element->Items(nameIndex));
  errorPos_ = PosOf(Element->Items(nameIndex));
  CheckRedeclared(Script, name);
  // A C++Script "void" function is a procedure.
  const bool isFunction = !SameText(typeName, "void");
  auto* proc = new TscProcVariable(name, code, typeName, Script, isFunction);
  proc->SetDeclPos(errorPos_);
  proc->SetDeclUnit(buildUnit_);
  Script->Add(name, proc);
  declared_[Element] = proc;
  const Integer params = Element->Find("parameters");
  if (params >= 0) DeclareParameters(Element->Items(params), proc);
  return proc;
}

void TscILParser::DeclareParameters(const TscXMLItem* Element, TscProcVariable* Proc) {
  TscScript* local = Proc->LocalScript();
  bool groupByRef = false;
  for (Integer i = 0; i < Element->Count(); ++i) {
    const TscXMLItem* group = Element->Items(i);
    if (IsNamed(group, "varparams")) {
      groupByRef = true;
      continue;
    }
    if (!IsNamed(group, "var")) continue;
    bool nextByRef = false;
    for (Integer j = 0; j < group->Count(); ++j) {
      const TscXMLItem* child = group->Items(j);
      if (IsNamed(child, "varparam")) {
        nextByRef = true;
        continue;
      }
      if (!IsNamed(child, "ident")) continue;
      const String name = TextOf(child);
      errorPos_ = PosOf(child);
      CheckRedeclared(local, name);
      auto* param =
          static_cast<TscParamItem*>(CreateVariable(group, local, groupByRef || nextByRef, true, nullptr, name));
      param->SetDefaultValue(param->ValueSlot());
      Proc->AddParam(param);
      nextByRef = false;
    }
    groupByRef = false;
  }
}

TscCustomVariable* TscILParser::CreateVariable(const TscXMLItem* Element, TscScript* Script, bool ByRef,
                                               bool AsParameter, TscStatement* List, const String& Name) {
  const String declPos = errorPos_;
  String typeName = "Variant";
  bool typeAfterNames = false;
  const Integer type = Element->Find("type");
  if (type >= 0) {
    typeName = TextOf(Element->Items(type));
    errorPos_ = PosOf(Element->Items(type));
    typeAfterNames = type > 0;
  }
  String resolved = typeName;
  const TscTypeCode code = ResolveType(resolved);

  // The children that belong to this name: up to the next name, or all that follow when one type (and
  // one array and initial value) serves the whole list.
  const TscXMLItem* arrayElement = nullptr;
  const TscXMLItem* initElement = nullptr;
  Integer at = -1;
  for (Integer i = 0; i < Element->Count() && at < 0; ++i) {
    if (IsNamed(Element->Items(i), "ident") && SameText(TextOf(Element->Items(i)), Name)) at = i;
  }
  for (Integer i = at + 1; at >= 0 && i < Element->Count(); ++i) {
    const TscXMLItem* child = Element->Items(i);
    if (IsNamed(child, "ident")) {
      if (!typeAfterNames) break;
      continue;
    }
    if (IsNamed(child, "array") && arrayElement == nullptr) arrayElement = child;
    if (IsNamed(child, "init") && initElement == nullptr) initElement = child;
  }

  std::unique_ptr<TscCustomVariable> variable;
  if (AsParameter) {
    variable = std::make_unique<TscParamItem>(Name, code, typeName, initElement != nullptr, ByRef);
  } else if ((code == tcChar || code == tcString) && arrayElement == nullptr) {
    variable = std::make_unique<TscStringVariable>(Name, code, typeName);
  } else {
    variable = std::make_unique<TscVariable>(Name, code, typeName);
  }
  variable->ValueSlot() = EmptyValue(code);
  if (arrayElement != nullptr) MakeArray(arrayElement, variable.get(), Script);
  if (initElement != nullptr && initElement->Count() > 0 && List == nullptr) {
    variable->ValueSlot() = EvalInit(initElement->Items(0), Script, variable.get());
  }
  variable->SetDeclPos(declPos);
  variable->SetDeclUnit(buildUnit_);
  if (initElement != nullptr && initElement->Count() > 0 && List != nullptr) {
    // The initial value is assigned each time execution reaches the declaration.
    std::unique_ptr<TscExpression> source(BuildExpression(initElement->Items(0), Script));
    CheckTypes(variable.get(), source.get());
    auto target = std::make_unique<TscVariableDesignator>(Script);
    auto* item = new TscDesignatorItem;
    item->SetRef(variable.get());
    target->AddItem(item);
    target->DetermineKind();
    auto statement = std::make_unique<TscAssignmentStmt>(Script, PosOf(Element), buildUnit_);
    statement->SetTarget(target.release());
    statement->SetSource(source.release());
    statement->Optimize();
    Append(List, statement.release());
  }
  return variable.release();
}

void TscILParser::MakeArray(const TscXMLItem* Element, TscCustomVariable* Variable, TscScript* Script) {
  std::vector<Integer> bounds;
  for (Integer i = 0; i < Element->Count(); ++i) {
    const TscXMLItem* dim = Element->Items(i);
    if (!IsNamed(dim, "dim") || dim->Count() == 0) continue;
    errorPos_ = PosOf(dim);
    std::unique_ptr<TscExpression> first(BuildExpression(dim->Items(0), Script));
    const Integer a = first->ReadValue().AsInteger();
    if (dim->Count() >= 2) {
      std::unique_ptr<TscExpression> second(BuildExpression(dim->Items(1), Script));
      bounds.push_back(a);
      bounds.push_back(second->ReadValue().AsInteger());
    } else {
      bounds.push_back(0);
      bounds.push_back(a - 1);
    }
  }
  // An open array has one element.
  if (bounds.empty()) bounds = {0, 0};
  Variable->ValueSlot() = VarArrayCreate(bounds, varVariant);
  auto* helper = new TscArrayHelper(String(), Variable->TypeName(), Variable->TypeCode(),
                                    static_cast<Integer>(bounds.size() / 2));
  Variable->SetTypeCode(tcArray);
  Script->Add(String(), helper);
  Variable->SetTarget(helper);
}

Variant TscILParser::EvalInit(const TscXMLItem* Element, TscScript* Script, TscCustomVariable* Variable) {
  std::unique_ptr<TscExpression> expression(BuildExpression(Element, Script));
  const Variant value = expression->ReadValue();
  TscVariable check(String(), Variable->TypeCode(), Variable->TypeName());
  CheckTypes(&check, expression.get());
  return value;
}

void TscILParser::DeclareVariables(const TscXMLItem* Element, TscScript* Script, TscStatement* List) {
  for (Integer i = 0; i < Element->Count(); ++i) {
    const TscXMLItem* child = Element->Items(i);
    if (!IsNamed(child, "ident")) continue;
    const String name = TextOf(child);
    errorPos_ = PosOf(child);
    CheckRedeclared(Script, name);
    Script->Add(name, CreateVariable(Element, Script, false, false, List, name));
  }
}

void TscILParser::DeclareConstant(const TscXMLItem* Element, TscScript* Script) {
  if (Element->Count() < 2) return;
  const String name = TextOf(Element->Items(0));
  errorPos_ = PosOf(Element->Items(0));
  CheckRedeclared(Script, name);
  std::unique_ptr<TscExpression> expression(BuildExpression(Element->Items(1), Script));
  auto constant = std::make_unique<TscVariable>(name, expression->TypeCode(), expression->TypeName());
  constant->ValueSlot() = expression->ReadValue();
  constant->SetReadOnly(true);
  constant->SetDeclPos(PosOf(Element->Items(0)));
  constant->SetDeclUnit(buildUnit_);
  Script->Add(name, constant.release());
}

void TscILParser::BuildBody(const TscXMLItem* Element, TscScript* Script) {
  const auto found = declared_.find(Element);
  // A procedure written inside a block is declared where it stands.
  TscProcVariable* proc = found != declared_.end()
                              ? found->second
                              : (IsNamed(Element, "procedure") ? DeclareProcedure(Element, Script)
                                                          : DeclareFunction(Element, Script));
  ProcessProgram(Element, proc->LocalScript());
}

void TscILParser::BuildUses(const TscXMLItem* Element, TscScript* Script) {
  const String saved = buildUnit_;
  buildUnit_ = Element->Prop("unit");
  String text;
  if (program_->OnGetILUnit()) program_->OnGetILUnit()(program_, buildUnit_, text);
  if (!text.empty()) {
    TscXMLDocument document;
    TStringStream stream(text);
    document.LoadFromStream(&stream);
    ProcessProgram(document.Root(), Script);
  } else {
    for (Integer i = 0; i < Element->Count(); ++i) ProcessProgram(Element->Items(i), Script);
  }
  buildUnit_ = saved;
}

// ---- Statements -----------------------------------------------------------------------------------------
void TscILParser::Append(TscStatement* List, TscStatement* Statement) {
  List->Add(Statement);
  program_->AddCodeLine(Statement->UnitName(), Statement->SourcePos());
}

void TscILParser::ProcessStatement(const TscXMLItem* Element, TscScript* Script, TscStatement* List) {
  CheckNativeStack();
  errorPos_ = PosOf(Element);
  const String& name = Element->Name();
  if (SameText(name, "assignstmt")) {
    BuildAssignment(Element, Script, List);
  } else if (SameText(name, "callstmt")) {
    BuildCall(Element, Script, List, dmNormal);
  } else if (SameText(name, "delete")) {
    BuildCall(Element, Script, List, dmDelete);
  } else if (SameText(name, "ifstmt")) {
    BuildIf(Element, Script, List);
  } else if (SameText(name, "casestmt")) {
    BuildCase(Element, Script, List);
  } else if (SameText(name, "forstmt")) {
    BuildFor(Element, Script, List, false);
  } else if (SameText(name, "vbforstmt")) {
    BuildFor(Element, Script, List, true);
  } else if (SameText(name, "cppforstmt")) {
    BuildCppFor(Element, Script, List);
  } else if (SameText(name, "whilestmt")) {
    BuildWhile(Element, Script, List);
  } else if (SameText(name, "repeatstmt")) {
    BuildRepeat(Element, Script, List);
  } else if (SameText(name, "trystmt")) {
    BuildTry(Element, Script, List);
  } else if (SameText(name, "break")) {
    Append(List, new TscBreakStmt(Script, errorPos_, buildUnit_));
  } else if (SameText(name, "continue")) {
    Append(List, new TscContinueStmt(Script, errorPos_, buildUnit_));
  } else if (SameText(name, "exit")) {
    Append(List, new TscExitStmt(Script, errorPos_, buildUnit_));
  } else if (SameText(name, "return")) {
    BuildReturn(Element, Script, List);
  } else if (SameText(name, "with")) {
    BuildWith(Element, Script, List);
  } else if (SameText(name, "compoundstmt")) {
    for (Integer i = 0; i < Element->Count(); ++i) ProcessStatement(Element->Items(i), Script, List);
  } else if (SameText(name, "uses")) {
    BuildUses(Element, Script);
  } else if (SameText(name, "var")) {
    DeclareVariables(Element, Script, List);
  } else if (SameText(name, "const")) {
    DeclareConstant(Element, Script);
  } else if (SameText(name, "procedure") || SameText(name, "function")) {
    BuildBody(Element, Script);
  }
}

void TscILParser::BuildAssignment(const TscXMLItem* Element, TscScript* Script, TscStatement* List) {
  if (Element->Count() < 2) return;
  const String pos = PosOf(Element);
  std::unique_ptr<TscDesignator> target(BuildDesignator(Element->Items(0), Script, dmNormal));
  String modifier = " ";
  const TscXMLItem* expressionElement = Element->Items(1);
  if (IsNamed(expressionElement, "modificator")) {
    modifier = TextOf(expressionElement);
    if (Element->Count() < 3) return;
    expressionElement = Element->Items(2);
  }
  std::unique_ptr<TscExpression> source(BuildExpression(expressionElement, Script));
  if (target->ReadOnly()) {
    errorPos_ = pos;
    BuildError(scconsts::SLeftCantAssigned);
  }
  CheckTypes(target.get(), source.get());
  bool intOperands = false;
  if (modifier == " ") source->FoldIntoAssignment(target.get(), modifier, intOperands);
  std::unique_ptr<TscAssignmentStmt> statement;
  switch (modifier.empty() ? ' ' : modifier[0]) {
    case '+':
      statement = std::make_unique<TscAssignPlusStmt>(Script, pos, buildUnit_);
      break;
    case '-':
      statement = std::make_unique<TscAssignMinusStmt>(Script, pos, buildUnit_);
      break;
    case '*':
      statement = std::make_unique<TscAssignMulStmt>(Script, pos, buildUnit_);
      break;
    case '/':
      statement = std::make_unique<TscAssignDivStmt>(Script, pos, buildUnit_);
      break;
    default:
      statement = std::make_unique<TscAssignmentStmt>(Script, pos, buildUnit_);
      break;
  }
  statement->SetTarget(target.release());
  statement->SetSource(source.release());
  statement->SetIntOperands(intOperands);
  statement->Optimize();
  Append(List, statement.release());
}

void TscILParser::BuildCall(const TscXMLItem* Element, TscScript* Script, TscStatement* List,
                            TscDesignatorMode Mode) {
  if (Element->Count() == 0) return;
  const String pos = PosOf(Element);
  auto statement = std::make_unique<TscCallStmt>(Script, pos, buildUnit_);
  statement->SetTarget(BuildDesignator(Element->Items(0), Script, Mode));
  if (Mode == dmNormal && Element->Count() > 1) {
    statement->SetModifier(TextOf(Element->Items(1)));
    if (statement->Target()->ReadOnly()) {
      errorPos_ = pos;
      BuildError(scconsts::SLeftCantAssigned);
    }
  }
  Append(List, statement.release());
}

void TscILParser::BuildIf(const TscXMLItem* Element, TscScript* Script, TscStatement* List) {
  if (Element->Count() == 0) return;
  auto statement = std::make_unique<TscIfStmt>(Script, PosOf(Element), buildUnit_);
  statement->SetCondition(BuildExpression(Element->Items(0), Script));
  for (Integer i = 1; i < Element->Count(); ++i) {
    const TscXMLItem* branch = Element->Items(i);
    TscStatement* into = IsNamed(branch, "thenstmt") ? statement.get() : IsNamed(branch, "elsestmt") ? statement->ElseBranch()
                                                                                         : nullptr;
    if (into == nullptr) continue;
    for (Integer j = 0; j < branch->Count(); ++j) ProcessStatement(branch->Items(j), Script, into);
  }
  Append(List, statement.release());
}

void TscILParser::BuildCase(const TscXMLItem* Element, TscScript* Script, TscStatement* List) {
  if (Element->Count() == 0) return;
  auto statement = std::make_unique<TscCaseStmt>(Script, PosOf(Element), buildUnit_);
  statement->SetSubject(BuildExpression(Element->Items(0), Script));
  const Integer count = Element->Count();
  for (Integer i = 1; i < count; ++i) {
    const TscXMLItem* child = Element->Items(i);
    if (!IsNamed(child, "caseselector")) {
      if (i == count - 1) ProcessStatement(child, Script, statement->ElseBranch());
      continue;
    }
    // A label without a statement has no selector: its values fall to the else branch.
    if (child->Count() != 2) continue;
    errorPos_ = PosOf(child);
    auto selector = std::make_unique<TscCaseSelector>(Script, PosOf(child), buildUnit_);
    selector->SetValues(BuildSet(child->Items(0), Script));
    ProcessStatement(child->Items(1), Script, selector.get());
    statement->Add(selector.release());
  }
  Append(List, statement.release());
}

void TscILParser::BuildFor(const TscXMLItem* Element, TscScript* Script, TscStatement* List, bool Basic) {
  if (Element->Count() < 3) return;
  const String pos = PosOf(Element);
  errorPos_ = PosOf(Element->Items(0));
  TscCustomVariable* variable = FindVariable(Script, TextOf(Element->Items(0)));
  const TscTypeCode code = variable->TypeCode();
  if (dynamic_cast<TscVariable*>(variable) == nullptr || (code != tcInteger && code != tcFloat && code != tcVariant)) {
    BuildError(scconsts::SForError);
  }
  std::unique_ptr<TscCustomExpression> start(BuildExpression(Element->Items(1), Script));
  CheckTypes(variable, start.get());
  Integer next = 2;
  bool downward = false;
  if (!Basic && IsNamed(Element->Items(2), "downto")) {
    downward = true;
    next = 3;
  }
  if (next >= Element->Count()) return;
  std::unique_ptr<TscCustomExpression> end(BuildExpression(Element->Items(next), Script));
  CheckTypes(variable, end.get());
  ++next;
  std::unique_ptr<TscCustomExpression> step;
  if (Basic && next < Element->Count() && IsNamed(Element->Items(next), "expr")) {
    step.reset(BuildExpression(Element->Items(next), Script));
    CheckTypes(variable, step.get());
    ++next;
  }
  std::unique_ptr<TscStatement> statement;
  if (Basic) {
    auto loop = std::make_unique<TscVbForStmt>(Script, pos, buildUnit_);
    loop->SetLoopVariable(variable);
    loop->SetStartValue(start.release());
    loop->SetEndValue(end.release());
    loop->SetStepValue(step.release());
    statement = std::move(loop);
  } else {
    auto loop = std::make_unique<TscForStmt>(Script, pos, buildUnit_);
    loop->SetLoopVariable(variable);
    loop->SetDownward(downward);
    loop->SetStartValue(start.release());
    loop->SetEndValue(end.release());
    statement = std::move(loop);
  }
  if (next < Element->Count()) ProcessStatement(Element->Items(next), Script, statement.get());
  Append(List, statement.release());
}

void TscILParser::BuildCppFor(const TscXMLItem* Element, TscScript* Script, TscStatement* List) {
  if (Element->Count() < 3) return;
  auto statement = std::make_unique<TscCppForStmt>(Script, PosOf(Element), buildUnit_);
  ProcessStatement(Element->Items(0), Script, statement->InitStmt());
  statement->SetCondition(BuildExpression(Element->Items(1), Script));
  ProcessStatement(Element->Items(2), Script, statement->StepStmt());
  if (Element->Count() > 3) ProcessStatement(Element->Items(3), Script, statement.get());
  Append(List, statement.release());
}

void TscILParser::BuildWhile(const TscXMLItem* Element, TscScript* Script, TscStatement* List) {
  if (Element->Count() == 0) return;
  auto statement = std::make_unique<TscWhileStmt>(Script, PosOf(Element), buildUnit_);
  statement->SetCondition(BuildExpression(Element->Items(0), Script));
  if (Element->Count() > 1) ProcessStatement(Element->Items(1), Script, statement.get());
  Append(List, statement.release());
}

void TscILParser::BuildRepeat(const TscXMLItem* Element, TscScript* Script, TscStatement* List) {
  Integer condition = Element->Count() - 1;
  if (condition < 0) return;
  auto statement = std::make_unique<TscRepeatStmt>(Script, PosOf(Element), buildUnit_);
  if (IsNamed(Element->Items(condition), "inverse")) {
    statement->SetInvertCondition(true);
    --condition;
  }
  if (condition < 0) return;
  for (Integer i = 0; i < condition; ++i) ProcessStatement(Element->Items(i), Script, statement.get());
  statement->SetCondition(BuildExpression(Element->Items(condition), Script));
  Append(List, statement.release());
}

void TscILParser::BuildTry(const TscXMLItem* Element, TscScript* Script, TscStatement* List) {
  auto statement = std::make_unique<TscTryStmt>(Script, PosOf(Element), buildUnit_);
  for (Integer i = 0; i < Element->Count(); ++i) {
    const TscXMLItem* child = Element->Items(i);
    const bool except = IsNamed(child, "exceptstmt");
    if (except || IsNamed(child, "finallystmt")) {
      if (except) statement->SetCatchAll(true);
      for (Integer j = 0; j < child->Count(); ++j) ProcessStatement(child->Items(j), Script, statement->HandlerStmt());
    } else {
      ProcessStatement(child, Script, statement.get());
    }
  }
  Append(List, statement.release());
}

void TscILParser::BuildReturn(const TscXMLItem* Element, TscScript* Script, TscStatement* List) {
  const String pos = PosOf(Element);
  if (Element->Count() == 1) {
    // return e: Result := e.
    const TscXMLItem* expression = Element->Items(0);
    TscXMLItem assignment;
    assignment.SetName("assignstmt");
    assignment.SetText("pos=\"" + EncodeXMLText(pos) + "\"");
    TscXMLItem* designator = assignment.Add();
    designator->SetName("dsgn");
    designator->SetText("pos=\"" + EncodeXMLText(PosOf(expression)) + "\"");
    TscXMLItem* node = designator->Add();
    node->SetName("node");
    node->SetText("text=\"Result\" pos=\"" + EncodeXMLText(PosOf(expression)) + "\"");
    assignment.Add()->CopyFrom(expression);
    BuildAssignment(&assignment, Script, List);
  }
  Append(List, new TscExitStmt(Script, pos, buildUnit_));
}

void TscILParser::BuildWith(const TscXMLItem* Element, TscScript* Script, TscStatement* List) {
  const Integer count = Element->Count();
  if (count == 0) return;
  const size_t opened = withList_.size();
  try {
    for (Integer i = 0; i + 1 < count; ++i) {
      const TscXMLItem* child = Element->Items(i);
      std::unique_ptr<TscDesignator> target(BuildDesignator(child, Script, dmNormal));
      if (target->TypeCode() != tcClass && target->TypeCode() != tcVariant) {
        errorPos_ = PosOf(child);
        BuildError(scconsts::SClassRequired);
      }
      // The hidden variable: the smallest number that names nothing here.
      String name;
      for (Integer n = 0;; ++n) {
        name = IntToStr(n);
        const bool open = std::any_of(withList_.begin(), withList_.end(),
                                      [&name](const TWithClause& c) { return SameText(c.Name, name); });
        if (!open && Script->FindLocal(name) == nullptr) break;
      }
      auto* hidden = new TscVariable(name, target->TypeCode(), target->TypeName());
      Script->Add(name, hidden);
      auto statement = std::make_unique<TscWithStmt>(Script, PosOf(child), buildUnit_);
      statement->SetTarget(target.release());
      statement->SetWithVariable(hidden);
      TscWithStmt* with = statement.get();
      Append(List, statement.release());
      withList_.push_back(TWithClause{name, hidden, with});
    }
    ProcessStatement(Element->Items(count - 1), Script, List);
  } catch (...) {
    withList_.resize(opened);
    throw;
  }
  withList_.resize(opened);
}

// ---- Expressions ----------------------------------------------------------------------------------------
String TscILParser::SourceTextOf(const TscXMLItem* Element) const {
  // Positions of a unit's elements are in the unit's text, which this parser does not hold.
  if (!buildUnit_.empty()) return String();
  Integer column = 0, line = 0, column1 = 0, line1 = 0;
  try {
    ParsePos(PosOf(Element), column, line);
    ParsePos(Element->Prop("pos1"), column1, line1);
  } catch (const EConvertError&) {
    // A position that is no number (an intermediate program from elsewhere) gives no text.
    return String();
  }
  const Integer from = scanner_->LineColToPosition(column, line);
  const Integer to = scanner_->LineColToPosition(column1, line1);
  if (from < 1 || to < from || to > scanner_->Size() + 1) return String();
  return scanner_->Text().substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from));
}

void TscILParser::AddExpressionChildren(const TscXMLItem* Element, TscExpression* Expression, TscScript* Script) {
  for (Integer i = 0; i < Element->Count(); ++i) {
    const TscXMLItem* child = Element->Items(i);
    errorPos_ = PosOf(child);
    Expression->SetPosition(errorPos_);
    const String& name = child->Name();
    if (SameText(name, "op")) {
      Expression->PushOperator(LowerCase(TextOf(child)));
    } else if (SameText(name, "number") || SameText(name, "string")) {
      Expression->PushConst(ParseConstant(TextOf(child)));
    } else if (SameText(name, "dsgn")) {
      Expression->PushDesignator(BuildDesignator(child, Script, dmNormal));
    } else if (SameText(name, "set")) {
      Expression->PushSet(BuildSet(child, Script));
    } else if (SameText(name, "new")) {
      if (child->Count() > 0) Expression->PushDesignator(BuildDesignator(child->Items(0), Script, dmConstructor));
    } else if (SameText(name, "expr")) {
      CheckNativeStack();
      AddExpressionChildren(child, Expression, Script);
    }
  }
}

TscExpression* TscILParser::BuildExpression(const TscXMLItem* Element, TscScript* Script) {
  CheckNativeStack();
  auto expression = std::make_unique<TscExpression>(program_);
  // The element's position, for messages about the expression as an argument.
  expression->SetDeclPos(PosOf(Element));
  AddExpressionChildren(Element, expression.get(), Script);
  expression->SetSourceText(SourceTextOf(Element));
  String errorPos;
  expression->Finish(errorPos);
  if (!errorPos.empty()) {
    errorPos_ = errorPos;
    BuildError(scconsts::SIncompatibleTypes);
  }
  return expression.release();
}

TscSetExpression* TscILParser::BuildSet(const TscXMLItem* Element, TscScript* Script) {
  auto set = std::make_unique<TscSetExpression>();
  for (Integer i = 0; i < Element->Count(); ++i) {
    const TscXMLItem* child = Element->Items(i);
    errorPos_ = PosOf(child);
    if (IsNamed(child, "expr")) {
      set->AddElement(BuildExpression(child, Script));
    } else if (IsNamed(child, "range")) {
      set->AddElement(nullptr);
    }
  }
  return set.release();
}

TscExpression* TscILParser::ConstantExpression(const Variant& Value, TscScript* Script) {
  (void)Script;
  auto expression = std::make_unique<TscExpression>(program_);
  expression->PushConst(Value);
  String errorPos;
  expression->Finish(errorPos);
  return expression.release();
}

// ---- Designators ----------------------------------------------------------------------------------------
TscILParser::TWithResult TscILParser::WithLookup(const TscXMLItem* Element, TscScript* Script, const String& Name,
                                                 TscDesignator* Designator, TscDesignatorItem* Item) {
  for (auto clause = withList_.rbegin(); clause != withList_.rend(); ++clause) {
    if (Script->FindLocal(clause->Name) != clause->Variable) continue;
    TscCustomVariable* hidden = clause->Variable;
    if (hidden->TypeCode() == tcVariant) {
      if (Script->Find(Name) != nullptr) return TWithResult::NotFound;
      // Resolved at first use as hidden.Name.
      Item->SetRef(hidden);
      TscXMLItem copy;
      copy.CopyFrom(Element);
      auto* node = new TscXMLItem;
      node->SetName("node");
      node->SetText("text=\"" + EncodeXMLText(clause->Name) + "\" pos=\"" + EncodeXMLText(Item->SourcePos()) + "\"");
      copy.InsertItem(0, node);
      Designator->Defer(&copy);
      return TWithResult::Deferred;
    }
    TscClassVariable* cls = FindClassOrFail(hidden->TypeName(), Script);
    if (TscCustomVariable* member = cls->FindMember(Name)) {
      Item->SetRef(member);
      auto* first = new TscDesignatorItem;
      first->SetSourcePos(Item->SourcePos());
      first->SetRef(hidden);
      Designator->InsertItem(Designator->GetCount() - 1, first);
      return TWithResult::Found;
    }
  }
  return TWithResult::NotFound;
}

void TscILParser::AddLateBoundItems(const TscXMLItem* Element, Integer From, TscScript* Script,
                                    TscDesignator* Designator) {
  for (Integer i = From; i < Element->Count(); ++i) {
    const TscXMLItem* child = Element->Items(i);
    errorPos_ = PosOf(child);
    if (IsNamed(child, "node")) {
      const String text = TextOf(child);
      if (text == "[") continue;
      auto* helper = new TscOLEHelper(text);
      Script->Add(String(), helper);
      auto* item = new TscDesignatorItem;
      item->SetSourcePos(errorPos_);
      item->SetRef(helper);
      Designator->AddItem(item);
    } else if (IsNamed(child, "expr")) {
      TscDesignatorItem* item = Designator->LastItem();
      item->Add(BuildExpression(child, Script));
      TscCustomVariable* ref = item->Ref();
      if (dynamic_cast<TscOLEHelper*>(ref) == nullptr) continue;
      if (ref->ParamCount() >= TscOLEHelper::MaxArgs) BuildError(scconsts::STooManyParams);
      ref->Add(new TscParamItem(String(), tcVariant, String(), false, false));
    }
  }
}

// Adds the link for the node child Index after the first; false when the designator was deferred or the
// rest became late-bound links (building stops).
bool TscILParser::AddMemberItem(const TscXMLItem* Element, Integer Index, TscScript* Script,
                                TscDesignator* Designator) {
  const TscXMLItem* child = Element->Items(Index);
  const String text = TextOf(child);
  TscDesignatorItem* previous = Designator->LastItem();
  TscCustomVariable* parent = previous->Ref();
  auto* method = dynamic_cast<TscMethodHelper*>(parent);
  if (method != nullptr && method->IndexedProperty() && !previous->DefaultAccess()) {
    // obj.Items[i]: the brackets give the indexed property its index.
    previous->SetDefaultAccess(true);
    if (text != "[") {
      errorPos_ = previous->SourcePos();
      BuildError(scconsts::SIndexRequired);
    }
    return true;
  }
  auto* item = new TscDesignatorItem;
  item->SetSourcePos(errorPos_);
  Designator->AddItem(item);
  TscTypeCode code = parent->TypeCode();
  String typeName = parent->TypeName();
  if (code == tcVariant) {
    const bool variable = dynamic_cast<TscVariable*>(parent) != nullptr || dynamic_cast<TscParamItem*>(parent) != nullptr;
    if (!variable) {
      // The value of a function or member is known only when it runs: members of it are late bound.
      Designator->DropLastItem();
      AddLateBoundItems(Element, Index, Script, Designator);
      return false;
    }
    const Variant& value = parent->ValueSlot();
    if (VarIsNil(value)) {
      Designator->DropLastItem();
      Designator->Defer(Element);
      return false;
    }
    if (value.IsString()) {
      code = tcString;
    } else if (value.IsDispatch()) {
      Designator->DropLastItem();
      AddLateBoundItems(Element, Index, Script, Designator);
      return false;
    } else if (value.IsArray()) {
      if (text != "[") BuildError(scconsts::SIndexRequired);
      item->SetRef(FindVariable(Script, "__ArrayHelper"));
      return true;
    } else if (value.IsObject()) {
      TscClassVariable* cls = RegisteredClassOf(value.AsObject(), Script);
      if (cls == nullptr) BuildError(scconsts::SUnknownType + Quoted(value.AsObject()->ClassName()));
      code = tcClass;
      typeName = cls->Name();
    } else if (TClass cls = VarToClass(value)) {
      code = tcClass;
      typeName = cls->Name();
    } else {
      BuildError(scconsts::SArrayRequired);
    }
  }
  switch (code) {
    case tcString:
    case tcChar:
      if (text != "[") BuildError(scconsts::SStringError);
      item->SetRef(FindVariable(Script, "__StringHelper"));
      break;
    case tcClass: {
      TscClassVariable* cls = FindClassOrFail(typeName, Script);
      if (text == "[") {
        item->SetDefaultAccess(true);
        if (cls->DefaultProperty() == nullptr) BuildError(Format(scconsts::SClassError, typeName));
        item->SetRef(cls->DefaultProperty());
      } else {
        TscCustomVariable* member = cls->FindMember(text);
        if (member == nullptr) BuildError(scconsts::SIdUndeclared + Quoted(text));
        item->SetRef(member);
      }
      break;
    }
    case tcArray:
      if (text != "[") BuildError(scconsts::SIndexRequired);
      item->SetRef(parent->Target() != nullptr ? parent->Target() : FindVariable(Script, "__ArrayHelper"));
      break;
    default:
      BuildError(scconsts::SArrayRequired);
  }
  return true;
}

TscDesignator* TscILParser::BuildDesignator(const TscXMLItem* Element, TscScript* Script, TscDesignatorMode Mode) {
  CheckNativeStack();
  auto designator = std::make_unique<TscDesignator>(Script);
  const Integer count = Element->Count();
  bool building = true;
  for (Integer i = 0; i < count && building; ++i) {
    const TscXMLItem* child = Element->Items(i);
    errorPos_ = PosOf(child);
    if (IsNamed(child, "addr")) {
      // @Name: the designator's value is the name of the procedure.
      if (count != 2 || i != 0) BuildError(scconsts::SVarRequired);
      auto* name = new TscStringVariable(String(), tcString, String());
      name->SetValue(TextOf(Element->Items(1)));
      Script->Add(String(), name);
      auto* item = new TscDesignatorItem;
      item->SetSourcePos(errorPos_);
      item->SetRef(name);
      designator->AddItem(item);
      break;
    }
    if (IsNamed(child, "expr")) {
      TscDesignatorItem* last = designator->LastItem();
      if (last == nullptr) BuildError(scconsts::SVarRequired);
      last->Add(BuildExpression(child, Script));
      continue;
    }
    if (!IsNamed(child, "node")) continue;
    if (designator->GetCount() > 0) {
      building = AddMemberItem(Element, i, Script, designator.get());
      continue;
    }
    auto* item = new TscDesignatorItem;
    item->SetSourcePos(errorPos_);
    designator->AddItem(item);
    const String name = TextOf(child);
    const TWithResult with = WithLookup(Element, Script, name, designator.get(), item);
    if (with == TWithResult::Deferred) return designator.release();
    if (with == TWithResult::NotFound) item->SetRef(FindVariable(Script, name));
    if (Mode == dmConstructor) {
      auto* cls = dynamic_cast<TscClassVariable*>(item->Ref());
      if (cls == nullptr) BuildError(scconsts::SClassRequired);
      TscCustomVariable* create = cls->FindMember("Create");
      if (create == nullptr) BuildError(scconsts::SIdUndeclared + Quoted("Create"));
      auto* constructor = new TscDesignatorItem;
      constructor->SetSourcePos(errorPos_);
      constructor->SetRef(create);
      designator->AddItem(constructor);
    }
  }
  if (designator->DeferredNode() != nullptr) return designator.release();
  if (designator->GetCount() == 0) BuildError(scconsts::SVarRequired);
  if (Mode == dmDelete) {
    const TscTypeCode code = designator->LastItem()->Ref()->TypeCode();
    if (code != tcClass && code != tcVariant) BuildError(scconsts::SClassRequired);
    TscCustomVariable* free = FindClassOrFail("TObject", Script)->FindMember("Free");
    if (free == nullptr) BuildError(scconsts::SIdUndeclared + Quoted("Free"));
    auto* item = new TscDesignatorItem;
    item->SetSourcePos(errorPos_);
    item->SetRef(free);
    designator->AddItem(item);
  }
  designator->DetermineKind();
  TscDesignator* result = SpecializeDesignator(designator.release());
  std::unique_ptr<TscDesignator> owned(result);
  CheckArguments(result);
  return owned.release();
}

TscDesignator* TscILParser::SpecializeDesignator(TscDesignator* Designator) {
  std::unique_ptr<TscDesignator> source(Designator);
  std::unique_ptr<TscDesignator> special;
  switch (Designator->Kind()) {
    case 1:
      special = std::make_unique<TscVariableDesignator>(Designator->OwnerScript());
      break;
    case 2:
      special = std::make_unique<TscStringDesignator>(Designator->OwnerScript());
      break;
    case 3:
      special = std::make_unique<TscArrayDesignator>(Designator->OwnerScript());
      break;
    default:
      if (!TscCallDesignator::Fits(Designator)) return source.release();
      special = std::make_unique<TscCallDesignator>(Designator->OwnerScript());
      break;
  }
  special->TakeOver(Designator);
  return special.release();
}

void TscILParser::CheckArguments(TscDesignator* Designator) {
  for (Integer i = 0; i < Designator->GetCount(); ++i) {
    TscDesignatorItem* item = Designator->GetDesignatorItem(i);
    TscCustomVariable* ref = item->Ref();
    if (item->RefKind() == TscDesignatorItem::rkDesignator) continue;
    errorPos_ = item->SourcePos();
    const Integer args = item->ExprCount();
    if (args < ref->RequiredParamCount()) BuildError(scconsts::SNotEnoughParams);
    if (args > ref->ParamCount()) BuildError(scconsts::STooManyParams);
    for (Integer j = args; j < ref->ParamCount(); ++j) {
      item->Add(ConstantExpression(ref->GetParam(j)->DefaultValue(), Designator->OwnerScript()));
    }
    for (Integer j = 0; j < args; ++j) {
      TscCustomExpression* arg = item->GetExpr(j);
      errorPos_ = arg->DeclPos().empty() ? item->SourcePos() : arg->DeclPos();
      CheckTypes(ref->GetParam(j), arg);
    }
  }
}
