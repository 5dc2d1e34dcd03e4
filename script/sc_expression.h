// Compiled expressions: a tree of operand and operator nodes built by operator priority from the flat
// sequence the intermediate program lists, typed once when finished, and evaluated on Variants. Integer-only
// arithmetic runs on 32-bit integers (wrapping; a zero divisor raises like the Variant does) and Boolean
// "and"/"or" short-circuit.
#pragma once

#include <memory>

#include "script/sc_interpreter.h"

// Operator codes.
enum TscOperator : Byte {
  opNone, opGreat, opLess, opLessEq, opGreatEq, opNonEq, opEq, opPlus, opMinus, opOr, opXor, opMul,
  opDivFloat, opDivInt, opMod, opAnd, opShl, opShr, opLeftBracket, opRightBracket, opNot, opUnMinus, opIn, opIs
};

// A node; its type lives in the inherited TypeCode and TypeName.
class TscExpressionNode : public TscCustomVariable {
  K58_CLASS(TscExpressionNode, TscCustomVariable)

  TscExpressionNode();
  ~TscExpressionNode() override;

  // The node's priority: a lower one binds tighter.
  virtual Byte BindingLevel() const = 0;
  // The value as a condition.
  virtual bool Test() {
    Variant value;
    GetValue(value);
    return value.AsBoolean();
  }

  // The value itself when reading it has no effect and costs nothing (a constant, a variable's slot), so
  // an operator may use it in place; nullptr otherwise.
  const Variant* Direct() const { return direct_; }

  TscExpressionNode* Left() const { return left_; }
  TscExpressionNode* Right() const { return right_; }
  TscExpressionNode* Parent() const { return parent_; }
  const String& Position() const { return position_; }
  void SetPosition(const String& Value) { position_ = Value; }

 protected:
  friend class TscExpression;
  TscExpressionNode* left_ = nullptr;
  TscExpressionNode* right_ = nullptr;
  TscExpressionNode* parent_ = nullptr;
  const Variant* direct_ = nullptr;
  String position_;
};

// A constant.
class TscOperandNode : public TscExpressionNode {
  K58_CLASS(TscOperandNode, TscExpressionNode)

  TscOperandNode() = default;
  explicit TscOperandNode(const Variant& Value);
  Byte BindingLevel() const override { return 0; }
  void GetValue(Variant& Result) override { Result = value_; }
};

// A designator: reads the designated variable directly when the designator is one variable.
class TscDesignatorNode : public TscOperandNode {
  K58_CLASS(TscDesignatorNode, TscOperandNode)

  explicit TscDesignatorNode(TscDesignator* Designator);
  ~TscDesignatorNode() override;
  void GetValue(Variant& Result) override {
    if (plainSource_) {
      Result = valueSource_->ValueSlot();
    } else {
      valueSource_->GetValue(Result);
    }
  }

  TscDesignator* Designator() const { return designator_; }
  TscCustomVariable* ValueSource() const { return valueSource_; }

 private:
  TscDesignator* designator_;
  TscCustomVariable* valueSource_;
  bool plainSource_;  // the value source's slot is its value
};

// A set constructor operand.
class TscSetNode : public TscOperandNode {
  K58_CLASS(TscSetNode, TscOperandNode)

  explicit TscSetNode(TscSetExpression* SetExpr);
  ~TscSetNode() override;
  void GetValue(Variant& Result) override { setExpr_->GetValue(Result); }
  TscSetExpression* SetExpr() const { return setExpr_; }

 private:
  TscSetExpression* setExpr_;
};

// An operator; each operator is a subclass (sc_expression.cpp).
class TscOperatorNode : public TscExpressionNode {
  K58_CLASS(TscOperatorNode, TscExpressionNode)

  explicit TscOperatorNode(TscOperator Op) : op_(Op) {}
  Byte BindingLevel() const override;

  TscOperator Op() const { return op_; }
  bool IntOperands() const { return intOperands_; }
  bool BoolOperands() const { return boolOperands_; }
  // The operator's name as the intermediate program writes it.
  String OpName() const;

 protected:
  friend class TscExpression;
  TscOperator op_;
  bool intOperands_ = false;
  bool boolOperands_ = false;
};

class TscExpression : public TscCustomExpression {
  K58_CLASS(TscExpression, TscCustomExpression)

  explicit TscExpression(TscScript* Script);
  ~TscExpression() override;

  // Adds an operator by its intermediate name ("+", "div", "unminus", "(" ...).
  void PushOperator(const String& Name);
  void PushConst(const Variant& Value);
  // The expression owns the designator and the set from now on.
  void PushDesignator(TscDesignator* Designator);
  void PushSet(TscSetExpression* SetExpr);
  // Completes and types the tree; ErrorPos is the position of the first operator whose operands do not
  // fit (empty when all fit).
  void Finish(String& ErrorPos);
  // For Target := <this>: turns x + e into e with Modifier "+" (and -, *, /; also e + x and e * x for a
  // variable that is no string or Variant). Modifier stays " " otherwise. IntOperands tells whether the
  // operation removed was integer-only.
  void FoldIntoAssignment(TscDesignator* Target, String& Modifier, bool& IntOperands);
  // The root when it is a constant; the designated variable (or the designator) when the root is a
  // designator; nullptr otherwise.
  TscCustomVariable* SingleOperand() const;

  void GetValue(Variant& Result) override { root_->GetValue(Result); }
  bool Test() override { return root_->Test(); }
  // Assigns the root's designator (var arguments); nothing when read-only.
  void SetValue(const Variant& Value) override;

  // The position the next node gets.
  void SetPosition(const String& Value) { position_ = Value; }
  TscScript* Script() const { return script_; }
  String SourceText() const override { return sourceText_; }
  void SetSourceText(const String& Value) { sourceText_ = Value; }
  TscExpressionNode* RootNode() const { return root_; }
  // The designator of a root that is a designator operand, else nullptr.
  TscDesignator* RootDesignator() const;

 private:
  void Attach(TscExpressionNode* Node);
  void PushOperand(TscExpressionNode* Node);
  // Types the tree bottom-up; the first operator whose operands do not fit gives its position.
  void TypeNode(TscExpressionNode* Node, String& ErrorPos);

  TscExpressionNode* current_;
  TscExpressionNode* root_;
  TscScript* script_;
  String sourceText_;
  String position_;
};
