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
  directTarget_ = PlainSet(targetItem_);
  directSource_ = PlainGet(sourceItem_);
}

void TscAssignmentStmt::Execute() {
  if (!Begin()) return;
  Variant buffer;
  const Variant& value = SourceValue(buffer);
  if (directTarget_) {
    if (!targetItem_->ReadOnly()) targetItem_->ValueSlot() = value;
  } else {
    targetItem_->SetValue(value);
  }
}

template <class Op>
void TscAssignmentStmt::Update(Op Operation) {
  if (!Begin()) return;
  if (directTarget_ && !targetItem_->ReadOnly()) {
    // The operand may be the target's slot itself: each operation computes its result from both values
    // before it stores it.
    if (directSource_) {
      Operation(targetItem_->ValueSlot(), sourceItem_->ValueSlot());
      return;
    }
    Variant buffer;
    sourceItem_->GetValue(buffer);
    Operation(targetItem_->ValueSlot(), buffer);
    return;
  }
  Variant buffer;
  Variant value;
  targetItem_->GetValue(value);
  Operation(value, SourceValue(buffer));
  targetItem_->SetValue(value);
}

void TscAssignPlusStmt::Execute() {
  if (intOperands_) {
    Update([](Variant& A, const Variant& B) { A = WrapAdd(IntOf(A), IntOf(B)); });
  } else {
    Update([](Variant& A, const Variant& B) { VarAdd(A, B); });
  }
}

void TscAssignMinusStmt::Execute() {
  if (intOperands_) {
    Update([](Variant& A, const Variant& B) { A = WrapSub(IntOf(A), IntOf(B)); });
  } else {
    Update([](Variant& A, const Variant& B) { VarSub(A, B); });
  }
}

void TscAssignMulStmt::Execute() {
  if (intOperands_) {
    Update([](Variant& A, const Variant& B) { A = WrapMul(IntOf(A), IntOf(B)); });
  } else {
    Update([](Variant& A, const Variant& B) { VarMul(A, B); });
  }
}

void TscAssignDivStmt::Execute() {
  Update([](Variant& A, const Variant& B) { A = A / B; });
}

void TscCallStmt::SetTarget(TscDesignator* Value) {
  target_.reset(Value);
  UpdateSlotTarget();
}

void TscCallStmt::SetModifier(const String& Value) {
  modifier_ = Value;
  UpdateSlotTarget();
}

void TscCallStmt::UpdateSlotTarget() {
  slotTarget_ = nullptr;
  step_ = !modifier_.empty() && modifier_[0] == '-' ? -1 : 1;
  if (modifier_.empty() || target_ == nullptr) return;
  if (dynamic_cast<TscVariableDesignator*>(target_.get()) != nullptr && PlainSet(target_->Target())) {
    slotTarget_ = target_->Target();
  }
}

void TscCallStmt::Execute() {
  if (!Begin()) return;
  if (slotTarget_ != nullptr) {
    // x++ and x-- on an integer variable change its slot in place.
    Variant& slot = slotTarget_->ValueSlot();
    if (slot.IsInteger() && !slotTarget_->ReadOnly()) {
      slot = WideInteger(Int64{slot.IntegerRef()} + step_);
      return;
    }
  }
  ExecuteCall();
}

void TscCallStmt::ExecuteCall() {
  if (modifier_.empty()) {
    Variant value;
    target_->SetResultWanted(false);
    target_->GetValue(value);
    return;
  }
  if (slotTarget_ != nullptr && !slotTarget_->ReadOnly()) {
    Variant& slot = slotTarget_->ValueSlot();
    const Variant one(Integer{1});
    if (modifier_[0] == '-') {
      VarSub(slot, one);
    } else {
      VarAdd(slot, one);
    }
    return;
  }
  const Variant one(Integer{1});
  Variant value;
  target_->GetValue(value);
  if (modifier_[0] == '-') {
    VarSub(value, one);
  } else {
    VarAdd(value, one);
  }
  target_->SetValue(value);
}

// ---- Branches -------------------------------------------------------------------------------------------
TscIfStmt::TscIfStmt(TscScript* Script, const String& SourcePos, const String& UnitName)
    : TscStatement(Script, SourcePos, UnitName),
      elseBranch_(std::make_unique<TscStatement>(Script, SourcePos, UnitName)) {}

void TscIfStmt::Execute() {
  if (!Begin()) return;
  if (condition_->Test()) {
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
  while (condition_->Test()) {
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
    if (condition_->Test() != invertCondition_) break;
  }
  script_->SetBreakPending(false);
}

void TscForStmt::Execute() {
  const Int64 first = IntOf(startValue_->ReadValue());
  const Int64 last = IntOf(endValue_->ReadValue());
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
  auto more = [&] {
    if (BothIntegers(value, last)) return down ? value.IntegerRef() >= last.IntegerRef() : value.IntegerRef() <= last.IntegerRef();
    return down ? value >= last : value <= last;
  };
  while (more()) {
    slot = value;
    ExecuteList();
    if (script_->BreakPending() || script_->ExitPending()) break;
    script_->SetContinuePending(false);
    VarAdd(value, step);
  }
  script_->SetBreakPending(false);
}

TscCppForStmt::TscCppForStmt(TscScript* Script, const String& SourcePos, const String& UnitName)
    : TscStatement(Script, SourcePos, UnitName),
      initStmt_(std::make_unique<TscStatement>(Script, SourcePos, UnitName)),
      stepStmt_(std::make_unique<TscStatement>(Script, SourcePos, UnitName)) {}

void TscCppForStmt::PrepareTest() {
  testPrepared_ = true;
  auto* expression = dynamic_cast<TscExpression*>(condition_.get());
  if (expression == nullptr) return;
  auto* root = dynamic_cast<TscOperatorNode*>(expression->RootNode());
  if (root == nullptr) return;
  const TscOperator op = root->Op();
  if (op != opLess && op != opLessEq && op != opGreat && op != opGreatEq) return;
  // Left a variable read from its slot, right a constant: reading them has no effect, so comparing them
  // directly keeps the order and the result of the full comparison.
  auto* left = dynamic_cast<TscDesignatorNode*>(root->Left());
  TscExpressionNode* right = root->Right();
  if (left == nullptr || right == nullptr || !PlainGet(left->ValueSource())) return;
  if (right->ClassType() != TscOperandNode::StaticClass()) return;
  right->GetValue(testBound_);
  if (!testBound_.IsInteger()) return;
  testVariable_ = left->ValueSource();
  testOp_ = op;
}

bool TscCppForStmt::Test() {
  if (!testPrepared_) PrepareTest();
  if (testVariable_ != nullptr) {
    const Variant& value = testVariable_->ValueSlot();
    if (value.IsInteger()) {
      const Integer a = value.IntegerRef();
      const Integer b = testBound_.IntegerRef();
      switch (static_cast<TscOperator>(testOp_)) {
        case opLess: return a < b;
        case opLessEq: return a <= b;
        case opGreat: return a > b;
        default: return a >= b;
      }
    }
  }
  return condition_->Test();
}

void TscCppForStmt::Execute() {
  if (!Begin()) return;
  initStmt_->Execute();
  if (script_->Terminated()) return;
  while (Test()) {
    ExecuteList();
    if (script_->BreakPending() || script_->ExitPending()) break;
    script_->SetContinuePending(false);
    // A single step statement runs without its compound around it.
    if (stepStmt_->GetCount() == 1) {
      if (script_->Terminated()) break;
      stepStmt_->Statement(0)->Execute();
    } else {
      stepStmt_->Execute();
    }
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
