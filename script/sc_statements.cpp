// Statements: compound statements, assignments and in-place assignments, calls, branches, loops, try
// statements, jumps and with clauses.
#include "script/sc_statements.h"

#include "platform/classes/ClassBuilder.h"
#include "script/sc_expression.h"
#include "script/sc_internal.h"

K58_IMPLEMENT_CLASS(TscStatement) {}
K58_IMPLEMENT_CLASS(TscAssignmentStmt) {}
K58_IMPLEMENT_CLASS(TscAssignPlusStmt) {}
K58_IMPLEMENT_CLASS(TscAssignMinusStmt) {}
K58_IMPLEMENT_CLASS(TscAssignMulStmt) {}
K58_IMPLEMENT_CLASS(TscAssignDivStmt) {}
K58_IMPLEMENT_CLASS(TscCallStmt) {}
K58_IMPLEMENT_CLASS(TscIfStmt) {}
K58_IMPLEMENT_CLASS(TscCaseSelector) {}
K58_IMPLEMENT_CLASS(TscCaseStmt) {}
K58_IMPLEMENT_CLASS(TscRepeatStmt) {}
K58_IMPLEMENT_CLASS(TscWhileStmt) {}
K58_IMPLEMENT_CLASS(TscForStmt) {}
K58_IMPLEMENT_CLASS(TscVbForStmt) {}
K58_IMPLEMENT_CLASS(TscCppForStmt) {}
K58_IMPLEMENT_CLASS(TscTryStmt) {}
K58_IMPLEMENT_CLASS(TscBreakStmt) {}
K58_IMPLEMENT_CLASS(TscContinueStmt) {}
K58_IMPLEMENT_CLASS(TscExitStmt) {}
K58_IMPLEMENT_CLASS(TscWithStmt) {}

using namespace k58::script;

TscStatement::TscStatement(TscScript* Script, const String& SourcePos, const String& UnitName)
    : script_(Script), sourcePos_(SourcePos), unitName_(UnitName) {}

void TscStatement::Execute() {
  TscScript* script = script_;
  for (TObject* child : items_) {
    if (script->Terminated()) return;
    static_cast<TscStatement*>(child)->Execute();
    if (script->JumpPending()) return;
  }
}

// ---- Assignments ----------------------------------------------------------------------------------------
void TscAssignmentStmt::Optimize() {
  targetItem_ = dynamic_cast<TscVariableDesignator*>(target_.get()) != nullptr ? target_->Target() : target_.get();
  sourceItem_ = source_.get();
  if (auto* expression = dynamic_cast<TscExpression*>(source_.get())) {
    if (TscCustomVariable* single = expression->SingleOperand()) sourceItem_ = single;
  }
}

void TscAssignmentStmt::Execute() {
  if (!Begin()) return;
  Variant value;
  sourceItem_->GetValue(value);
  targetItem_->SetValue(value);
}

void TscAssignPlusStmt::Execute() {
  if (!Begin()) return;
  Variant value;
  targetItem_->GetValue(value);
  Variant operand;
  sourceItem_->GetValue(operand);
  if (intOperands_) {
    value = WrapAdd(value.AsInteger(), operand.AsInteger());
  } else {
    value = value + operand;
  }
  targetItem_->SetValue(value);
}

void TscAssignMinusStmt::Execute() {
  if (!Begin()) return;
  Variant value;
  targetItem_->GetValue(value);
  Variant operand;
  sourceItem_->GetValue(operand);
  if (intOperands_) {
    value = WrapSub(value.AsInteger(), operand.AsInteger());
  } else {
    value = value - operand;
  }
  targetItem_->SetValue(value);
}

void TscAssignMulStmt::Execute() {
  if (!Begin()) return;
  Variant value;
  targetItem_->GetValue(value);
  Variant operand;
  sourceItem_->GetValue(operand);
  if (intOperands_) {
    value = WrapMul(value.AsInteger(), operand.AsInteger());
  } else {
    value = value * operand;
  }
  targetItem_->SetValue(value);
}

void TscAssignDivStmt::Execute() {
  if (!Begin()) return;
  Variant value;
  targetItem_->GetValue(value);
  Variant operand;
  sourceItem_->GetValue(operand);
  targetItem_->SetValue(value / operand);
}

void TscCallStmt::Execute() {
  if (!Begin()) return;
  Variant value;
  if (modifier_.empty()) {
    target_->SetResultWanted(false);
    target_->GetValue(value);
    return;
  }
  target_->GetValue(value);
  value = modifier_ == "-" ? value - Variant(Integer{1}) : value + Variant(Integer{1});
  target_->SetValue(value);
}

// ---- Branches -------------------------------------------------------------------------------------------
TscIfStmt::TscIfStmt(TscScript* Script, const String& SourcePos, const String& UnitName)
    : TscStatement(Script, SourcePos, UnitName),
      elseBranch_(std::make_unique<TscStatement>(Script, SourcePos, UnitName)) {}

void TscIfStmt::Execute() {
  if (!Begin()) return;
  if (Truth(condition_->ReadValue())) {
    ExecuteList();
  } else {
    elseBranch_->Execute();
  }
}

TscCaseStmt::TscCaseStmt(TscScript* Script, const String& SourcePos, const String& UnitName)
    : TscStatement(Script, SourcePos, UnitName),
      elseBranch_(std::make_unique<TscStatement>(Script, SourcePos, UnitName)) {}

void TscCaseStmt::Execute() {
  const Variant subject = subject_->ReadValue();
  if (!Begin()) return;
  for (TObject* child : items_) {
    auto* selector = static_cast<TscCaseSelector*>(child);
    if (selector->Check(subject)) {
      selector->Execute();
      return;
    }
  }
  elseBranch_->Execute();
}

// ---- Loops ----------------------------------------------------------------------------------------------
void TscWhileStmt::Execute() {
  if (!Begin()) return;
  while (Truth(condition_->ReadValue())) {
    ExecuteList();
    if (script_->BreakPending() || script_->ExitPending()) break;
    script_->SetContinuePending(false);
  }
  script_->SetBreakPending(false);
}

void TscRepeatStmt::Execute() {
  if (!Begin()) return;
  for (;;) {
    ExecuteList();
    if (script_->BreakPending() || script_->ExitPending()) break;
    script_->SetContinuePending(false);
    if (Truth(condition_->ReadValue()) != invertCondition_) break;
  }
  script_->SetBreakPending(false);
}

void TscForStmt::Execute() {
  const Int64 first = startValue_->ReadValue().AsInteger();
  const Int64 last = endValue_->ReadValue().AsInteger();
  if (!Begin()) return;
  Variant& slot = loopVariable_->ValueSlot();
  const Int64 step = downward_ ? -1 : 1;
  if (downward_ ? first >= last : last >= first) {
    for (Int64 i = first;; i += step) {
      slot = static_cast<Integer>(i);
      ExecuteList();
      if (script_->BreakPending() || script_->ExitPending()) break;
      script_->SetContinuePending(false);
      if (i == last) break;
    }
  }
  script_->SetBreakPending(false);
}

void TscVbForStmt::Execute() {
  Variant value = startValue_->ReadValue();
  const Variant last = endValue_->ReadValue();
  const Variant step = stepValue_ ? stepValue_->ReadValue() : Variant(Integer{1});
  const bool down = step < Variant(Integer{0});
  if (!Begin()) return;
  Variant& slot = loopVariable_->ValueSlot();
  while (down ? value >= last : value <= last) {
    slot = value;
    ExecuteList();
    if (script_->BreakPending() || script_->ExitPending()) break;
    script_->SetContinuePending(false);
    value = value + step;
  }
  script_->SetBreakPending(false);
}

TscCppForStmt::TscCppForStmt(TscScript* Script, const String& SourcePos, const String& UnitName)
    : TscStatement(Script, SourcePos, UnitName),
      initStmt_(std::make_unique<TscStatement>(Script, SourcePos, UnitName)),
      stepStmt_(std::make_unique<TscStatement>(Script, SourcePos, UnitName)) {}

void TscCppForStmt::Execute() {
  if (!Begin()) return;
  initStmt_->Execute();
  if (script_->Terminated()) return;
  while (Truth(condition_->ReadValue())) {
    ExecuteList();
    if (script_->BreakPending() || script_->ExitPending()) break;
    script_->SetContinuePending(false);
    stepStmt_->Execute();
  }
  script_->SetBreakPending(false);
}

// ---- Try ------------------------------------------------------------------------------------------------
TscTryStmt::TscTryStmt(TscScript* Script, const String& SourcePos, const String& UnitName)
    : TscStatement(Script, SourcePos, UnitName),
      handlerStmt_(std::make_unique<TscStatement>(Script, SourcePos, UnitName)) {}

void TscTryStmt::RunFinally() {
  // The finally part runs in full: jumps pending from the protected part wait until it is done (and a
  // jump of its own adds to them).
  const bool breakPending = script_->BreakPending();
  const bool continuePending = script_->ContinuePending();
  const bool exitPending = script_->ExitPending();
  script_->SetBreakPending(false);
  script_->SetContinuePending(false);
  script_->SetExitPending(false);
  handlerStmt_->Execute();
  script_->SetBreakPending(breakPending || script_->BreakPending());
  script_->SetContinuePending(continuePending || script_->ContinuePending());
  script_->SetExitPending(exitPending || script_->ExitPending());
}

void TscTryStmt::Execute() {
  if (!Begin()) return;
  if (!catchAll_) {
    try {
      ExecuteList();
    } catch (...) {
      RunFinally();
      throw;
    }
    RunFinally();
    return;
  }
  bool failed = false;
  try {
    ExecuteList();
  } catch (const std::exception&) {
    // A script's try-except handles every error of its protected part, host callbacks' included; the
    // script cannot see the message. The except part runs once the error is gone.
    failed = true;
  }
  if (failed) handlerStmt_->Execute();
}

void TscWithStmt::Execute() {
  ExecuteList();
  withVariable_->SetValue(target_->ReadValue());
}
