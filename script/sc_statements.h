// The statements of a compiled script program: each belongs to one script, carries the position it was
// compiled from, and runs itself. Control flow sets the script's break, continue and exit flags, which
// every statement list and loop checks; most statements report their position first (TscScript::RunLine)
// and return at once when the script is being terminated.
#pragma once

#include <memory>

#include "script/sc_interpreter.h"

class TscExpression;

// A compound statement (begin ... end, a body, a main program): its children run in order.
class TscStatement : public TscItemList {
  K58_CLASS(TscStatement, TscItemList)

  TscStatement(TscScript* Script, const String& SourcePos, const String& UnitName);

  virtual void Execute();
  // Reports the position to the script's OnRunLine chain.
  void RunLine() { script_->RunLine(unitName_, sourcePos_); }

  TscScript* Script() const { return script_; }
  const String& SourcePos() const { return sourcePos_; }
  const String& UnitName() const { return unitName_; }
  TscStatement* Statement(Integer Index) const { return static_cast<TscStatement*>(At(Index)); }

 protected:
  // RunLine, then true when the statement should go on (the script is not being terminated).
  bool Begin() {
    script_->RunLine(unitName_, sourcePos_);
    return !script_->Terminated();
  }
  // Runs the own children as a compound statement.
  void ExecuteList() { TscStatement::Execute(); }

  TscScript* script_;
  String sourcePos_;
  String unitName_;
};

// Target := Source.
class TscAssignmentStmt : public TscStatement {
  K58_CLASS(TscAssignmentStmt, TscStatement)
  using TscStatement::TscStatement;

  void Execute() override;
  // Chooses the items read and written: the designated variable itself, a single operand.
  void Optimize();

  TscDesignator* Target() const { return target_.get(); }
  void SetTarget(TscDesignator* Value) { target_.reset(Value); }
  TscCustomExpression* Source() const { return source_.get(); }
  void SetSource(TscCustomExpression* Value) { source_.reset(Value); }
  // The in-place operation wraps to 32 bits, as the integer expression it replaces would.
  bool IntOperands() const { return intOperands_; }
  void SetIntOperands(bool Value) { intOperands_ = Value; }

 protected:
  std::unique_ptr<TscDesignator> target_;
  std::unique_ptr<TscCustomExpression> source_;
  TscCustomVariable* targetItem_ = nullptr;
  TscCustomVariable* sourceItem_ = nullptr;
  bool intOperands_ = false;
  bool directTarget_ = false;  // the target's slot is written directly
  bool directSource_ = false;  // the source's slot is read directly

  // The source's value: its slot itself, or Buffer filled by its GetValue.
  const Variant& SourceValue(Variant& Buffer) {
    if (directSource_) return sourceItem_->ValueSlot();
    sourceItem_->GetValue(Buffer);
    return Buffer;
  }
  // Applies an in-place operation to the target: Op(value, operand).
  template <class Op>
  void Update(Op Operation);
};

// Target := Target + Source, and so on, reading the target once.
class TscAssignPlusStmt : public TscAssignmentStmt {
  K58_CLASS(TscAssignPlusStmt, TscAssignmentStmt)
  using TscAssignmentStmt::TscAssignmentStmt;
  void Execute() override;
};
class TscAssignMinusStmt : public TscAssignmentStmt {
  K58_CLASS(TscAssignMinusStmt, TscAssignmentStmt)
  using TscAssignmentStmt::TscAssignmentStmt;
  void Execute() override;
};
class TscAssignMulStmt : public TscAssignmentStmt {
  K58_CLASS(TscAssignMulStmt, TscAssignmentStmt)
  using TscAssignmentStmt::TscAssignmentStmt;
  void Execute() override;
};
// Always the floating-point division.
class TscAssignDivStmt : public TscAssignmentStmt {
  K58_CLASS(TscAssignDivStmt, TscAssignmentStmt)
  using TscAssignmentStmt::TscAssignmentStmt;
  void Execute() override;
};

// A call (the value discarded), or x++ / x-- with Modifier "+" / "-".
class TscCallStmt : public TscStatement {
  K58_CLASS(TscCallStmt, TscStatement)
  using TscStatement::TscStatement;

  void Execute() override;

  TscDesignator* Target() const { return target_.get(); }
  void SetTarget(TscDesignator* Value);
  const String& Modifier() const { return modifier_; }
  void SetModifier(const String& Value);

 private:
  // The call, or x++ / x-- on anything but an integer variable.
  void ExecuteCall();
  void UpdateSlotTarget();

  std::unique_ptr<TscDesignator> target_;
  String modifier_;
  TscCustomVariable* slotTarget_ = nullptr;  // with a modifier, a variable whose slot x++ changes in place
  Integer step_ = 1;
};

// The own list is the then branch.
class TscIfStmt : public TscStatement {
  K58_CLASS(TscIfStmt, TscStatement)

  TscIfStmt(TscScript* Script, const String& SourcePos, const String& UnitName);
  void Execute() override;

  TscCustomExpression* Condition() const { return condition_.get(); }
  void SetCondition(TscCustomExpression* Value) { condition_.reset(Value); }
  TscStatement* ElseBranch() const { return elseBranch_.get(); }

 private:
  std::unique_ptr<TscCustomExpression> condition_;
  std::unique_ptr<TscStatement> elseBranch_;
};

// One case label: its values and, as its own list, its statements.
class TscCaseSelector : public TscStatement {
  K58_CLASS(TscCaseSelector, TscStatement)
  using TscStatement::TscStatement;

  bool Check(const Variant& Value) { return values_->Contains(Value); }
  TscSetExpression* Values() const { return values_.get(); }
  void SetValues(TscSetExpression* Value) { values_.reset(Value); }

 private:
  std::unique_ptr<TscSetExpression> values_;
};

// case, switch, select: the first selector that contains the subject runs; no fall-through.
class TscCaseStmt : public TscStatement {
  K58_CLASS(TscCaseStmt, TscStatement)

  TscCaseStmt(TscScript* Script, const String& SourcePos, const String& UnitName);
  void Execute() override;

  TscCustomExpression* Subject() const { return subject_.get(); }
  void SetSubject(TscCustomExpression* Value) { subject_.reset(Value); }
  TscStatement* ElseBranch() const { return elseBranch_.get(); }

 private:
  std::unique_ptr<TscCustomExpression> subject_;
  std::unique_ptr<TscStatement> elseBranch_;
};

// repeat ... until the condition holds; with InvertCondition, do ... while it holds.
class TscRepeatStmt : public TscStatement {
  K58_CLASS(TscRepeatStmt, TscStatement)
  using TscStatement::TscStatement;

  void Execute() override;
  TscCustomExpression* Condition() const { return condition_.get(); }
  void SetCondition(TscCustomExpression* Value) { condition_.reset(Value); }
  bool InvertCondition() const { return invertCondition_; }
  void SetInvertCondition(bool Value) { invertCondition_ = Value; }

 private:
  std::unique_ptr<TscCustomExpression> condition_;
  bool invertCondition_ = false;
};

class TscWhileStmt : public TscStatement {
  K58_CLASS(TscWhileStmt, TscStatement)
  using TscStatement::TscStatement;

  void Execute() override;
  TscCustomExpression* Condition() const { return condition_.get(); }
  void SetCondition(TscCustomExpression* Value) { condition_.reset(Value); }

 private:
  std::unique_ptr<TscCustomExpression> condition_;
};

// The integer for loop: the bounds are read once and the number of runs fixed before the first.
class TscForStmt : public TscStatement {
  K58_CLASS(TscForStmt, TscStatement)
  using TscStatement::TscStatement;

  void Execute() override;
  TscCustomExpression* StartValue() const { return startValue_.get(); }
  void SetStartValue(TscCustomExpression* Value) { startValue_.reset(Value); }
  bool Downward() const { return downward_; }
  void SetDownward(bool Value) { downward_ = Value; }
  TscCustomExpression* EndValue() const { return endValue_.get(); }
  void SetEndValue(TscCustomExpression* Value) { endValue_.reset(Value); }
  TscCustomVariable* LoopVariable() const { return loopVariable_; }
  void SetLoopVariable(TscCustomVariable* Value) { loopVariable_ = Value; }

 private:
  std::unique_ptr<TscCustomExpression> startValue_;
  bool downward_ = false;
  std::unique_ptr<TscCustomExpression> endValue_;
  TscCustomVariable* loopVariable_ = nullptr;
};

// The Basic for loop on Variants, with an optional step (1 by default; a negative step counts down).
class TscVbForStmt : public TscStatement {
  K58_CLASS(TscVbForStmt, TscStatement)
  using TscStatement::TscStatement;

  void Execute() override;
  TscCustomExpression* StartValue() const { return startValue_.get(); }
  void SetStartValue(TscCustomExpression* Value) { startValue_.reset(Value); }
  TscCustomExpression* EndValue() const { return endValue_.get(); }
  void SetEndValue(TscCustomExpression* Value) { endValue_.reset(Value); }
  TscCustomExpression* StepValue() const { return stepValue_.get(); }
  void SetStepValue(TscCustomExpression* Value) { stepValue_.reset(Value); }
  TscCustomVariable* LoopVariable() const { return loopVariable_; }
  void SetLoopVariable(TscCustomVariable* Value) { loopVariable_ = Value; }

 private:
  std::unique_ptr<TscCustomExpression> startValue_;
  std::unique_ptr<TscCustomExpression> endValue_;
  std::unique_ptr<TscCustomExpression> stepValue_;
  TscCustomVariable* loopVariable_ = nullptr;
};

// for (init; condition; step) body.
class TscCppForStmt : public TscStatement {
  K58_CLASS(TscCppForStmt, TscStatement)

  TscCppForStmt(TscScript* Script, const String& SourcePos, const String& UnitName);
  void Execute() override;

  TscStatement* InitStmt() const { return initStmt_.get(); }
  TscCustomExpression* Condition() const { return condition_.get(); }
  void SetCondition(TscCustomExpression* Value) { condition_.reset(Value); }
  TscStatement* StepStmt() const { return stepStmt_.get(); }

 private:
  // The condition; "variable < constant" (or <=, >, >=) compares two integers directly.
  bool Test();
  // Finds the shortcut for the condition, once.
  void PrepareTest();

  std::unique_ptr<TscStatement> initStmt_;
  std::unique_ptr<TscCustomExpression> condition_;
  std::unique_ptr<TscStatement> stepStmt_;
  bool testPrepared_ = false;
  TscCustomVariable* testVariable_ = nullptr;  // the variable of the shortcut, nullptr without one
  Variant testBound_;
  Integer testOp_ = 0;  // the comparison's operator
};

// try-except (CatchAll) or try-finally; the own list is the protected part.
class TscTryStmt : public TscStatement {
  K58_CLASS(TscTryStmt, TscStatement)

  TscTryStmt(TscScript* Script, const String& SourcePos, const String& UnitName);
  void Execute() override;

  bool CatchAll() const { return catchAll_; }
  void SetCatchAll(bool Value) { catchAll_ = Value; }
  TscStatement* HandlerStmt() const { return handlerStmt_.get(); }

 private:
  void RunFinally();

  bool catchAll_ = false;
  std::unique_ptr<TscStatement> handlerStmt_;
};

class TscBreakStmt : public TscStatement {
  K58_CLASS(TscBreakStmt, TscStatement)
  using TscStatement::TscStatement;
  void Execute() override { script_->SetBreakPending(true); }
};
class TscContinueStmt : public TscStatement {
  K58_CLASS(TscContinueStmt, TscStatement)
  using TscStatement::TscStatement;
  void Execute() override { script_->SetContinuePending(true); }
};
class TscExitStmt : public TscStatement {
  K58_CLASS(TscExitStmt, TscStatement)
  using TscStatement::TscStatement;
  void Execute() override { script_->SetExitPending(true); }
};

// Fills a with clause's hidden variable with the value of its reference.
class TscWithStmt : public TscStatement {
  K58_CLASS(TscWithStmt, TscStatement)
  using TscStatement::TscStatement;

  void Execute() override;
  TscDesignator* Target() const { return target_.get(); }
  void SetTarget(TscDesignator* Value) { target_.reset(Value); }
  TscCustomVariable* WithVariable() const { return withVariable_; }
  void SetWithVariable(TscCustomVariable* Value) { withVariable_ = Value; }

 private:
  std::unique_ptr<TscDesignator> target_;
  TscCustomVariable* withVariable_ = nullptr;
};
